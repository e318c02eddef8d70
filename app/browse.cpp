// Picture and target selection with the standard file dialogs. Each dialog
// leaves the process's current folder as it found it, since "GO !" may find
// the player stub there.
#include <cstring>
#include <string>

#include "app.h"
#include "control_text.h"
#include "target_path.h"
#include "vn_tr.h"

namespace {

// The dialogs' filter (pairs of a name in the user's language and patterns,
// each ended by a zero, the list by a second one) and title, kept while the
// record points at them.
std::string DialogFilter;
std::string DialogTitle;

// Both records share everything but filter, title, flags and default
// extension. The 76-byte size is the record without the three fields that
// later platform versions appended.
void FillDialogRecord(const char* filter, const char* title, DWORD flags, const char* defaultExtension)
{
    ZeroMemory(&FileDialogRecord, sizeof FileDialogRecord);
    FileDialogRecord.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    FileDialogRecord.hwndOwner = MainWindow;
    FileDialogRecord.hInstance = AppInstance;
    FileDialogRecord.lpstrFilter = filter;
    FileDialogRecord.nFilterIndex = 1;
    FileDialogRecord.lpstrFile = FileNameBuffer;
    FileDialogRecord.nMaxFile = sizeof FileNameBuffer;
    FileDialogRecord.lpstrTitle = title;
    FileDialogRecord.Flags = flags;
    FileDialogRecord.lpstrDefExt = defaultExtension;
}

// Shows a file dialog and puts the current folder back afterwards:
// OFN_NOCHANGEDIR does not hold for the open dialog on every system.
bool ShowFileDialog(FileDialogFunction dialog)
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    bool saved = length > 0 && length < sizeof folder;
    BOOL chosen = dialog ? dialog(&FileDialogRecord) : FALSE;
    if (saved)
        SetCurrentDirectoryA(folder);
    return chosen != FALSE;
}

// The target dialog's filters, in order.
const DWORD ProgramFilter = 1;
const DWORD WebPageFilter = 2;

// The proposal for an empty Target field: the picture's name with ".exe",
// in the picture's folder (returned in *folder). Empty without a picture.
std::string ProposedTargetName(const std::string& picture, std::string* folder)
{
    std::string::size_type slash = picture.find_last_of("\\/");
    std::string name = slash == std::string::npos ? picture : picture.substr(slash + 1);
    *folder = slash == std::string::npos ? std::string() : picture.substr(0, slash);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    if (name.empty())
        return std::string();
    return name + ".exe";
}

}  // namespace

void FillOpenDialogRecord()
{
    DialogFilter = Tr("Pictures (*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff)") + '\0' +
                   "*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff" + '\0' + Tr("Bitmap Files") + '\0' +
                   "*.BMP" + '\0';
    DialogTitle = Tr("Open Picture File");
    FillDialogRecord(DialogFilter.c_str(), DialogTitle.c_str(),
                     OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR, "BMP");
}

void FillSaveDialogRecord()
{
    // The filter chosen decides the extension the dialog gives a bare name.
    DialogFilter = Tr("Puzzle program (*.exe)") + '\0' + "*.exe" + '\0' + Tr("Web page (*.html)") + '\0' +
                   "*.html" + '\0';
    DialogTitle = Tr("Create Target Application");
    FillDialogRecord(DialogFilter.c_str(), DialogTitle.c_str(),
                     OFN_LONGNAMES | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT, "exe");
}

void PictureBrowseCommand()
{
    ZeroMemory(FileNameBuffer, sizeof FileNameBuffer);
    FillOpenDialogRecord();
    // The dialog opens where the last picture came from.
    const std::string folder = LastPictureFolder;
    if (!folder.empty())
        FileDialogRecord.lpstrInitialDir = folder.c_str();
    if (!ShowFileDialog(OpenFileDialog))
        return;
    UsePicture(FileNameBuffer);
}

void TargetBrowseCommand()
{
    ZeroMemory(FileNameBuffer, sizeof FileNameBuffer);
    FillSaveDialogRecord();
    // A web page in the Target field: the dialog starts with its filter.
    const std::string typed = ReadControlText(TargetPathEdit);
    FileDialogRecord.nFilterIndex = IsWebPageName(typed) ? WebPageFilter : ProgramFilter;
    // The dialog opens where the last target went, else beside the picture.
    std::string folder = LastTargetFolder;
    if (typed.empty()) {
        std::string pictureFolder;
        std::string proposal = ProposedTargetName(ReadControlText(PictureFileEdit), &pictureFolder);
        if (proposal.size() < sizeof FileNameBuffer)
            lstrcpynA(FileNameBuffer, proposal.c_str(), sizeof FileNameBuffer);
        if (folder.empty())
            folder = pictureFolder;
    }
    if (!folder.empty())
        FileDialogRecord.lpstrInitialDir = folder.c_str();
    if (!ShowFileDialog(SaveFileDialog))
        return;
    // Where the dialog left a bare name as it was, its filter still decides.
    const std::string chosen =
        WithFilterExtension(FileNameBuffer, FileDialogRecord.nFilterIndex == WebPageFilter);
    SetWindowTextA(TargetPathEdit, chosen.c_str());
    // The dialog asked before an existing file is replaced.
    ConfirmedTargetPath = chosen;
    LastTargetFolder = FolderOf(chosen);
}
