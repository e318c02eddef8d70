// Conversion of an image into a device bitmap. The block already is a packed
// DIB (header, palette, rows), so it goes to GDI unchanged.
#include "vn_image.h"

#ifdef _WIN32
HBITMAP VnImage::ToDeviceBitmap(HDC hdc) const
{
    if (!hdc || !dibBlock)
        return NULL;
    return CreateDIBitmap(hdc, reinterpret_cast<const BITMAPINFOHEADER*>(dibBlock), CBM_INIT,
                          PixelBase(), reinterpret_cast<const BITMAPINFO*>(dibBlock),
                          DIB_RGB_COLORS);
}
#endif
