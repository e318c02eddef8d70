/* A stand-in web browser for tests: registered as the open command of http
 * and https addresses ("...\recorder.exe" "%1"), it appends the address it was
 * given, byte for byte, plus a newline to a log file and exits. The log file is
 * the one named by the environment variable VN_RECORDER_LOG, or else the
 * program's own path with ".log" in place of ".exe". */
#include <windows.h>
#include <stdio.h>
#include <string.h>

/* The command line after the program name and the blanks that follow it. */
static const char* SkipProgramName(const char* line)
{
    while (*line == ' ' || *line == '\t')
        ++line;
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line == '"')
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

static int LogPath(char* path, DWORD size)
{
    DWORD length = GetEnvironmentVariableA("VN_RECORDER_LOG", path, size);
    if (length > 0 && length < size)
        return 1;
    length = GetModuleFileNameA(NULL, path, size);
    if (length == 0 || length >= size - 4)
        return 0;
    char* dot = strrchr(path, '.');
    if (dot && !strchr(dot, '\\') && !strchr(dot, '/'))
        strcpy(dot, ".log");
    else
        strcat(path, ".log");
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    const char* argument = SkipProgramName(GetCommandLineA());
    size_t length = strlen(argument);
    /* The address arrives quoted ("%1"); the quotes are not part of it. */
    if (length >= 2 && argument[0] == '"' && argument[length - 1] == '"') {
        ++argument;
        length -= 2;
    }
    char path[MAX_PATH + 8];
    if (!LogPath(path, sizeof path))
        return 1;
    FILE* log = fopen(path, "ab");
    if (!log)
        return 1;
    int ok = fwrite(argument, 1, length, log) == length && fputc('\n', log) != EOF;
    ok = (fclose(log) == 0) && ok;
    return ok ? 0 : 1;
}
