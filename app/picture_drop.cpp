// Dropping a picture anywhere on the builder's window: an OLE drop target
// registered for the main window (its controls have none of their own, so
// drops on them come here too). It takes what Explorer drops (files) and
// what a web browser drops for an image dragged out of a page (a virtual
// file); for a web address alone it says that the picture must be saved first.
#include <ole2.h>

#include "app.h"
#include "picture_data.h"

IDropTarget* BuilderDropTarget;

namespace {

class PictureDropTarget : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    // One static object for the window's life: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        accepting_ = OffersPicture(data) || OffersAddressOnly(data);
        return Answer(effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        accepting_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override
    {
        accepting_ = false;
        if (effect)
            *effect = DROPEFFECT_NONE;
        if (!data)
            return E_INVALIDARG;
        switch (TakePictureFromData(data)) {
        case PictureTaken:
            if (effect)
                *effect = DROPEFFECT_COPY;
            break;
        case PictureRefused:
            break;
        case NoPictureData:
            if (OffersAddressOnly(data))
                ShowStatus(N_("Error - save the picture first, then drop the file."));
            break;
        }
        return S_OK;
    }

private:
    HRESULT Answer(DWORD* effect)
    {
        if (!effect)
            return E_INVALIDARG;
        // Copied: the source keeps its file.
        *effect = accepting_ && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

    bool accepting_ = false;
};

PictureDropTarget TheDropTarget;
bool OleStarted;

}  // namespace

void RegisterPictureDrop(HWND window)
{
    BuilderDropTarget = &TheDropTarget;
    if (!OleStarted)
        OleStarted = SUCCEEDED(OleInitialize(NULL));
    if (OleStarted)
        RegisterDragDrop(window, BuilderDropTarget);
}

void RevokePictureDrop(HWND window)
{
    if (!OleStarted)
        return;
    RevokeDragDrop(window);
    OleUninitialize();
    OleStarted = false;
}
