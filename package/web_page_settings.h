// The settings a web page puzzle carries: one JSON object in a data block of
// the page (<script type="application/json" id="vornix-settings">), written
// by the page writer and read back by the page reader.
//
// The text is made safe to stand inside an HTML element: every "<", ">" and
// "&" is written as a \u escape, so no text can close the element or open
// another, and every control character is escaped as well.
#pragma once

#include <cstdint>
#include <string>

// The version of the settings object this code writes and reads.
const int WebSettingsVersion = 1;

struct WebPageSettings {
    int version = WebSettingsVersion;
    int grid = 0;
    bool shuffle = false;
    std::string winUrl;   // an http: or https: address, or "" for none
    std::string company;  // "" when empty
    std::string site;
    std::string tagline;
    std::string pictureType;  // "image/jpeg", "image/png" or "image/gif"
    uint32_t pictureWidth = 0;  // the upright size (Exif orientation applied)
    uint32_t pictureHeight = 0;
    std::string bestKey;  // the Windows player's puzzle key (16 hex digits)
};

// The JSON text of the settings: ASCII punctuation, UTF-8 text. Bytes of the
// texts that are not well-formed UTF-8 become U+FFFD, one for each piece a
// browser would replace.
std::string ComposeWebSettings(const WebPageSettings& settings);

// Longest settings text the reader takes: every text at its longest, each
// byte escaped, fits many times over.
const size_t MaxWebSettingsLength = 65536;

// Reads the JSON text back. Null on success, else the one cause why the text
// is refused. Members it does not know are skipped; a member given twice
// counts with its last value, as in the browser; malformed UTF-8 in a text
// reads as U+FFFD, as the page shows it.
const char* ParseWebSettings(const std::string& text, WebPageSettings& settings);
