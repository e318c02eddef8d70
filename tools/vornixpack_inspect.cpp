// Placeholder for the inspect and extract subcommands.
#include <cstdio>

#include "vornixpack_commands.h"

int InspectCommandMain(int, char**)
{
    std::fputs("vornixpack: inspect is not available\n", stderr);
    return 1;
}

int ExtractCommandMain(int, char**)
{
    std::fputs("vornixpack: inspect is not available\n", stderr);
    return 1;
}
