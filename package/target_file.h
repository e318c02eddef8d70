// Where a build writes its target: a temporary file in the target's folder
// that is moved over the target only when it is complete, so that a build
// that fails on the way leaves an existing target as it was.
//
// The temporary file is named after the target: its name, then a short
// suffix unique to this process, thread and moment, then ".tmp" (on POSIX
// systems with a leading "." that hides it), created exclusively so that two
// builds never share one, and with the target's name shortened where the
// whole would be longer than a folder entry may be. On Windows it is made
// through the wide API, in the long form of its path where the whole path
// is longer than MAX_PATH.
//
// An existing target that is a character device (such as /dev/null or NUL)
// is written directly instead: there is nothing to replace, and a device node
// must never be renamed over or removed. Anything else that is not a plain
// file (a folder, a pipe, a socket) is refused: writing into a pipe that no
// one reads would never end. A symbolic link is written through: the file it
// names is replaced, or created when it does not exist yet, and the link
// stays.
#pragma once

#include <cstdio>
#include <string>

struct TargetFile {
    FILE* file = nullptr;
    std::string finalPath;  // the file that the finished build becomes
#ifdef _WIN32
    std::wstring temporaryPath;  // empty when writing straight to finalPath
#else
    std::string temporaryPath;  // empty when writing straight to finalPath
#endif
};

// Checks that the target can be written or replaced (an existing file that
// is read-only, locked, a folder or a pipe cannot) and opens the file the
// build writes. False with the reason in *error, in a user's words ("the
// folder does not exist", "access is denied", "the file is in use", "the
// name is not valid", ...); nothing is created then.
bool OpenTargetFile(const std::string& targetPath, TargetFile& target, std::string* error);

enum TargetCommitResult {
    TargetCommitted,
    TargetCloseFailed,  // the last writes failed when the file was closed
    TargetMoveFailed,   // the finished file could not replace the target
};

// Closes the file and moves it over the target. On failure the reason is in
// *error (in a user's words when the move failed), the temporary file is
// removed and the target left as it was.
TargetCommitResult CommitTargetFile(TargetFile& target, std::string* error);

// Closes the file and removes it when it is the temporary one. Safe to call
// on a target that was never opened or is already committed.
void DiscardTargetFile(TargetFile& target);
