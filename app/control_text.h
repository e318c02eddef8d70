// Reading the form's texts whole, cutting them to byte limits at character
// boundaries of the process's code page, and converting them to UTF-8 and
// between the process's code page and UTF-16.
#pragma once

#include <windows.h>

#include <string>

// The whole text of a control, however long.
std::string ReadControlText(HWND control);

// The text cut to at most limit bytes without splitting a character of the
// given code page (CP_ACP: the process's).
std::string CutText(const std::string& text, size_t limit, UINT codePage = CP_ACP);

// The text, in the given code page, as UTF-8. Text already in UTF-8 (the code
// page is CP_UTF8, or CP_ACP where that is UTF-8) comes back unchanged.
std::string TextToUtf8(const std::string& text, UINT codePage = CP_ACP);

// Text of the process's code page as UTF-16, and back.
std::wstring WideFromAcp(const std::string& text);
std::string AcpFromWide(const std::wstring& text);
