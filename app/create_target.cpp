// "GO !": reads the form and hands its values to the package build, which
// writes the target and reports its progress in the status line.
#include "app.h"

#include "package_build.h"

namespace {

// A control's text, read into a buffer of the given size (terminator
// included), so longer text is cut as the form has always cut it.
std::string ControlText(HWND control, int bufferSize)
{
    std::string text(static_cast<size_t>(bufferSize), '\0');
    int length = GetWindowTextA(control, &text[0], bufferSize);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

void ShowStatus(const char* text)
{
    SetWindowTextA(StatusText, text);
}

}  // namespace

void CreateTargetCommand()
{
    FileNameBuffer[0] = '\0';
    GetWindowTextA(TargetPathEdit, FileNameBuffer, sizeof FileNameBuffer);

    TargetBuildRequest request;
    request.targetPath = FileNameBuffer;
    request.picturePath = ControlText(PictureFileEdit, 255);
    request.stubPath = "vornix_distrib.exe";
    request.settings.companyName = ControlText(CompanyNameEdit, 255);
    request.settings.webSite = ControlText(WebSiteEdit, 255);
    request.settings.tagLine = ControlText(TagLineEdit, 255);
    request.settings.shuffle = IsDlgButtonChecked(MainWindow, IdShuffle) == BST_CHECKED;
    request.settings.winAddress = ControlText(WinUrlEdit, 1024);
    request.settings.gridSize = GridSize;

    BuildTarget(request, ShowStatus);
}
