// vornixpack inspect / extract: what a puzzle program holds. Both read the
// whole target through the package reader; a file that is not a puzzle
// program gets one line on stderr and exit code 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "file_identity.h"
#include "package_reader.h"
#include "system_error.h"
#include "target_file.h"
#include "vornixpack_commands.h"
#include "vornixpack_picture.h"
#include "vornixpack_text.h"

namespace {

const char InspectHelp[] =
    "usage: vornixpack inspect TARGET.exe\n"
    "\n"
    "Shows what a puzzle program holds: the length of the player stub, the\n"
    "lengths of the picture and of the settings record, the picture's format,\n"
    "pixel size and orientation, and the six settings (control characters\n"
    "shown as \\xNN).\n";

const char ExtractHelp[] =
    "usage: vornixpack extract TARGET.exe -o PICTURE\n"
    "\n"
    "Writes the picture file that a puzzle program holds. PNG, JPEG, GIF and\n"
    "TIFF pictures come back whole (with up to 7 zero bytes after their end).\n"
    "Of other pictures the last (length mod 8) bytes are not stored in a form\n"
    "that can be deciphered; they are filled in from the pixel row below, and\n"
    "a note on stderr says so. PICTURE must not be TARGET.exe itself, nor a\n"
    "folder or a pipe; an existing PICTURE is replaced only when the new one\n"
    "is complete.\n";

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

// Reads the target; on failure prints the file, the reason and, where the
// system gave one, its error text, and returns false.
bool ReadTarget(const char* command, const char* path, PackageContents& contents)
{
    errno = 0;
    PackageStatus status = ReadPackageFile(path, contents);
    if (status == PackageOk)
        return true;
    std::string reason;
    if (status == PackageMissing) {
        reason = "holds no puzzle (no package after the stub)";
    } else {
        reason = contents.failure ? contents.failure : "unreadable";
        const bool systemFailure = status == PackageDamaged && contents.failure &&
                                   (!std::strcmp(contents.failure, "cannot open file") ||
                                    !std::strcmp(contents.failure, "cannot read file"));
        if (systemFailure && errno != 0)
            reason += ": " + RuntimeErrorText();
    }
    std::fprintf(stderr, "vornixpack %s: %s: %s\n", command, path, reason.c_str());
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
            if (*output)
                return UsageError(command, "option -o is given twice", nullptr);
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

void PrintField(const char* label, const std::string& value)
{
    std::printf("%-16s%s\n", label, EscapeControlBytes(value).c_str());
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
    PrintField("picture:", DescribePicture(contents.picture.data(), contents.picture.size()));
    PrintField("grid size:", record.gridSize);
    PrintField("company name:", record.companyName);
    PrintField("web site:", record.webSite);
    PrintField("tag line:", record.tagLine);
    PrintField("shuffle:", record.shuffle);
    PrintField("win address:", record.winAddress);
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
        return UsageError("extract", "missing -o PICTURE", nullptr);
    if (SameExistingFile(target, output)) {
        std::fprintf(stderr, "vornixpack extract: '%s' is the puzzle program itself\n", output);
        return 1;
    }

    PackageContents contents;
    if (!ReadTarget("extract", target, contents))
        return 1;
    // Written beside the output and moved over it when complete; a device is
    // written directly and never removed.
    TargetFile file;
    std::string reason;
    if (!OpenTargetFile(output, file, &reason)) {
        std::fprintf(stderr, "vornixpack extract: could not create '%s': %s\n", output,
                     reason.c_str());
        return 1;
    }
    const size_t size = contents.picture.size();
    if ((size && std::fwrite(contents.picture.data(), 1, size, file.file) != size) ||
        std::fflush(file.file) != 0) {
        reason = RuntimeErrorText();
        DiscardTargetFile(file);
        std::fprintf(stderr, "vornixpack extract: could not write '%s': %s\n", output,
                     reason.c_str());
        return 1;
    }
    if (CommitTargetFile(file, &reason) != TargetCommitted) {
        std::fprintf(stderr, "vornixpack extract: could not write '%s': %s\n", output,
                     reason.c_str());
        return 1;
    }
    if (contents.reconstructedCount) {
        std::fprintf(stderr, "note: the last %lu bytes of the picture were reconstructed\n",
                     static_cast<unsigned long>(contents.reconstructedCount));
    }
    return 0;
}
