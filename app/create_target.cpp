// "GO !": reads the form, chooses where a typed target goes, refuses paths
// that do not fit and asks before a typed target replaces an existing file,
// then hands the values to the package build, which writes the target and
// reports its progress in the status line; a failure's reason and the path
// written follow on the line's second line.
#include "app.h"

#include <string>

#include "control_text.h"
#include "file_identity.h"
#include "form_build.h"
#include "target_path.h"
#include "vn_tr.h"

namespace {

const char TargetTooLong[] = N_("Error - target path is too long.");
const char TargetNotProgram[] = N_("Error - the target must end in .exe or .html.");

// True when the target may be written: it does not exist yet, it is the file
// the user already agreed to replace (in the save dialog or by an earlier
// build), or the user agrees now.
bool MayReplaceTarget(const std::string& target)
{
    if (!IsExistingFile(target) || lstrcmpiA(target.c_str(), ConfirmedTargetPath.c_str()) == 0)
        return true;
    const std::string question = VnFormat(Tr("%s already exists.\nDo you want to replace it?"), {target});
    return MessageBoxA(MainWindow, question.c_str(), Tr("Create Target Application").c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// Whether the target is one of the files the build reads.
bool IsBuildInput(const std::string& target, const std::string& picture, const std::string& stub)
{
    return SameExistingFile(target.c_str(), picture.c_str()) || SameExistingFile(target.c_str(), stub.c_str());
}

}  // namespace

void CreateTargetCommand()
{
    TargetPathChoice choice = ChooseTargetPath(ReadControlText(TargetPathEdit), ReadControlText(PictureFileEdit));
    const std::string& target = choice.path;
    if (target.size() > MaxFormPathBytes) {
        ShowStatus(TargetTooLong);
        return;
    }
    lstrcpynA(FileNameBuffer, target.c_str(), sizeof FileNameBuffer);
    TargetBuildRequest request;
    if (!FormBuildRequest(&request))
        return;
    request.targetPath = target;
    // The build refuses a target that is one of its inputs before anything
    // else, so there is nothing to ask about, and that says more than its name.
    const bool input = IsBuildInput(target, request.picturePath, request.stubPath);
    if (choice.refused && !input) {
        ShowStatus(TargetNotProgram);
        return;
    }
    if (!target.empty() && !input && !MayReplaceTarget(target))
        return;

    std::string lastStatus;
    if (BuildWithStatus(request, &lastStatus)) {
        ConfirmedTargetPath = target;
        const std::string written = FullPathOf(target);
        LastTargetFolder = FolderOf(written);
        // The build's last status is its "Done.".
        ShowStatusWithPath(lastStatus.c_str(), written);
    }
}
