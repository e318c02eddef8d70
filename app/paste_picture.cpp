// File > "Paste Picture" (Ctrl+V): the picture on the clipboard, a copied
// file or an image, becomes the form's. Ctrl+V in a text field still pastes
// text when the clipboard holds some.
#include <ole2.h>

#include "app.h"
#include "picture_data.h"

namespace {

bool IsFormTextField(HWND control)
{
    char className[16] = {0};
    return control && GetParent(control) == MainWindow && GetClassNameA(control, className, sizeof className) &&
           lstrcmpiA(className, "Edit") == 0;
}

}  // namespace

void PastePictureCommand(bool byKey)
{
    HWND focus = GetFocus();
    if (byKey && IsFormTextField(focus) &&
        (IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT))) {
        SendMessageA(focus, WM_PASTE, 0, 0);
        return;
    }
    IDataObject* data = NULL;
    PictureDataResult result = NoPictureData;
    if (OleGetClipboard(&data) == S_OK && data) {
        result = TakePictureFromData(data, true);
        data->Release();
    }
    if (result == NoPictureData)
        ShowStatus("Error - the clipboard holds no picture.");
}
