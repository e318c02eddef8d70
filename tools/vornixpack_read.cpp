// vornixpack inspect / extract: what a puzzle program holds. Both read the
// whole target through the package reader; a file that is not a puzzle
// program gets one line on stderr and exit code 1.
#include <cstdio>
#include <cstring>
#include <string>

#include "package_reader.h"
#include "vornixpack_commands.h"

namespace {

const char InspectHelp[] =
    "usage: vornixpack inspect TARGET.exe\n"
    "\n"
    "Shows what a puzzle program holds: the length of the player stub, the\n"
    "lengths of the picture and of the settings record, and the six settings.\n";

const char ExtractHelp[] =
    "usage: vornixpack extract TARGET.exe -o PICTURE.bmp\n"
    "\n"
    "Writes the picture that a puzzle program holds. The last (length mod 8)\n"
    "bytes of the picture are not stored in the program in a form that can be\n"
    "deciphered; they are filled in from the pixel row below.\n";

bool IsHelp(const char* argument)
{
    return !std::strcmp(argument, "-h") || !std::strcmp(argument, "--help");
}

int UsageError(const char* command, const char* what, const char* argument)
{
    std::fprintf(stderr, "vornixpack %s: %s%s%s (see vornixpack %s --help)\n", command, what,
                 argument ? " " : "", argument ? argument : "", command);
    return 2;
}

// Reads the target; on failure prints the reason and returns false.
bool ReadTarget(const char* command, const char* path, PackageContents& contents)
{
    PackageStatus status = ReadPackageFile(path, contents);
    if (status == PackageOk)
        return true;
    std::fprintf(stderr, "vornixpack %s: %s: %s\n", command, path,
                 status == PackageMissing ? "holds no puzzle (no package after the stub)"
                                          : contents.failure);
    return false;
}

// Takes the command's one TARGET.exe argument and, for a command given an
// output, the value of -o. Returns -1 when the command goes on, else its exit
// code: 0 after the help text, 2 after a usage error.
int ReadArguments(const char* command, const char* help, int argc, char** argv,
                  const char** target, const char** output)
{
    for (int i = 1; i < argc; ++i) {
        if (IsHelp(argv[i])) {
            std::fputs(help, stdout);
            return 0;
        }
        if (output && !std::strcmp(argv[i], "-o")) {
            if (i + 1 >= argc)
                return UsageError(command, "option -o needs a value", nullptr);
            *output = argv[++i];
            continue;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0')
            return UsageError(command, "unknown option", argv[i]);
        if (*target)
            return UsageError(command, "unexpected argument", argv[i]);
        *target = argv[i];
    }
    if (!*target)
        return UsageError(command, "missing TARGET.exe", nullptr);
    return -1;
}

}  // namespace

int InspectCommandMain(int argc, char** argv)
{
    const char* target = nullptr;
    int exitCode = ReadArguments("inspect", InspectHelp, argc, argv, &target, nullptr);
    if (exitCode >= 0)
        return exitCode;

    PackageContents contents;
    if (!ReadTarget("inspect", target, contents))
        return 1;
    const PackageRecord& record = contents.record;
    std::printf("stub length:    %lu\n", static_cast<unsigned long>(contents.stubLength));
    std::printf("picture length: %lu\n", static_cast<unsigned long>(contents.pictureLength));
    std::printf("record length:  %lu\n", static_cast<unsigned long>(contents.recordLength));
    std::printf("grid size:      %s\n", record.gridSize.c_str());
    std::printf("company name:   %s\n", record.companyName.c_str());
    std::printf("web site:       %s\n", record.webSite.c_str());
    std::printf("tag line:       %s\n", record.tagLine.c_str());
    std::printf("shuffle:        %s\n", record.shuffle.c_str());
    std::printf("win address:    %s\n", record.winAddress.c_str());
    return 0;
}

int ExtractCommandMain(int argc, char** argv)
{
    const char* target = nullptr;
    const char* output = nullptr;
    int exitCode = ReadArguments("extract", ExtractHelp, argc, argv, &target, &output);
    if (exitCode >= 0)
        return exitCode;
    if (!output)
        return UsageError("extract", "missing -o PICTURE.bmp", nullptr);

    PackageContents contents;
    if (!ReadTarget("extract", target, contents))
        return 1;
    FILE* file = std::fopen(output, "wb");
    if (!file) {
        std::fprintf(stderr, "vornixpack extract: could not open '%s' for writing\n", output);
        return 1;
    }
    size_t written = contents.picture.empty()
                         ? 0
                         : std::fwrite(contents.picture.data(), 1, contents.picture.size(), file);
    bool closed = std::fclose(file) == 0;
    if (written != contents.picture.size() || !closed) {
        std::fprintf(stderr, "vornixpack extract: could not write '%s'\n", output);
        std::remove(output);
        return 1;
    }
    return 0;
}
