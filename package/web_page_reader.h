// Reading a web page puzzle back: its settings and its picture, from the two
// data blocks that the writer filled (found by their ids,
// "vornix-settings" and "vornix-picture"). For vornixpack inspect and
// extract.
//
// The page is hostile input: the search is bounded by the page, the settings
// by MaxWebSettingsLength, the picture by the page's own length, and each
// way a page can be wrong has its own failure text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web_page_settings.h"

enum WebPageStatus {
    WebPageOk,
    WebPageDamaged,   // see WebPageContents::failure
    WebPageTooLarge,  // the file is larger than this process can hold ("file too large")
};

struct WebPageContents {
    uint64_t pageLength = 0;
    WebPageSettings settings;
    std::string settingsText;      // the settings block as it stands in the page
    std::vector<uint8_t> picture;  // the picture file, decoded from base64
    const char* failure = nullptr;
};

// Reads the settings and the picture of a whole page held in memory.
WebPageStatus ReadWebPage(const uint8_t* page, size_t size, WebPageContents& contents);

// Reads a page from disk ("cannot open file", "cannot read file", "file too
// large" as for a puzzle program) and then as above.
WebPageStatus ReadWebPageFile(const char* path, WebPageContents& contents);
