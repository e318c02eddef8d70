// Process entry: finds the instance and the show command, skips the program
// name in the command line and hands over to the builder's main function.
#include "app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HINSTANCE instance = GetModuleHandleA(NULL);

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    // Skip the program name: a quoted name or the first blank-delimited word,
    // with the blanks and tabs around it.
    char* rest = GetCommandLineA();
    while (*rest == ' ' || *rest == '\t')
        ++rest;
    if (*rest == '"') {
        ++rest;
        while (*rest && *rest != '"')
            ++rest;
        if (*rest == '"')
            ++rest;
    } else {
        while (*rest && *rest != ' ' && *rest != '\t')
            ++rest;
    }
    while (*rest == ' ' || *rest == '\t')
        ++rest;

    return VornixMain(instance, NULL, rest, showCommand);
}
