// vornixpack build: the builder's "GO !" from the command line. Takes the
// form's values as options and runs the same build, printing each status
// text on its own line.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "package_build.h"
#include "vornixpack_commands.h"

namespace {

const char BuildHelp[] =
    "usage: vornixpack build --picture P.bmp [--grid N] [--shuffle] [--win-url U]\n"
    "                        [--company C] [--site S] [--tagline T] [--stub PATH]\n"
    "                        -o TARGET.exe\n"
    "\n"
    "Writes TARGET.exe: a copy of the player stub followed by the picture and the\n"
    "puzzle's settings, both enciphered. The defaults are the builder form's\n"
    "initial values.\n"
    "\n"
    "  --picture P.bmp  the picture file, packed as it is on disk (required)\n"
    "  --grid N         pieces per side, 0 to 9999 (default 0)\n"
    "  --shuffle        shuffle the pieces when the puzzle starts (default: not)\n"
    "  --win-url U      address opened when the puzzle is solved (default\n"
    "                   \"http://\", which means none); text without http:// or\n"
    "                   https:// gets HTTP:// in front; at most 1023 characters\n"
    "  --company C      company name shown in the puzzle's About box\n"
    "  --site S         web site shown in the About box\n"
    "  --tagline T      tag line shown in the About box (About texts: at most\n"
    "                   254 characters each, empty by default)\n"
    "  --stub PATH      the player stub (default: vornix_distrib.exe in the\n"
    "                   current directory)\n"
    "  -o TARGET.exe    the puzzle program to write (required); it must not be\n"
    "                   the picture or the stub\n"
    "  -h, --help       show this text\n"
    "\n"
    "Exit status: 0 when the build ends with \"Done.\", 1 when it fails (the last\n"
    "line printed is the error), 2 for a wrong command line.\n";

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

}  // namespace

int BuildCommandMain(int argc, char** argv)
{
    TargetBuildRequest request;
    bool havePicture = false;

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
        return UsageError("%s", "missing -o TARGET.exe");

    TargetBuildResult result = BuildTarget(request, PrintStatus);
    if (result == TargetNotOpened) {
        std::fprintf(stderr, "vornixpack build: could not open '%s' for writing\n",
                     request.targetPath.c_str());
        return 1;
    }
    return result == TargetBuildDone ? 0 : 1;
}
