// "GO !": reads the form, chooses where a typed target goes, refuses paths
// that do not fit and asks before a typed target replaces an existing file,
// then hands the values to the package build, which writes the target and
// reports its progress in the status line; a failure's reason and the path
// written follow on the line's second line.
#include "app.h"

#include <string>

#include "control_text.h"
#include "file_identity.h"
#include "package_build.h"
#include "target_path.h"
#include "vn_image.h"

namespace {

const char StubFileName[] = "vornix_distrib.exe";
const char TargetTooLong[] = "Error - target path is too long.";
const char PictureTooLong[] = "Error - picture path is too long.";
const char TargetNotProgram[] = "Error - the target must end in .exe or .html.";

// Longest paths the form passes on: what the 256-byte path buffer holds.
const size_t MaxPathBytes = sizeof FileNameBuffer - 1;

bool IsPlainFile(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// True when the target may be written: it does not exist yet, it is the file
// the user already agreed to replace (in the save dialog or by an earlier
// build), or the user agrees now.
bool MayReplaceTarget(const std::string& target)
{
    if (!IsPlainFile(target.c_str()) || lstrcmpiA(target.c_str(), ConfirmedTargetPath.c_str()) == 0)
        return true;
    std::string question = target + " already exists.\nDo you want to replace it?";
    return MessageBoxA(MainWindow, question.c_str(), "Create Target Application",
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// Whether the target is one of the files the build reads.
bool IsBuildInput(const std::string& target, const std::string& picture, const std::string& stub)
{
    return SameExistingFile(target.c_str(), picture.c_str()) || SameExistingFile(target.c_str(), stub.c_str());
}

// The path as the system resolves it against the current folder.
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, NULL);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

// A field's text as the settings record carries it: UTF-8, at most limit
// bytes, cut at a character boundary.
std::string RecordText(HWND field, size_t limit)
{
    return CutText(TextToUtf8(ReadControlText(field)), limit, CP_UTF8);
}

// Whether the bytes decode as a picture the player can show.
bool PictureDecodes(const uint8_t* data, size_t size)
{
    if (!data || size == 0 || size > 0xFFFFFFFFu)
        return false;
    VnImage image(data, static_cast<uint32_t>(size), ImageTypeBmp);
    return image.dibBlock != NULL;
}

}  // namespace

std::string LocateStub()
{
    if (IsPlainFile(StubFileName))
        return StubFileName;
    std::string beside = std::string(ProgramFolder) + "\\" + StubFileName;
    if (ProgramFolder[0] != '\0' && IsPlainFile(beside.c_str()))
        return beside;
    // Neither: the build reports that the stub cannot be opened.
    return StubFileName;
}

void CreateTargetCommand()
{
    std::string picture = ReadControlText(PictureFileEdit);
    TargetPathChoice choice = ChooseTargetPath(ReadControlText(TargetPathEdit), picture);
    const std::string& target = choice.path;
    if (target.size() > MaxPathBytes) {
        ShowStatus(TargetTooLong);
        return;
    }
    lstrcpynA(FileNameBuffer, target.c_str(), sizeof FileNameBuffer);
    if (picture.size() > MaxPathBytes) {
        ShowStatus(PictureTooLong);
        return;
    }
    // The build refuses a target that is one of its inputs before anything
    // else, so there is nothing to ask about, and that says more than its name.
    std::string stub = LocateStub();
    const bool input = IsBuildInput(target, picture, stub);
    if (choice.refused && !input) {
        ShowStatus(TargetNotProgram);
        return;
    }
    if (!target.empty() && !input && !MayReplaceTarget(target))
        return;

    TargetBuildRequest request;
    request.targetPath = target;
    request.picturePath = picture;
    request.stubPath = stub;
    request.pictureCheck = PictureDecodes;
    request.settings.companyName = RecordText(CompanyNameEdit, AboutTextLimit);
    request.settings.webSite = RecordText(WebSiteEdit, AboutTextLimit);
    request.settings.tagLine = RecordText(TagLineEdit, AboutTextLimit);
    request.settings.shuffle = IsDlgButtonChecked(MainWindow, IdShuffle) == BST_CHECKED;
    request.settings.winAddress = RecordText(WinUrlEdit, WinAddressLimit);
    request.settings.gridSize = GridSize;

    std::string lastStatus;
    auto status = [&lastStatus](const char* text) {
        lastStatus = text;
        ShowStatus(text);
    };
    TargetBuildFailure failure;
    if (BuildTarget(request, status, &failure) == TargetBuildDone) {
        ConfirmedTargetPath = target;
        // The build's last status is its "Done.".
        ShowStatusWithPath(lastStatus.c_str(), FullPath(target));
    } else if (!failure.reason.empty()) {
        ShowStatusWithReason(lastStatus.c_str(), failure.reason);
    }
}
