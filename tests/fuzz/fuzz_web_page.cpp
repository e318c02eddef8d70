// Fuzz target for the web page reader: the input is taken as a whole page,
// as a settings text and as base64 text. Nothing may read outside the input;
// and what the readers accept must survive the writers and come back the
// same: settings written again read back to the same settings, decoded bytes
// encoded again decode to the same bytes, and any text the writer puts in a
// settings block holds no character that could end the block and reads back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base64_text.h"
#include "web_page_reader.h"
#include "web_page_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WebPageContents contents;
    ReadWebPage(data, size, contents);

    const std::string text(reinterpret_cast<const char*>(data), size);
    WebPageSettings settings;
    if (!ParseWebSettings(text, settings)) {
        const std::string again = ComposeWebSettings(settings);
        WebPageSettings back;
        if (again.size() <= MaxWebSettingsLength &&
            (ParseWebSettings(again, back) || ComposeWebSettings(back) != again))
            __builtin_trap();
    }

    std::vector<uint8_t> bytes;
    if (!Base64Decode(text.data(), text.size(), bytes)) {
        std::string encoded;
        Base64Encode(bytes.data(), bytes.size(), [&encoded](const char* t, size_t n) {
            encoded.append(t, n);
            return true;
        });
        std::vector<uint8_t> back;
        if (Base64Decode(encoded.data(), encoded.size(), back) || back != bytes)
            __builtin_trap();
    }

    // The input as every text of a page.
    WebPageSettings hostile;
    hostile.company = hostile.site = hostile.tagline = hostile.winUrl = hostile.bestKey = text;
    hostile.pictureType = "image/png";
    const std::string json = ComposeWebSettings(hostile);
    for (char c : json) {
        if (c == '<' || c == '>' || c == '&' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            __builtin_trap();
    }
    // Read back, the texts are well-formed UTF-8 (malformed bytes became
    // U+FFFD), so writing them once more gives the same text again.
    WebPageSettings read, again;
    if (json.size() <= MaxWebSettingsLength) {
        if (ParseWebSettings(json, read))
            __builtin_trap();
        const std::string second = ComposeWebSettings(read);
        if (second.size() <= MaxWebSettingsLength &&
            (ParseWebSettings(second, again) || ComposeWebSettings(again) != second))
            __builtin_trap();
    }
    return 0;
}
