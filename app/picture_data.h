// Pictures out of OLE data objects (a drop, the clipboard), and the folder
// where those without a file of their own are written.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

enum PictureDataResult {
    PictureTaken,    // the picture is the form's now
    PictureRefused,  // there was one, but it could not be taken; the status line says why
    NoPictureData,   // nothing in the data is a picture
};

// Whether the data offers a file or a virtual file, or with images also
// an image without a file.
bool OffersPicture(IDataObject* data, bool images);
// Whether the data offers a web address and nothing that is a picture's file.
bool OffersAddressOnly(IDataObject* data);
// Takes the first picture the data offers, in the order file, virtual file,
// and with images: PNG, CF_DIBV5, CF_DIB.
PictureDataResult TakePictureFromData(IDataObject* data, bool images);

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
