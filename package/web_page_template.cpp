#include "web_page_template.h"

#ifdef _WIN32
#include <windows.h>

bool FindWebPageTemplate(WebPageTemplate* found)
{
    // The resource lies in the program's own file, whichever folder it was
    // started from; nothing is read from beside it.
    HMODULE module = GetModuleHandleW(NULL);
    HRSRC resource = FindResourceW(module, L"VORNIX_WEB_TEMPLATE", MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    found->text = static_cast<const char*>(data);
    found->length = SizeofResource(module, resource);
    return true;
}

#else

// Generated from the template file by the build (vn_web_template).
extern const unsigned char VornixWebTemplate[];
extern const size_t VornixWebTemplateLength;

bool FindWebPageTemplate(WebPageTemplate* found)
{
    found->text = reinterpret_cast<const char*>(VornixWebTemplate);
    found->length = VornixWebTemplateLength;
    return true;
}

#endif
