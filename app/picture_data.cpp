// Taking a picture out of what a drop or the clipboard offers (an OLE data
// object): a file (CF_HDROP, the first one when there are several) or a
// virtual file (CFSTR_FILEDESCRIPTORW with CFSTR_FILECONTENTS, what a web
// browser offers for an image dragged out of a page); and a pasted image
// without a file (PNG bytes, or a device-independent bitmap made PNG).
// Bytes without a file are written to the pictures folder first. Every size
// read from the data is bounded before use.
#include <shlobj.h>

#include <ctime>
#include <string>
#include <vector>

#include "app.h"
#include "control_text.h"
#include "picture_data.h"
#include "vn_image.h"
#include "vn_tr.h"
#include "vn_png_write.h"

namespace {

// The largest picture taken from data: what the image library takes.
const uint64_t MaxPictureBytes = VnImageMaxBlockSize;

// A registered format by its name (the CFSTR_ names of the shell, "PNG").
CLIPFORMAT Format(const char* name)
{
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name));
}

FORMATETC FormatEtc(CLIPFORMAT format, DWORD media, LONG index = -1)
{
    FORMATETC etc = {format, NULL, DVASPECT_CONTENT, index, media};
    return etc;
}

bool Offers(IDataObject* data, CLIPFORMAT format, DWORD media)
{
    FORMATETC etc = FormatEtc(format, media);
    return data->QueryGetData(&etc) == S_OK;
}

// The bytes of a medium: a global memory block, or a stream read to its end.
bool MediumBytes(STGMEDIUM& medium, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    if (medium.tymed == TYMED_HGLOBAL) {
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (size > MaxPictureBytes)
            return false;
        const void* block = GlobalLock(medium.hGlobal);
        if (!block)
            return size == 0;
        bytes->assign(static_cast<const uint8_t*>(block), static_cast<const uint8_t*>(block) + size);
        GlobalUnlock(medium.hGlobal);
        return true;
    }
    if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
        uint8_t chunk[64 * 1024];
        for (;;) {
            ULONG got = 0;
            HRESULT result = medium.pstm->Read(chunk, sizeof chunk, &got);
            if (FAILED(result))
                return false;
            if (bytes->size() + got > MaxPictureBytes)
                return false;
            bytes->insert(bytes->end(), chunk, chunk + got);
            if (got == 0 || result == S_FALSE)
                return true;
        }
    }
    return false;
}

bool GetBytes(IDataObject* data, CLIPFORMAT format, DWORD media, LONG index, std::vector<uint8_t>* bytes)
{
    FORMATETC etc = FormatEtc(format, media, index);
    STGMEDIUM medium = {};
    if (data->GetData(&etc, &medium) != S_OK)
        return false;
    const bool read = MediumBytes(medium, bytes);
    ReleaseStgMedium(&medium);
    return read;
}

// The first file of a CF_HDROP.
bool FirstDroppedFile(IDataObject* data, std::string* path)
{
    FORMATETC etc = FormatEtc(CF_HDROP, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    if (data->GetData(&etc, &medium) != S_OK)
        return false;
    bool found = false;
    HDROP drop = static_cast<HDROP>(GlobalLock(medium.hGlobal));
    if (drop) {
        UINT length = DragQueryFileW(drop, 0, NULL, 0);
        if (length > 0 && length < 32768) {
            std::vector<wchar_t> name(length + 1, L'\0');
            if (DragQueryFileW(drop, 0, name.data(), length + 1) == length) {
                *path = AcpFromWide(name.data());
                found = !path->empty();
            }
        }
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return found;
}

// The first virtual file's name, from the descriptor group.
bool VirtualFileName(IDataObject* data, std::wstring* name)
{
    std::vector<uint8_t> group;
    if (!GetBytes(data, Format(CFSTR_FILEDESCRIPTORW), TYMED_HGLOBAL, -1, &group) ||
        group.size() < sizeof(UINT) + sizeof(FILEDESCRIPTORW))
        return false;
    const FILEGROUPDESCRIPTORW* descriptors = reinterpret_cast<const FILEGROUPDESCRIPTORW*>(group.data());
    if (descriptors->cItems < 1)
        return false;
    const FILEDESCRIPTORW& first = descriptors->fgd[0];
    // The name need not be terminated within its array.
    const wchar_t* text = first.cFileName;
    size_t length = 0;
    while (length < MAX_PATH && text[length] != L'\0')
        ++length;
    *name = std::wstring(text, length);
    return true;
}

// The picture's bytes written to the pictures folder under the name, and
// taken. A picture that does not decode leaves no file behind.
PictureDataResult TakeBytes(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    std::string path;
    if (!SavePictureBytes(name, bytes.data(), bytes.size(), &path)) {
        ShowStatus(N_("Error - could not save the picture."));
        return PictureRefused;
    }
    if (TakePicture(path))
        return PictureTaken;
    DeleteFileA(path.c_str());
    return PictureRefused;
}

// "Pasted picture YYYY-MM-DD HHMMSS.png", in local time.
std::wstring PastedPictureName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[64];
    wsprintfW(name, L" %04u-%02u-%02u %02u%02u%02u.png", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond);
    return std::wstring(VnWide(Tr("Pasted picture")).data()) + name;
}

// A device-independent bitmap (CF_DIBV5 or CF_DIB: an info header, its
// masks and palette, the pixels) as PNG bytes.
bool DibAsPng(const std::vector<uint8_t>& dib, std::vector<uint8_t>* png)
{
    if (dib.empty() || dib.size() > 0xFFFFFFFFu)
        return false;
    VnImage image(dib.data(), static_cast<uint32_t>(dib.size()), ImageTypeBmp);
    const char* error = nullptr;
    return image.dibBlock && VnWritePng(image, png, &error);
}

}  // namespace

bool OffersPicture(IDataObject* data)
{
    return data &&
           (Offers(data, CF_HDROP, TYMED_HGLOBAL) || Offers(data, Format(CFSTR_FILEDESCRIPTORW), TYMED_HGLOBAL));
}

bool OffersAddressOnly(IDataObject* data)
{
    return data && !OffersPicture(data) &&
           (Offers(data, Format(CFSTR_INETURLW), TYMED_HGLOBAL) || Offers(data, Format(CFSTR_INETURLA), TYMED_HGLOBAL));
}

PictureDataResult TakePictureFromData(IDataObject* data)
{
    if (!data)
        return NoPictureData;
    std::string path;
    if (FirstDroppedFile(data, &path))
        return TakePicture(path) ? PictureTaken : PictureRefused;

    std::wstring name;
    if (VirtualFileName(data, &name)) {
        std::vector<uint8_t> bytes;
        if (GetBytes(data, Format(CFSTR_FILECONTENTS), TYMED_HGLOBAL | TYMED_ISTREAM, 0, &bytes) && !bytes.empty())
            return TakeBytes(SafeFileName(name, std::wstring(VnWide(Tr("Dropped picture")).data())), bytes);
    }
    return NoPictureData;
}

PictureDataResult TakePastedImage(const std::vector<uint8_t>& bytes, bool bitmap)
{
    if (!bitmap)
        return TakeBytes(PastedPictureName(), bytes);
    std::vector<uint8_t> png;
    if (!DibAsPng(bytes, &png)) {
        ShowStatus(N_("Error - picture is not a supported image."));
        return PictureRefused;
    }
    return TakeBytes(PastedPictureName(), png);
}
