#include "build_puzzle.h"

#include "vornixpack_picture.h"

std::string ErrorWords(const std::string& status)
{
    std::string words = status;
    const std::string prefix = "Error - ";
    if (words.compare(0, prefix.size(), prefix) == 0)
        words.erase(0, prefix.size());
    if (!words.empty() && words.back() == '.')
        words.pop_back();
    return words;
}

bool BuildPuzzle(TargetBuildRequest request, const BuildStatusSink& status, std::string* message)
{
    request.pictureCheck = PictureIsSupported;
    std::string lastStatus;
    TargetBuildFailure failure;
    const TargetBuildResult result = BuildTarget(
        request,
        [&](const char* text) {
            lastStatus = text;
            if (status)
                status(text);
        },
        &failure);
    if (result == TargetBuildDone)
        return true;
    *message = ErrorWords(lastStatus);
    if (!failure.path.empty())
        *message += " '" + failure.path + "'";
    if (!failure.reason.empty())
        *message += ": " + failure.reason;
    return false;
}
