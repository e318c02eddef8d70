// vornixpack batch against a script of vornixpack build: 400 rows made from
// 20 different 3 MB JPEGs (ImageMagick, at run time), built once by one
// `vornixpack batch --jobs 2` and once by 400 `vornixpack build` processes
// run one after another, in the same run. Every pair of targets must be the
// same bytes. Reported for each of three repetitions (with their mean and
// median): both times, their ratio (the goal is at most 0.6) and the peak
// memory (maximum resident size) of the batch process and of the largest
// single build.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

const int Pictures = 20;
const int Rows = 400;

struct Finished {
    double seconds = 0;
    long peakKb = 0;  // maximum resident size
    bool succeeded = false;
};

// Runs a program in folder with its output thrown away, and waits for it.
Finished RunProgram(const std::vector<std::string>& arguments, const std::string& folder)
{
    Finished result;
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, 1);
        dup2(nothing, 2);
        if (chdir(folder.c_str()) != 0)
            _exit(120);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(121);
    }
    int status = 0;
    rusage usage = {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return result;
    clock_gettime(CLOCK_MONOTONIC, &end);
    result.seconds = (end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
    result.peakKb = usage.ru_maxrss;
    result.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// FNV-1a over a file's bytes, and its size: enough to tell two targets apart.
std::pair<uint64_t, size_t> Fingerprint(const std::string& path)
{
    const std::vector<uint8_t> bytes = vntest::ReadFileBytes(path);
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return {hash, bytes.size()};
}

std::string StubPath()
{
    // Absolute, as the programs run in the work folder.
    const char* given = std::getenv("VORNIX_BENCH_STUB");
    return std::filesystem::absolute(given && *given ? given : VORNIX_DEFAULT_STUB).string();
}

std::string Grid(int row)
{
    return std::to_string(2 + row % 8);
}

// The vornixpack build command line that gives the puzzle of a row.
std::vector<std::string> BuildArguments(int row, const std::string& stub)
{
    const std::string n = std::to_string(row);
    std::vector<std::string> arguments = {
        VORNIXPACK_PATH, "build", "--picture", "p" + std::to_string(row % Pictures) + ".jpg",
        "--grid", Grid(row), "--company", "Acme", "--tagline", "Row " + n,
        "--stub", stub, "-o", "script/t" + n + ".exe"};
    if (row % 2)
        arguments.push_back("--shuffle");
    return arguments;
}

// The pictures and the list in a new folder in the temporary folder (TMPDIR
// chooses it); empty when they cannot be made.
std::string MakeWork()
{
    std::string folder = (std::filesystem::temp_directory_path() / "vn-bench-batch-XXXXXX").string();
    if (!mkdtemp(&folder[0]))
        return std::string();
    const std::string work = folder;
    std::filesystem::create_directories(work + "/batch");
    std::filesystem::create_directories(work + "/script");
    for (int p = 0; p < Pictures; ++p) {
        // Noise compresses badly: 2300 x 1700 pixels at quality 88 are
        // about 3 MB of JPEG.
        const std::string command = "convert -size 2300x1700 xc: -seed " + std::to_string(p + 1) +
                                    " +noise Random -quality 88 '" + work + "/p" +
                                    std::to_string(p) + ".jpg'";
        if (std::system(command.c_str()) != 0)
            return std::string();
    }
    std::string list = "picture,target,grid,shuffle,company,tagline\n";
    for (int row = 0; row < Rows; ++row) {
        list += "p" + std::to_string(row % Pictures) + ".jpg,batch/t" + std::to_string(row) +
                ".exe," + Grid(row) + "," + (row % 2 ? "yes" : "no") + ",Acme,Row " +
                std::to_string(row) + "\n";
    }
    if (!vntest::WriteFileBytes(work + "/list.csv", list.data(), list.size()))
        return std::string();
    return work;
}

// The targets of one run, fingerprinted and then removed, so that the two
// runs never hold more than one set of 400 targets on disk.
std::vector<std::pair<uint64_t, size_t>> TakeTargets(const std::string& folder)
{
    std::vector<std::pair<uint64_t, size_t>> targets;
    for (int row = 0; row < Rows; ++row) {
        const std::string path = folder + "/t" + std::to_string(row) + ".exe";
        targets.push_back(Fingerprint(path));
        std::filesystem::remove(path);
    }
    return targets;
}

// Each run starts with nothing of the last one waiting to be written to disk.
Finished RunBatch(const std::string& work, const std::string& stub)
{
    sync();
    return RunProgram({VORNIXPACK_PATH, "batch", "list.csv", "--jobs", "2", "--stub", stub}, work);
}

// The 400 builds one after another, as a script runs them.
Finished RunScript(const std::string& work, const std::string& stub)
{
    Finished script;
    script.succeeded = true;
    sync();
    for (int row = 0; row < Rows && script.succeeded; ++row) {
        const Finished one = RunProgram(BuildArguments(row, stub), work);
        script.seconds += one.seconds;
        script.peakKb = one.peakKb > script.peakKb ? one.peakKb : script.peakKb;
        script.succeeded = one.succeeded;
    }
    return script;
}

std::string Work()
{
    static const std::string work = MakeWork();
    return work;
}

// One repetition: the batch and the script, in turns first, as the machine
// may be busier at one moment than the next.
void BM_Batch400RowsAgainst400Builds(benchmark::State& state)
{
    static int repetition = 0;
    const std::string stub = StubPath();
    if (!std::filesystem::exists(stub)) {
        state.SkipWithError(("no player stub at " + stub + " (set VORNIX_BENCH_STUB)").c_str());
        return;
    }
    const std::string work = Work();
    if (work.empty()) {
        state.SkipWithError("could not make the pictures and the list (is ImageMagick installed?)");
        return;
    }
    for (auto _ : state) {
        const bool batchFirst = repetition++ % 2 == 0;
        Finished batch, script;
        std::vector<std::pair<uint64_t, size_t>> batchTargets, scriptTargets;
        if (batchFirst) {
            batch = RunBatch(work, stub);
            batchTargets = TakeTargets(work + "/batch");
        }
        script = RunScript(work, stub);
        scriptTargets = TakeTargets(work + "/script");
        if (!batchFirst) {
            batch = RunBatch(work, stub);
            batchTargets = TakeTargets(work + "/batch");
        }
        state.SetIterationTime(batch.seconds);
        if (!batch.succeeded || !script.succeeded) {
            state.SkipWithError("a build failed");
            break;
        }
        for (int row = 0; row < Rows; ++row) {
            if (batchTargets[row].second == 0 || batchTargets[row] != scriptTargets[row]) {
                state.SkipWithError(("the targets of row " + std::to_string(row) + " differ").c_str());
                break;
            }
        }
        state.counters["batch_s"] = batch.seconds;
        state.counters["builds_s"] = script.seconds;
        state.counters["ratio"] = batch.seconds / script.seconds;
        state.counters["batch_peak_MB"] = batch.peakKb / 1024.0;
        state.counters["build_peak_MB"] = script.peakKb / 1024.0;
    }
}

}  // namespace

BENCHMARK(BM_Batch400RowsAgainst400Builds)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!Work().empty())
        std::filesystem::remove_all(Work());
    return 0;
}
