// vornixpack build: the builder's "GO !" from the command line. Takes the
// form's values as options and runs the same build. A success prints one
// line; a failure prints one line on stderr that names the file and the
// system's reason; --verbose prints the builder's status texts as well.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "build_puzzle.h"
#include "measure_file.h"
#include "vornixpack_commands.h"
#include "vornixpack_text.h"

namespace {

const char BuildHelp[] =
    "usage: vornixpack build --picture PICTURE [--grid N] [--shuffle] [--win-url U]\n"
    "                        [--company C] [--site S] [--tagline T] [--stub PATH]\n"
    "                        [--verbose] -o TARGET.exe|TARGET.html\n"
    "\n"
    "Writes TARGET.exe: a copy of the player stub followed by the picture and the\n"
    "puzzle's settings, both enciphered. A TARGET whose name ends in .html or\n"
    ".htm (any letter case) is written as one self-contained web page instead,\n"
    "which plays in any browser: it holds the picture (a bitmap or TIFF as PNG)\n"
    "and the settings, needs no stub, and takes only an http:// or https://\n"
    "win address. Apart from the grid, the defaults are the builder form's\n"
    "initial values. An existing TARGET is replaced only when the new one is\n"
    "complete.\n"
    "\n"
    "  --picture P      the picture: BMP, PNG, JPEG, GIF or TIFF, packed as it is\n"
    "                   on disk (required)\n"
    "  --grid N         pieces per side, 0 to 9999 (default 4; 0 shows the\n"
    "                   picture without a grid)\n"
    "  --shuffle        shuffle the pieces when the puzzle starts (default: not)\n"
    "  --win-url U      address opened when the puzzle is solved (default\n"
    "                   \"http://\", which means none); text without http:// or\n"
    "                   https:// gets HTTP:// in front; at most 1023 bytes\n"
    "  --company C      company name shown in the puzzle's About box\n"
    "  --site S         web site shown in the About box (neither may hold \"|\")\n"
    "  --tagline T      tag line shown in the About box (About texts: at most\n"
    "                   254 bytes each, empty by default)\n"
    "  --stub PATH      the player stub (default: vornix_distrib.exe in the\n"
    "                   current directory); not used for a web page\n"
    "  -o TARGET        the puzzle to write (required): a program, or a web page\n"
    "                   when the name ends in .html or .htm; it must not be the\n"
    "                   picture or the stub\n"
    "  -v, --verbose    print the builder's status texts as it goes\n"
    "  -h, --help       show this text\n"
    "\n"
    "Exit status: 0 when the puzzle is written (one line: \"wrote TARGET\n"
    "(size): N x N puzzle\"), 1 when the build fails (one line on stderr naming\n"
    "the file and the reason), 2 for a wrong command line.\n";

int UsageError(const char* format, const char* what)
{
    std::fputs("vornixpack build: ", stderr);
    std::fprintf(stderr, format, what);
    std::fputs(" (see vornixpack build --help)\n", stderr);
    return 2;
}

bool ParseGrid(const char* text, int& grid)
{
    if (!*text)
        return false;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    errno = 0;
    long value = std::strtol(text, nullptr, 10);
    if (errno != 0 || value > 9999)
        return false;
    grid = static_cast<int>(value);
    return true;
}

void PrintStatus(const char* text)
{
    std::puts(text);
    std::fflush(stdout);
}

std::string GridText(int grid)
{
    if (grid == 0)
        return "the picture without a grid";
    return std::to_string(grid) + " x " + std::to_string(grid) + " puzzle";
}

// The size of the written target, or 0 when it cannot be measured.
uint64_t TargetSize(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    long size = MeasureFile(file);
    std::fclose(file);
    return size > 0 ? static_cast<uint64_t>(size) : 0;
}

}  // namespace

int BuildCommandMain(int argc, char** argv)
{
    TargetBuildRequest request;
    request.settings.gridSize = 4;
    bool havePicture = false;
    bool verbose = false;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::fputs(BuildHelp, stdout);
            return 0;
        }
        if (option == "--shuffle") {
            request.settings.shuffle = true;
            continue;
        }
        if (option == "-v" || option == "--verbose") {
            verbose = true;
            continue;
        }

        std::string* text = nullptr;
        if (option == "--picture")
            text = &request.picturePath;
        else if (option == "--win-url")
            text = &request.settings.winAddress;
        else if (option == "--company")
            text = &request.settings.companyName;
        else if (option == "--site")
            text = &request.settings.webSite;
        else if (option == "--tagline")
            text = &request.settings.tagLine;
        else if (option == "--stub")
            text = &request.stubPath;
        else if (option == "-o" || option == "--output")
            text = &request.targetPath;
        else if (option != "--grid") {
            if (option.size() > 1 && option[0] == '-')
                return UsageError("unknown option '%s'", option.c_str());
            return UsageError("unexpected argument '%s'", option.c_str());
        }

        if (i + 1 >= argc)
            return UsageError("option '%s' needs a value", option.c_str());
        const char* value = argv[++i];
        if (text) {
            *text = value;
            if (text == &request.picturePath)
                havePicture = true;
        } else if (!ParseGrid(value, request.settings.gridSize)) {
            return UsageError("--grid needs a whole number from 0 to 9999, not '%s'", value);
        }
    }

    if (!havePicture)
        return UsageError("%s", "missing --picture");
    if (request.targetPath.empty())
        return UsageError("%s", "missing -o TARGET");

    std::string message;
    if (!BuildPuzzle(request, verbose ? BuildStatusSink(PrintStatus) : BuildStatusSink(), &message)) {
        std::fprintf(stderr, "vornixpack build: %s\n", message.c_str());
        return 1;
    }
    std::printf("wrote %s (%s): %s\n", request.targetPath.c_str(),
                FormatFileSize(TargetSize(request.targetPath)).c_str(),
                GridText(request.settings.gridSize).c_str());
    return 0;
}
