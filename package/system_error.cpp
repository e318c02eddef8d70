#include "system_error.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

std::string RuntimeErrorText()
{
    const int code = errno;
    return code ? std::string(std::strerror(code)) : std::string("unknown error");
}

#ifdef _WIN32
std::string LastSystemErrorText()
{
    const DWORD code = GetLastError();
    char text[512] = {0};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                  code, 0, text, sizeof text, NULL);
    // The system's texts end with a full stop and a line break.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        --length;
    if (length == 0)
        return "error " + std::to_string(static_cast<unsigned long>(code));
    return std::string(text, length);
}
#else
std::string LastSystemErrorText()
{
    return RuntimeErrorText();
}
#endif
