// vornixpack build: the builder's "GO !" from the command line. Takes the
// form's values as options and runs the same build. A success prints one
// line; a failure prints one line on stderr that names the file and the
// system's reason; --verbose prints the builder's status texts as well.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "build_puzzle.h"
#include "grid_text.h"
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
    "  --grid N         pieces per side, 2 to 9999 (default 4)\n"
    "  --shuffle        shuffle the pieces when the puzzle starts (default: not)\n"
    "  --win-url U      address opened when the puzzle is solved (default\n"
    "                   \"http://\", which means none); text without http:// or\n"
    "                   https:// gets HTTP:// in front, a \"|\" is written as %7C;\n"
    "                   at most 1023 bytes\n"
    "  --company C      company name shown in the puzzle's About box\n"
    "  --site S         web site shown in the About box (neither may hold \"|\")\n"
    "  --tagline T      tag line shown in the About box (About texts: at most\n"
    "                   254 bytes each, empty by default)\n"
    "  --stub PATH      the player stub (default: vornix_distrib.exe in the\n"
    "                   current directory); it must be the player program\n"
    "                   itself, not a finished puzzle; not used for a web page\n"
    "  -o TARGET        the puzzle to write (required): a program, or a web page\n"
    "                   when the name ends in .html or .htm; it must not be the\n"
    "                   picture or the stub\n"
    "  -v, --verbose    print the builder's status texts as it goes\n"
    "  -h, --help       show this text\n"
    "\n"
    "Each option may be given once. TARGET must be a file or a device, not a\n"
    "folder or a pipe.\n"
    "\n"
    "Exit status: 0 when the puzzle is written (one line: \"wrote TARGET\n"
    "(size): N x N puzzle\"), 1 when the build fails (one line on stderr naming\n"
    "the file and the reason), 2 for a wrong command line (a grid size outside\n"
    "2 to 9999 among them).\n";

int UsageError(const char* format, const char* what)
{
    std::fputs("vornixpack build: ", stderr);
    std::fprintf(stderr, format, what);
    std::fputs(" (see vornixpack build --help)\n", stderr);
    return 2;
}

void PrintStatus(const char* text)
{
    std::puts(text);
    std::fflush(stdout);
}

std::string GridText(int grid)
{
    return std::to_string(grid) + " x " + std::to_string(grid) + " puzzle";
}

// The option's one name, whichever of its spellings was given.
std::string CanonicalOption(const std::string& option)
{
    if (option == "-v")
        return "--verbose";
    if (option == "-o")
        return "--output";
    return option;
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
    // An option given twice is a mistake to point out, not one for the last
    // value to hide.
    std::set<std::string> given;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::fputs(BuildHelp, stdout);
            return 0;
        }
        if (option.size() > 1 && option[0] == '-' && !given.insert(CanonicalOption(option)).second)
            return UsageError("option '%s' is given twice", option.c_str());
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
        } else {
            switch (ParseGridText(value, &request.settings.gridSize)) {
            case GridTextTaken:
                break;
            case GridTextTooSmall:
                // The builder's own words for it.
                return UsageError("the grid size must be 2 or more, not '%s'", value);
            case GridTextNotWhole:
                return UsageError("--grid needs a whole number from 2 to 9999, not '%s'", value);
            }
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
