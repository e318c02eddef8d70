// File-system identity checks used by the build so it never truncates the
// files it is about to read and never deletes anything but a plain file.
#pragma once

#include <cstdio>
#include <string>

// True when both paths exist and name the same file, however each is written
// (relative or absolute, other letter case on Windows, hard links).
bool SameExistingFile(const char* pathA, const char* pathB);

// A text that names an existing file or folder whatever path reaches it
// (volume and file index on Windows, device and inode elsewhere), so that
// many files can be told apart by key. False when it does not exist.
bool ExistingFileKey(const char* path, std::string* key);

// fopen(path, "rb") that refuses folders, which some systems open, with
// errno EISDIR.
FILE* OpenFileForReading(const char* path);

// True when the open file is an ordinary disk file (not a device or pipe),
// so removing its path removes only what the build wrote.
bool IsPlainFile(FILE* file);
