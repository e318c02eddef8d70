// vornixpack batch: builds the puzzles of a whole list, given as CSV, on
// several threads. Every row is checked before anything is built; the rows
// that pass are built each as `vornixpack build` would build it, and a row
// that fails is reported with its line and never stops the others.
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "batch_checks.h"
#include "batch_list.h"
#include "batch_pool.h"
#include "batch_progress.h"
#include "batch_stop.h"
#include "build_puzzle.h"
#include "csv_reader.h"
#include "file_identity.h"
#include "player_program.h"
#include "system_error.h"
#include "vornixpack_commands.h"
#include "web_page_writer.h"
#include "whole_file.h"

namespace {

const char BatchHelp[] =
    "usage: vornixpack batch LIST.csv [--jobs N] [--check] [--stub PATH]\n"
    "\n"
    "Builds one puzzle for each row of LIST.csv, a list saved by a spreadsheet\n"
    "as CSV (UTF-8, with or without a byte-order mark). Its header row names\n"
    "the columns, in any order and letter case:\n"
    "  picture, target   the picture and the puzzle to write (both required)\n"
    "  grid, shuffle, win_url, company, site, tagline\n"
    "                    as the options of vornixpack build; an empty or\n"
    "                    missing column takes that option's default; shuffle\n"
    "                    is yes or no, true or false, 1 or 0\n"
    "Relative paths are taken from the list's folder. Every row is checked\n"
    "before any is built; a row that fails is reported and the others are\n"
    "built, each exactly as vornixpack build would build it.\n"
    "\n"
    "  --jobs N      build N puzzles at a time, 1 to 64 (default: one per\n"
    "                processor)\n"
    "  --check       check every row and build nothing\n"
    "  --stub PATH   the player stub (default: vornix_distrib.exe in the\n"
    "                current directory)\n"
    "  -h, --help    show this text\n"
    "\n"
    "A terminal shows the progress on one line. Each failed row is reported on\n"
    "stderr as \"LIST.csv:LINE: PICTURE: reason\", LINE being where the row\n"
    "starts; the last line on stdout counts the puzzles built. Exit status: 0\n"
    "when every row was built, 1 when any failed, 2 when the list cannot be\n"
    "read or its header is wrong, or for a wrong command line.\n";

const unsigned MostJobs = 64;

// The largest stub read to be checked; the player is far smaller.
const uint64_t StubReadLimit = 256u << 20;

struct BatchOptions {
    std::string list;
    std::string stub = "vornix_distrib.exe";
    unsigned jobs = 0;  // 0: one per processor
    bool check = false;
};

int UsageError(const std::string& text)
{
    std::fprintf(stderr, "vornixpack batch: %s (see vornixpack batch --help)\n", text.c_str());
    return 2;
}

bool ParseJobs(const std::string& text, unsigned* jobs)
{
    if (text.empty() || text.size() > 2 || text[0] == '0')
        return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > MostJobs)
        return false;
    *jobs = value;
    return true;
}

// Reads the command line into *options. Returns -1 when the batch is to
// run, else the exit code (help shown, or a mistake reported).
int ParseOptions(int argc, char** argv, BatchOptions* options)
{
    bool haveJobs = false, haveStub = false, haveCheck = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::fputs(BatchHelp, stdout);
            return 0;
        }
        if (option == "--check") {
            if (haveCheck)
                return UsageError("option '--check' is given twice");
            options->check = haveCheck = true;
            continue;
        }
        if (option == "--jobs" || option == "--stub") {
            bool& given = option == "--jobs" ? haveJobs : haveStub;
            if (given)
                return UsageError("option '" + option + "' is given twice");
            given = true;
            if (i + 1 >= argc)
                return UsageError("option '" + option + "' needs a value");
            const std::string value = argv[++i];
            if (option == "--stub")
                options->stub = value;
            else if (!ParseJobs(value, &options->jobs))
                return UsageError("--jobs needs a whole number from 1 to 64, not '" + value + "'");
            continue;
        }
        if (option.size() > 1 && option[0] == '-')
            return UsageError("unknown option '" + option + "'");
        if (!options->list.empty())
            return UsageError("unexpected argument '" + option + "'");
        options->list = option;
    }
    if (options->list.empty())
        return UsageError("missing LIST.csv");
    return -1;
}

unsigned DefaultJobs()
{
    unsigned processors = std::thread::hardware_concurrency();
    if (processors == 0)
        processors = 1;
    // A 32-bit process holds every picture being built, decoded on Windows,
    // in 2 GB of address space.
    const unsigned most = sizeof(void*) < 8 ? 16 : MostJobs;
    return processors < most ? processors : most;
}

// Control bytes in a message, from a file name in the list, shown as '?' so
// that each failure stays on one line.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return text;
}

struct Batch {
    BatchOptions options;
    std::string listFolder;
    std::vector<BatchRow> rows;
    std::vector<std::string> reasons;  // why each row failed; empty while it has not
    std::vector<BatchRowFiles> files;
    std::string stubKey;
    std::string stubProblem;           // why no puzzle program can be built, if the stub says so
    ProgressLine progress{stdout};

    std::string PicturePath(const BatchRow& row) const { return PathFromList(listFolder, row.picture); }
    std::string TargetPath(const BatchRow& row) const { return PathFromList(listFolder, row.target); }

    // "LIST.csv:LINE: PICTURE: reason" on stderr.
    void ReportRow(size_t i)
    {
        progress.Clear();
        const BatchRow& row = rows[i];
        std::string text = options.list + ":" + std::to_string(row.line) + ": ";
        if (!row.picture.empty())
            text += row.picture + ": ";
        std::fprintf(stderr, "%s\n", OneLine(text + reasons[i]).c_str());
    }

    void ReportList(unsigned long line, const std::string& reason)
    {
        std::fprintf(stderr, "%s\n",
                     OneLine(options.list + ":" + std::to_string(line) + ": " + reason).c_str());
    }
};

// Takes one record of the list: its values, then the checks it can have by
// itself. Blank records are skipped.
void TakeRow(Batch& batch, const CsvRecord& record, const BatchColumns& columns)
{
    if (IsBlankRecord(record))
        return;
    BatchRow row;
    std::string reason;
    BatchRowFiles files;
    if (ReadBatchRow(record, columns, &row, &reason)) {
        CheckBatchRow(batch.PicturePath(row), batch.TargetPath(row), row.settings, &files, &reason);
    } else if (!row.picture.empty()) {
        // Its picture is kept from every other row's target all the same.
        ExistingFileKey(batch.PicturePath(row).c_str(), &files.pictureKey);
    }
    batch.rows.push_back(std::move(row));
    batch.reasons.push_back(reason);
    batch.files.push_back(std::move(files));
}

// Reads the whole list, row by row. Returns false, having said why, when the
// list cannot be read or its header is wrong.
bool ReadList(Batch& batch)
{
    FILE* file = OpenFileForReading(batch.options.list.c_str());
    if (!file) {
        std::fprintf(stderr, "vornixpack batch: could not open list '%s': %s\n",
                     batch.options.list.c_str(), RuntimeErrorText().c_str());
        return false;
    }
    CsvReader reader;
    CsvReadFile(&reader, file);
    CsvRecord record;
    BatchColumns columns;
    std::string error;
    bool fine = true;
    switch (CsvReadRecord(&reader, &record)) {
    case CsvAtEnd:
        batch.ReportList(1, "the list is empty: it needs a header row naming its columns");
        fine = false;
        break;
    case CsvFailed:
        batch.ReportList(reader.errorLine, reader.error);
        fine = false;
        break;
    case CsvGotRecord:
        if (!MapBatchColumns(record, &columns, &error)) {
            batch.ReportList(record.line, error);
            fine = false;
        }
        break;
    }
    while (fine) {
        const CsvReadResult result = CsvReadRecord(&reader, &record);
        if (result == CsvAtEnd)
            break;
        if (result == CsvFailed) {
            batch.ReportList(reader.errorLine, reader.error);
            fine = false;
            break;
        }
        TakeRow(batch, record, columns);
    }
    std::fclose(file);
    return fine;
}

// The stub every puzzle program copies: when it cannot be read or is not a
// player program no such row can be built, which is said once rather than
// for every row.
void CheckStub(Batch& batch)
{
    const std::string& stub = batch.options.stub;
    ExistingFileKey(stub.c_str(), &batch.stubKey);
    std::vector<uint8_t> bytes;
    const char* failure = nullptr;
    errno = 0;
    const WholeFileResult read = ReadWholeFile(stub.c_str(), StubReadLimit, bytes, &failure);
    if (read != WholeFileRead) {
        // The system's reason when the file could not be opened at all.
        const bool unopened = read == WholeFileUnreadable && errno != 0 &&
                              std::strcmp(failure, "cannot open file") == 0;
        batch.stubProblem =
            "could not open stub '" + stub + "': " + (unopened ? RuntimeErrorText() : std::string(failure));
        return;
    }
    const std::string fault = PlayerProgramFault(bytes.data(), bytes.size());
    if (!fault.empty())
        batch.stubProblem = ErrorWords(PlayerProgramNotValid) + " '" + stub + "': " + fault;
}

// Builds the rows that passed the checks; returns how many were built, and
// in *stopped how many were not started as the batch was asked to stop.
size_t BuildRows(Batch& batch, unsigned jobs, size_t* stopped)
{
    std::vector<size_t> pending;
    for (size_t i = 0; i < batch.rows.size(); ++i) {
        if (batch.reasons[i].empty())
            pending.push_back(i);
    }
    const auto start = std::chrono::steady_clock::now();
    size_t done = 0, built = 0;
    auto work = [&](size_t k) {
        const BatchRow& row = batch.rows[pending[k]];
        TargetBuildRequest request;
        request.picturePath = batch.PicturePath(row);
        request.targetPath = batch.TargetPath(row);
        request.stubPath = batch.options.stub;
        request.settings = row.settings;
        std::string& reason = batch.reasons[pending[k]];
        try {
            if (!BuildPuzzle(request, BuildStatusSink(), &reason) && reason.empty())
                reason = "the build failed";
        } catch (const std::bad_alloc&) {
            reason = "not enough memory";
        } catch (...) {
            reason = "the build stopped unexpectedly";
        }
    };
    auto finished = [&](size_t k) {
        ++done;
        if (batch.reasons[pending[k]].empty())
            ++built;
        else
            batch.ReportRow(pending[k]);
    };
    // The line is drawn at most ten times a second, however fast rows end.
    double drawnAt = -1;
    auto tick = [&] {
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        if (drawnAt >= 0 && seconds.count() - drawnAt < 0.1)
            return;
        drawnAt = seconds.count();
        batch.progress.Show(ProgressText(done, pending.size(), seconds.count()));
    };
    tick();
    CatchStopRequests();
    const size_t ran = RunOnThreads(pending.size(), jobs, work, finished, tick, StopRequested);
    batch.progress.Clear();
    *stopped = pending.size() - ran;
    return built;
}

std::string Puzzles(size_t count)
{
    return count == 1 ? "puzzle" : "puzzles";
}

}  // namespace

int BatchCommandMain(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    Batch batch;
    const int parsed = ParseOptions(argc, argv, &batch.options);
    if (parsed >= 0)
        return parsed;
    batch.listFolder = FolderOfPath(batch.options.list);
    if (!ReadList(batch))
        return 2;

    CheckStub(batch);
    CheckBatchTargets(batch.rows, batch.files, batch.stubKey, &batch.reasons);
    for (size_t i = 0; i < batch.rows.size(); ++i) {
        if (!batch.reasons[i].empty())
            batch.ReportRow(i);
    }
    // Without a stub only web pages can be built; that is said once.
    size_t needStub = 0;
    for (size_t i = 0; i < batch.rows.size() && !batch.stubProblem.empty(); ++i) {
        if (batch.reasons[i].empty() && !IsWebPageTarget(batch.TargetPath(batch.rows[i]))) {
            batch.reasons[i] = batch.stubProblem;
            ++needStub;
        }
    }
    if (needStub > 0)
        std::fprintf(stderr, "vornixpack batch: %s\n", batch.stubProblem.c_str());
    const size_t total = batch.rows.size();
    size_t ready = 0;
    for (const std::string& reason : batch.reasons)
        ready += reason.empty();

    std::string summary;
    size_t stopped = 0;
    if (batch.options.check) {
        summary = "checked " + std::to_string(total) + " " + Puzzles(total) + ": " +
                  std::to_string(ready) + " can be built";
    } else {
        if (ready > 0)
            ready = BuildRows(batch, batch.options.jobs ? batch.options.jobs : DefaultJobs(), &stopped);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        summary = "built " + std::to_string(ready) + " of " + std::to_string(total) + " " +
                  Puzzles(total) + " in " + std::to_string(std::lround(seconds.count())) + " s";
    }
    const size_t failed = total - ready - stopped;
    if (failed > 0 && stopped > 0)
        summary += " (" + std::to_string(failed) + " failed; stopped: " + std::to_string(stopped) +
                   " not built)";
    else if (failed > 0)
        summary += " (" + std::to_string(failed) + " failed)";
    else if (stopped > 0)
        summary += " (stopped: " + std::to_string(stopped) + " not built)";
    std::printf("%s\n", summary.c_str());
    return ready == total ? 0 : 1;
}
