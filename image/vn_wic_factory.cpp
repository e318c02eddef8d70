#include "vn_wic_factory.h"

VnWicFactory::VnWicFactory() : factory(nullptr), error(nullptr), uninitialise(false)
{
    const HRESULT init = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    uninitialise = SUCCEEDED(init);
    if ((FAILED(init) && init != RPC_E_CHANGED_MODE)
        || FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory)))) {
        factory = nullptr;
        error = "the Windows Imaging Component is not available";
    }
}

VnWicFactory::~VnWicFactory()
{
    VnRelease(factory);
    if (uninitialise)
        CoUninitialize();
}
