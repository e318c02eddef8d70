// The system's own text for the error of the last failed call, for messages
// that name a file and the reason it could not be used, and the same reason
// in a user's words where a file could not be created or replaced.
#pragma once

#include <string>

// strerror of errno: C runtime file calls (fopen, fread, fwrite, fclose).
std::string RuntimeErrorText();

// The text of the last Windows error (GetLastError, through FormatMessage)
// on Windows; RuntimeErrorText elsewhere. For calls of the Windows API.
std::string LastSystemErrorText();

// Why a file could not be created, opened for writing or replaced, in the
// words the builder's status line shows under "Error - could not create
// target.": "the folder does not exist", "access is denied", "the file is in
// use", "the name is not valid", "the name is too long", "the disk is full",
// "the disk is read-only"; the system's own text for any other error.
// From errno (C runtime and POSIX calls):
std::string CreateErrorReason(int errnoValue);
// From GetLastError on Windows (Windows API calls); from errno elsewhere.
std::string LastCreateErrorReason();
