// Where a build writes its target: a temporary file in the target's folder
// that is moved over the target only when it is complete, so that a build
// that fails on the way leaves an existing target as it was.
//
// An existing target that is not a plain file (a device such as /dev/null)
// is written directly instead: there is nothing to replace, and a device node
// must never be renamed over or removed.
#pragma once

#include <cstdio>
#include <string>

struct TargetFile {
    FILE* file = nullptr;
    std::string finalPath;      // the file that the finished build becomes
    std::string temporaryPath;  // empty when writing straight to finalPath
};

// Checks that the target can be written or replaced (an existing file that
// is read-only, locked or a folder cannot) and opens the file the build
// writes. False with the system's reason in *error; nothing is created then.
bool OpenTargetFile(const std::string& targetPath, TargetFile& target, std::string* error);

enum TargetCommitResult {
    TargetCommitted,
    TargetCloseFailed,  // the last writes failed when the file was closed
    TargetMoveFailed,   // the finished file could not replace the target
};

// Closes the file and moves it over the target. On failure the reason is in
// *error, the temporary file is removed and the target left as it was.
TargetCommitResult CommitTargetFile(TargetFile& target, std::string* error);

// Closes the file and removes it when it is the temporary one. Safe to call
// on a target that was never opened or is already committed.
void DiscardTargetFile(TargetFile& target);
