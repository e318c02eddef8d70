// Writing a target: a puzzle program (the stub copied unchanged, then the
// package header with the picture length and the record length, both 32-bit
// little-endian, the enciphered picture and the enciphered settings record),
// or, for a target named *.html or *.htm, a web page (web_page_writer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "package_record.h"

struct TargetBuildRequest {
    std::string targetPath;
    std::string picturePath;
    std::string stubPath = "vornix_distrib.exe";
    PackageSettings settings;
    // Whether the picture file's bytes are a picture the player can show.
    // Empty: no check. Called before the target is touched.
    std::function<bool(const uint8_t* data, size_t size)> pictureCheck;
    // Every working buffer comes from here and goes back through std::free;
    // tests put a failing allocator in to reach the out-of-memory path.
    void* (*allocate)(size_t size) = std::malloc;
};

enum TargetBuildResult {
    TargetBuildDone,    // the target is complete; the last status was "Done."
    TargetNotOpened,    // the target cannot be created or replaced; nothing written
    TargetBuildFailed,  // the last status is the error text
};

// What a failed build could not do, for a message that names the file and
// the reason.
//
// After "Error - could not create target." the reason is always given, in
// words a user understands, fit for a second status line: "no target path
// given", "the folder does not exist", "access is denied", "the file is in
// use", "the name is not valid", "the name is too long", "the disk is full",
// "the disk is read-only", "it is a folder", "it is a pipe, not a file", "it
// is not a file", "its symbolic links form a loop", or the system's own text
// for a rarer error. After the other errors it is the system's text or a
// short explanation ("the file is empty", "it is not a Windows program"),
// empty when the status says it all.
struct TargetBuildFailure {
    std::string path;    // the file concerned; empty when none is
    std::string reason;
};

// Receives each status text as the build reaches it.
typedef std::function<void(const char* text)> BuildStatusSink;

// Builds the target in one pass, in file order, into a temporary file in the
// target's folder that replaces the target only once it is complete: on any
// failure the temporary file is removed and an existing target is left as it
// was. Refused before anything is opened: a company name or web site holding
// "|", a grid size below 2 ("Error - the grid size must be 2 or more."), a
// target that names the stub or the picture itself and (with a pictureCheck)
// a picture that is not a supported image; for a web page, also a win
// address that is not http: or https:. A web page needs no stub: stubPath is
// not read. For a program, a stub that is not a player program (a Windows
// executable whose image, with its signature when signed, ends where the
// file ends: not an empty file, not a finished puzzle) is refused with
// "Error - the player program is not valid." once it is read, before the
// target is replaced. Every outcome is reported through status, the failures
// with an "Error - ..." text. Builds may run at once on several threads,
// each with its own request and target.
//
// PNG, JPEG, GIF and TIFF files, known by their leading bytes, are stored
// with zero bytes appended up to a multiple of 8, so that the whole file can
// be deciphered again; other files are stored byte for byte.
TargetBuildResult BuildTarget(const TargetBuildRequest& request, const BuildStatusSink& status,
                              TargetBuildFailure* failure = nullptr);
