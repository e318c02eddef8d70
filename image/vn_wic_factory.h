// The Windows Imaging Component's factory for one decode or encode: COM is
// started for the calling thread when it is not yet (and ended again with
// the factory), and the factory released when the object goes out of scope.
// A thread already in the other apartment model can still use it.
#pragma once

#include <objbase.h>
#include <wincodec.h>

class VnWicFactory {
public:
    VnWicFactory();
    ~VnWicFactory();
    VnWicFactory(const VnWicFactory&) = delete;
    VnWicFactory& operator=(const VnWicFactory&) = delete;

    IWICImagingFactory* factory;  // null when the component is not available
    const char* error;            // why, when factory is null

private:
    bool uninitialise;
};

// Releases a COM object and clears the pointer; safe on null.
template <class T>
void VnRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}
