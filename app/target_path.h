// Where "GO !" writes the target typed in the Target field: a bare name goes
// beside the picture, a name without an extension becomes a program, and a
// name that looks like a picture is refused, so a puzzle is never written
// where the user would not look for it or under a name that hides what it
// is. Portable: tested natively.
#pragma once

#include <string>

struct TargetPathChoice {
    std::string path;      // the target to write (empty when typed empty)
    bool refused = false;  // the name ends in a picture's extension
};

// The target for the typed text and the picture path of the form:
// - a name typed without a folder (no "\", "/" or drive) goes into the
//   picture's folder, when the picture path has one;
// - a name without an extension (or ending in dots) gets ".exe";
// - a name ending in a picture's extension (".bmp", ".jpg", ...: any letter
//   case) is refused.
TargetPathChoice ChooseTargetPath(const std::string& typed, const std::string& picture);

// Whether the file name ends in the extension of a picture format.
bool HasPictureExtension(const std::string& name);

// Whether the name ends in ".html" or ".htm" (any letter case): a target
// written as a web page.
bool IsWebPageName(const std::string& name);

// The path as the target dialog's filter names it: a name without an
// extension gets ".html" for the web page filter, ".exe" otherwise; a name
// with one is kept.
std::string WithFilterExtension(const std::string& path, bool webPage);
