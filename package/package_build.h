// Writing a target executable: the stub copied unchanged, then the package
// header (picture length, record length, both 32-bit little-endian), the
// enciphered picture and the enciphered settings record.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <functional>
#include <string>

#include "package_record.h"

struct TargetBuildRequest {
    std::string targetPath;
    std::string picturePath;
    std::string stubPath = "vornix_distrib.exe";
    PackageSettings settings;
    // Every working buffer comes from here and goes back through std::free;
    // tests put a failing allocator in to reach the out-of-memory path.
    void* (*allocate)(size_t size) = std::malloc;
};

enum TargetBuildResult {
    TargetBuildDone,       // the target is complete; the last status was "Done."
    TargetNotOpened,       // no target path, or it cannot be opened for writing: no status
    TargetBuildFailed,     // the last status is the error text
};

// Receives each status text as the build reaches it.
typedef std::function<void(const char* text)> BuildStatusSink;

// Builds the target in one pass, in file order. On failure the target is left
// as follows: if the stub or the picture cannot be opened, the target stays
// (empty, or holding the stub copy alone); if a read, a write, the close or
// an allocation fails, the incomplete target is removed. A target that names
// the stub or the picture itself is refused before anything is opened.
TargetBuildResult BuildTarget(const TargetBuildRequest& request, const BuildStatusSink& status);
