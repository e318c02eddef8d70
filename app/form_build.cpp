#include "form_build.h"

#include "app.h"
#include "control_text.h"
#include "vn_image.h"

namespace {

const char StubFileName[] = "vornix_distrib.exe";
const char PictureTooLong[] = N_("Error - picture path is too long.");

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
    if (IsExistingFile(StubFileName))
        return StubFileName;
    std::string beside = std::string(ProgramFolder) + "\\" + StubFileName;
    if (ProgramFolder[0] != '\0' && IsExistingFile(beside))
        return beside;
    // Neither: the build reports that the stub cannot be opened.
    return StubFileName;
}

bool FormBuildRequest(TargetBuildRequest* request)
{
    request->picturePath = ReadControlText(PictureFileEdit);
    if (request->picturePath.size() > MaxFormPathBytes) {
        ShowStatus(PictureTooLong);
        return false;
    }
    request->stubPath = LocateStub();
    request->pictureCheck = PictureDecodes;
    request->settings.companyName = RecordText(CompanyNameEdit, AboutTextLimit);
    request->settings.webSite = RecordText(WebSiteEdit, AboutTextLimit);
    request->settings.tagLine = RecordText(TagLineEdit, AboutTextLimit);
    request->settings.shuffle = IsDlgButtonChecked(MainWindow, IdShuffle) == BST_CHECKED;
    request->settings.winAddress = RecordText(WinUrlEdit, WinAddressLimit);
    request->settings.gridSize = GridSize;
    return true;
}

bool BuildWithStatus(const TargetBuildRequest& request, std::string* lastStatus)
{
    auto status = [lastStatus](const char* text) {
        *lastStatus = text;
        ShowStatus(text);
    };
    TargetBuildFailure failure;
    if (BuildTarget(request, status, &failure) == TargetBuildDone)
        return true;
    if (!failure.reason.empty())
        ShowStatusWithReason(lastStatus->c_str(), failure.reason);
    return false;
}
