// vornixpack inspect / extract: what a puzzle program or a web page puzzle
// holds. A target named *.html or *.htm is read as a web page, anything else
// as a program, through the package reader; a file that is not a puzzle gets
// one line on stderr and exit code 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "file_identity.h"
#include "package_reader.h"
#include "system_error.h"
#include "target_file.h"
#include "web_page_reader.h"
#include "web_page_writer.h"
#include "vornixpack_commands.h"
#include "vornixpack_picture.h"
#include "vornixpack_text.h"

namespace {

const char InspectHelp[] =
    "usage: vornixpack inspect TARGET.exe\n"
    "       vornixpack inspect TARGET.html\n"
    "\n"
    "Shows what a puzzle program holds: the length of the player stub, the\n"
    "lengths of the picture and of the settings record, the picture's format,\n"
    "pixel size and orientation, and the six settings (control characters\n"
    "shown as \\xNN). For a web page (a name ending in .html or .htm): the\n"
    "page's length, the picture's length, format and size, the size the page\n"
    "draws it at, the settings and the key of its best results.\n";

const char ExtractHelp[] =
    "usage: vornixpack extract TARGET.exe -o PICTURE\n"
    "       vornixpack extract TARGET.html -o PICTURE\n"
    "\n"
    "Writes the picture file that a puzzle program or a web page holds. A web\n"
    "page gives its picture back byte for byte (a bitmap or TIFF as the PNG\n"
    "the page was made with). From a program, PNG, JPEG, GIF and\n"
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

// Prints why the target could not be read: the file, the reason and, where
// the system gave one, its error text.
void PrintReadFailure(const char* command, const char* path, const char* failure)
{
    std::string reason = failure ? failure : "unreadable";
    const bool systemFailure = failure && (!std::strcmp(failure, "cannot open file") ||
                                           !std::strcmp(failure, "cannot read file"));
    if (systemFailure && errno != 0)
        reason += ": " + RuntimeErrorText();
    std::fprintf(stderr, "vornixpack %s: %s: %s\n", command, path, reason.c_str());
}

// Reads the target; on failure prints why and returns false.
bool ReadTarget(const char* command, const char* path, PackageContents& contents)
{
    errno = 0;
    PackageStatus status = ReadPackageFile(path, contents);
    if (status == PackageOk)
        return true;
    if (status == PackageMissing) {
        std::fprintf(stderr, "vornixpack %s: %s: holds no puzzle (no package after the stub)\n", command,
                     path);
        return false;
    }
    PrintReadFailure(command, path, contents.failure);
    return false;
}

bool ReadPage(const char* command, const char* path, WebPageContents& contents)
{
    errno = 0;
    if (ReadWebPageFile(path, contents) == WebPageOk)
        return true;
    PrintReadFailure(command, path, contents.failure);
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

void PrintLength(const char* label, uint64_t length)
{
    std::printf("%-16s%llu\n", label, static_cast<unsigned long long>(length));
}

int InspectProgram(const char* target)
{
    PackageContents contents;
    if (!ReadTarget("inspect", target, contents))
        return 1;
    const PackageRecord& record = contents.record;
    PrintLength("stub length:", contents.stubLength);
    PrintLength("picture length:", contents.pictureLength);
    PrintLength("record length:", contents.recordLength);
    PrintField("picture:", DescribePicture(contents.picture.data(), contents.picture.size()));
    PrintField("grid size:", record.gridSize);
    PrintField("company name:", record.companyName);
    PrintField("web site:", record.webSite);
    PrintField("tag line:", record.tagLine);
    PrintField("shuffle:", record.shuffle);
    PrintField("win address:", record.winAddress);
    return 0;
}

// The same fields for a web page, in the program's words where they mean the
// same ("YES", "NONE").
int InspectPage(const char* target)
{
    WebPageContents contents;
    if (!ReadPage("inspect", target, contents))
        return 1;
    const WebPageSettings& settings = contents.settings;
    PrintLength("page length:", contents.pageLength);
    PrintLength("picture length:", contents.picture.size());
    PrintField("picture:", DescribePicture(contents.picture.data(), contents.picture.size()));
    PrintField("picture type:", settings.pictureType);
    PrintField("shown size:", std::to_string(settings.pictureWidth) + " x " +
                                  std::to_string(settings.pictureHeight) + " pixels");
    PrintField("grid size:", std::to_string(settings.grid));
    PrintField("company name:", settings.company);
    PrintField("web site:", settings.site);
    PrintField("tag line:", settings.tagline);
    PrintField("shuffle:", settings.shuffle ? "YES" : "NO");
    PrintField("win address:", settings.winUrl.empty() ? std::string("NONE") : settings.winUrl);
    PrintField("best key:", settings.bestKey);
    return 0;
}

// The picture a target holds, and how many of its last bytes were guessed.
bool ReadPicture(const char* target, std::vector<uint8_t>& picture, uint32_t* reconstructed)
{
    *reconstructed = 0;
    if (IsWebPageTarget(target)) {
        WebPageContents contents;
        if (!ReadPage("extract", target, contents))
            return false;
        picture.swap(contents.picture);
        return true;
    }
    PackageContents contents;
    if (!ReadTarget("extract", target, contents))
        return false;
    picture.swap(contents.picture);
    *reconstructed = contents.reconstructedCount;
    return true;
}

}  // namespace

int InspectCommandMain(int argc, char** argv)
{
    const char* target = nullptr;
    int exitCode = ReadArguments("inspect", InspectHelp, argc, argv, &target, nullptr);
    if (exitCode >= 0)
        return exitCode;
    return IsWebPageTarget(target) ? InspectPage(target) : InspectProgram(target);
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
        std::fprintf(stderr, "vornixpack extract: '%s' is the puzzle itself\n", output);
        return 1;
    }

    std::vector<uint8_t> picture;
    uint32_t reconstructed = 0;
    if (!ReadPicture(target, picture, &reconstructed))
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
    const size_t size = picture.size();
    if ((size && std::fwrite(picture.data(), 1, size, file.file) != size) ||
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
    if (reconstructed) {
        std::fprintf(stderr, "note: the last %lu bytes of the picture were reconstructed\n",
                     static_cast<unsigned long>(reconstructed));
    }
    return 0;
}

