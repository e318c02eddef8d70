// The system's own text for the error of the last failed call, for messages
// that name a file and the reason it could not be used.
#pragma once

#include <string>

// strerror of errno: C runtime file calls (fopen, fread, fwrite, fclose).
std::string RuntimeErrorText();

// The text of the last Windows error (GetLastError, through FormatMessage)
// on Windows; RuntimeErrorText elsewhere. For calls of the Windows API.
std::string LastSystemErrorText();
