// A picture arrives: chosen in the dialog, dropped, pasted or picked from the
// recent list. Each becomes the File field's picture and the preview's, and
// the most recent of the recent pictures.
#include <string>

#include "app.h"

void UsePicture(const std::string& path)
{
    SetWindowTextA(PictureFileEdit, path.c_str());
    LoadPreviewPicture(path.c_str());
    if (PreviewBitmap)
        NotePictureUsed(path);
}

bool TakePicture(const std::string& path)
{
    // A file that does not decode leaves the picture shown as it is.
    if (!TakePreviewPicture(path.c_str())) {
        ShowStatus(N_("Error - picture is not a supported image."));
        return false;
    }
    SetWindowTextA(PictureFileEdit, path.c_str());
    // The field's change must not load the same file again after a pause.
    KillTimer(MainWindow, IdPictureTypingTimer);
    NotePictureUsed(path);
    return true;
}
