// vornixpack: the command-line builder. Dispatches to one subcommand; each
// subcommand receives the arguments from its own name on (argv[0] is "build",
// "batch", "inspect" or "extract").
#include <cstdio>
#include <cstring>

#include "vornix_version.h"
#include "vornixpack_commands.h"

namespace {

const char Usage[] =
    "usage: vornixpack build --picture PICTURE [--grid N] [--shuffle] [--win-url U]\n"
    "                        [--company C] [--site S] [--tagline T] [--stub PATH]\n"
    "                        [--verbose] -o TARGET.exe|TARGET.html\n"
    "       vornixpack batch LIST.csv [--jobs N] [--check] [--stub PATH]\n"
    "       vornixpack inspect TARGET.exe|TARGET.html\n"
    "       vornixpack extract TARGET.exe|TARGET.html -o PICTURE\n"
    "       vornixpack COMMAND --help   (the options of one command)\n"
    "       vornixpack --version\n"
    "\n"
    "build    writes a puzzle program: the player stub followed by the picture and\n"
    "         the puzzle's settings, enciphered; or, for a .html target, a web\n"
    "         page that plays in any browser\n"
    "batch    builds a puzzle for every row of a CSV list, several at a time\n"
    "inspect  shows what a puzzle program or web page holds\n"
    "extract  writes the picture a puzzle program or web page holds\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const char* command = argv[1];
    if (!std::strcmp(command, "--help") || !std::strcmp(command, "-h") ||
        !std::strcmp(command, "help")) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!std::strcmp(command, "--version")) {
        std::printf("vornixpack %s\n", VORNIX_VERSION_STRING);
        return 0;
    }
    if (!std::strcmp(command, "build"))
        return BuildCommandMain(argc - 1, argv + 1);
    if (!std::strcmp(command, "batch"))
        return BatchCommandMain(argc - 1, argv + 1);
    if (!std::strcmp(command, "inspect"))
        return InspectCommandMain(argc - 1, argv + 1);
    if (!std::strcmp(command, "extract"))
        return ExtractCommandMain(argc - 1, argv + 1);
    std::fprintf(stderr, "vornixpack: unknown command '%s' (try vornixpack --help)\n", command);
    return 2;
}
