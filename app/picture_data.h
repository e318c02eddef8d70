// Pictures out of OLE data objects (a drop, the clipboard), and the folder
// where those without a file of their own are written.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

enum PictureDataResult {
    PictureTaken,    // the picture is the form's now
    PictureRefused,  // there was one, but it could not be taken; the status line says why
    NoPictureData,   // nothing in the data is a picture
};

// Whether the data offers a file or a virtual file.
bool OffersPicture(IDataObject* data);
// Whether the data offers a web address and nothing that is a picture's file.
bool OffersAddressOnly(IDataObject* data);
// Takes the first picture file the data offers: a file, else a virtual file.
PictureDataResult TakePictureFromData(IDataObject* data);
// Takes a pasted image without a file: PNG bytes, or with bitmap a
// device-independent bitmap (an info header, masks, palette, pixels), saved
// as "Pasted picture YYYY-MM-DD HHMMSS.png" in the pictures folder.
PictureDataResult TakePastedImage(const std::vector<uint8_t>& bytes, bool bitmap);

// The offered name made safe as a file name in one folder: only its last
// part, characters that names cannot hold replaced, device names and empty
// names prefixed with fallback, and not longer than a folder of the form's
// length can take.
std::wstring SafeFileName(const std::wstring& offered, const std::wstring& fallback);
// %LOCALAPPDATA%\Vornix SDK\Pictures\ (with the final backslash), created
// when missing; empty when it cannot be.
std::wstring PicturesFolder();
// Writes the bytes to a new file of that name in the pictures folder, with
// " (2)", " (3)" ... before the extension when the name is taken. False when
// no file could be written, or its path would be longer than the form takes.
bool SavePictureBytes(const std::wstring& name, const void* data, size_t size, std::string* path);
