// File > "Paste Picture" (Ctrl+V): the picture on the clipboard becomes the
// form's: a copied file, else an image (the "PNG" format browsers put there,
// else CF_DIBV5 or CF_DIB). Ctrl+V in a text field still pastes text when the
// clipboard holds some.
#include <ole2.h>

#include "app.h"
#include "picture_data.h"
#include "vn_image.h"

#include <vector>

namespace {

// The largest image taken from the clipboard: what the image library takes.
const SIZE_T MaxPastedBytes = static_cast<SIZE_T>(VnImageMaxBlockSize);

bool IsFormTextField(HWND control)
{
    char className[16] = {0};
    return control && GetParent(control) == MainWindow && GetClassNameA(control, className, sizeof className) &&
           lstrcmpiA(className, "Edit") == 0;
}

// The bytes of the first of the clipboard's image formats: "PNG", else a
// bitmap (*bitmap set). Read from the clipboard itself: the system's OLE
// view of it does not hand out bitmaps everywhere.
bool ClipboardImage(std::vector<uint8_t>* bytes, bool* bitmap)
{
    const UINT formats[] = {RegisterClipboardFormatA("PNG"), CF_DIBV5, CF_DIB};
    if (!OpenClipboard(MainWindow))
        return false;
    bool found = false;
    for (UINT format : formats) {
        HANDLE block = format ? GetClipboardData(format) : NULL;
        const SIZE_T size = block ? GlobalSize(block) : 0;
        if (size == 0 || size > MaxPastedBytes)
            continue;
        const void* data = GlobalLock(block);
        if (!data)
            continue;
        bytes->assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
        GlobalUnlock(block);
        *bitmap = format != formats[0];
        found = true;
        break;
    }
    CloseClipboard();
    return found;
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
        result = TakePictureFromData(data);
        data->Release();
    }
    std::vector<uint8_t> bytes;
    bool bitmap = false;
    if (result == NoPictureData && ClipboardImage(&bytes, &bitmap))
        result = TakePastedImage(bytes, bitmap);
    if (result == NoPictureData)
        ShowStatus(N_("Error - the clipboard holds no picture."));
}
