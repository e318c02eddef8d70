// One puzzle built as `vornixpack build` builds it: the shared build with the
// picture check of this program, and a failure put in one message. Both
// `vornixpack build` and `vornixpack batch` go through here, so a row of a
// list gives the same bytes as the command line with the same values.
#pragma once

#include <string>

#include "package_build.h"

// Builds request's target, handing each status text to status. False on
// failure with the message that names the file and the reason, such as
// "could not open stub 'vornix_distrib.exe': No such file or directory".
bool BuildPuzzle(TargetBuildRequest request, const BuildStatusSink& status, std::string* message);

// The words of a status text as a message says them: "could not open
// picture file" for "Error - could not open picture file.".
std::string ErrorWords(const std::string& status);
