// A data object as a drop source or the clipboard hands one over: formats
// with their bytes, each given in global memory or as a stream, so that a
// test can hand the builder's drop target what Explorer or a web browser
// would drop.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace vntest {

class PictureDataObject : public IDataObject {
public:
    // A format's bytes, offered in the given medium (TYMED_HGLOBAL or
    // TYMED_ISTREAM) for the given index (-1: every index).
    PictureDataObject& Add(CLIPFORMAT format, const std::vector<uint8_t>& bytes, DWORD medium = TYMED_HGLOBAL,
                           LONG index = -1)
    {
        entries_.push_back({format, index, medium, bytes});
        return *this;
    }
    PictureDataObject& Add(const char* formatName, const std::vector<uint8_t>& bytes, DWORD medium = TYMED_HGLOBAL,
                           LONG index = -1)
    {
        return Add(static_cast<CLIPFORMAT>(RegisterClipboardFormatA(formatName)), bytes, medium, index);
    }

    // What Explorer drops: CF_HDROP with the paths, wide.
    PictureDataObject& AddFiles(const std::vector<std::wstring>& paths) { return Add(CF_HDROP, DropFiles(paths)); }

    // What a web browser drops for an image dragged out of a page: one
    // virtual file, its name in CFSTR_FILEDESCRIPTORW and its bytes in
    // CFSTR_FILECONTENTS (index 0) as a stream.
    PictureDataObject& AddVirtualFile(const std::wstring& name, const std::vector<uint8_t>& bytes)
    {
        std::vector<uint8_t> group(sizeof(FILEGROUPDESCRIPTORW), 0);
        FILEGROUPDESCRIPTORW* descriptors = reinterpret_cast<FILEGROUPDESCRIPTORW*>(group.data());
        descriptors->cItems = 1;
        descriptors->fgd[0].dwFlags = FD_FILESIZE;
        descriptors->fgd[0].nFileSizeLow = static_cast<DWORD>(bytes.size());
        lstrcpynW(descriptors->fgd[0].cFileName, name.c_str(), MAX_PATH);
        return Add(CFSTR_FILEDESCRIPTORW, group).Add(CFSTR_FILECONTENTS, bytes, TYMED_ISTREAM, 0);
    }

    // What a browser drops for a link: the address alone.
    PictureDataObject& AddAddress(const std::wstring& address)
    {
        const uint8_t* text = reinterpret_cast<const uint8_t*>(address.c_str());
        return Add(CFSTR_INETURLW, std::vector<uint8_t>(text, text + (address.size() + 1) * sizeof(wchar_t)));
    }

    static std::vector<uint8_t> DropFiles(const std::vector<std::wstring>& paths)
    {
        std::vector<uint8_t> bytes(sizeof(DROPFILES), 0);
        DROPFILES* header = reinterpret_cast<DROPFILES*>(bytes.data());
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        for (const std::wstring& path : paths) {
            const uint8_t* text = reinterpret_cast<const uint8_t*>(path.c_str());
            bytes.insert(bytes.end(), text, text + (path.size() + 1) * sizeof(wchar_t));
        }
        bytes.insert(bytes.end(), {0, 0});
        return bytes;
    }

    // Global memory holding the bytes (the caller owns it).
    static HGLOBAL GlobalBytes(const std::vector<uint8_t>& bytes)
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
        if (block && !bytes.empty()) {
            memcpy(GlobalLock(block), bytes.data(), bytes.size());
            GlobalUnlock(block);
        }
        return block;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        const bool known = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject);
        *object = known ? static_cast<IDataObject*>(this) : NULL;
        if (known)
            AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    // Lives on the test's stack: counted only to check nothing is kept.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override
    {
        const Entry* entry = Find(wanted);
        if (!entry)
            return DV_E_FORMATETC;
        ZeroMemory(medium, sizeof *medium);
        medium->tymed = entry->medium;
        if (entry->medium != TYMED_ISTREAM) {
            medium->hGlobal = GlobalBytes(entry->bytes);
            return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
        }
        // A stream of exactly the bytes, read from the start.
        if (CreateStreamOnHGlobal(GlobalBytes(entry->bytes), TRUE, &medium->pstm) != S_OK)
            return E_OUTOFMEMORY;
        ULARGE_INTEGER size;
        size.QuadPart = entry->bytes.size();
        medium->pstm->SetSize(size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override { return Find(wanted) ? S_OK : DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    long references = 1;

private:
    struct Entry {
        CLIPFORMAT format;
        LONG index;
        DWORD medium;
        std::vector<uint8_t> bytes;
    };

    const Entry* Find(const FORMATETC* wanted) const
    {
        for (const Entry& entry : entries_)
            if (wanted && entry.format == wanted->cfFormat && (entry.medium & wanted->tymed) &&
                (entry.index == -1 || entry.index == wanted->lindex))
                return &entry;
        return nullptr;
    }

    std::vector<Entry> entries_;
};

}  // namespace vntest
