// The build as the form asks for it, shared by "GO !" and "Test Play": the
// request made from the form's values, and the build run with its steps on
// the status line.
#pragma once

#include <string>

#include "package_build.h"

// Longest paths the form passes on: what the 256-byte path buffer holds.
const size_t MaxFormPathBytes = 255;

// The picture, the player stub and the settings of the form, in a request
// without a target. False, with the status line saying why, when the
// picture path is too long to pass on.
bool FormBuildRequest(TargetBuildRequest* request);

// Builds with every step on the status line; a failure's reason, when the
// system gave one, follows the error on the line's second line. True when
// the target is complete; then the last status, "Done.", is in *lastStatus.
bool BuildWithStatus(const TargetBuildRequest& request, std::string* lastStatus);
