#include "web_page_writer.h"

#include <cstring>
#include <string_view>

#include "base64_text.h"
#include "puzzle_key.h"
#include "record_fields.h"
#include "web_picture.h"

namespace {

const char StatusConverting[] = "Converting Picture...";
const char StatusWritingPage[] = "Writing Web Page...";

const char ErrorWinAddress[] = "Error - the win address of a web page must start with http:// or https://.";
const char ErrorNoTemplate[] = "Error - this program holds no web page template.";
const char ErrorTemplateDamaged[] = "Error - the web page template is damaged.";
const char ErrorConvert[] = "Error - could not convert the picture for the web page.";

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const std::string& text, const char* lowerPrefix)
{
    const size_t length = std::strlen(lowerPrefix);
    if (text.size() < length)
        return false;
    for (size_t k = 0; k < length; ++k) {
        if (LowerAscii(text[k]) != lowerPrefix[k])
            return false;
    }
    return true;
}

bool EndsWithNoCase(const std::string& text, const char* lowerSuffix)
{
    const size_t length = std::strlen(lowerSuffix);
    return text.size() >= length && StartsWithNoCase(text.substr(text.size() - length), lowerSuffix);
}

// The address a page opens on a win: "" for none, else the normalised
// address with its scheme in lower case; false when it is not http(s).
bool PageWinAddress(const PackageSettings& settings, std::string* address)
{
    std::string normalised = NormaliseWinAddress(settings.winAddress);
    if (normalised == "NONE") {
        address->clear();
        return true;
    }
    const size_t scheme = StartsWithNoCase(normalised, "http://")    ? 4
                          : StartsWithNoCase(normalised, "https://") ? 5
                                                                     : 0;
    if (!scheme)
        return false;
    for (size_t k = 0; k < scheme; ++k)
        normalised[k] = LowerAscii(normalised[k]);
    *address = normalised;
    return true;
}

// Where a placeholder stands in the template: npos unless exactly once.
size_t FindOnce(const WebPageTemplate& page, const char* placeholder)
{
    const std::string_view text(page.text, page.length);
    const size_t at = text.find(placeholder);
    if (at == std::string_view::npos || text.find(placeholder, at + 1) != std::string_view::npos)
        return std::string::npos;
    return at;
}

}  // namespace

bool IsWebPageTarget(const std::string& targetPath)
{
    return EndsWithNoCase(targetPath, ".html") || EndsWithNoCase(targetPath, ".htm");
}

const char* RefuseWebPageSettings(const PackageSettings& settings)
{
    std::string address;
    return PageWinAddress(settings, &address) ? nullptr : ErrorWinAddress;
}

WebPageSettings WebSettingsFor(const PackageSettings& settings, uint8_t* picture, uint32_t length,
                               const char* pictureType, uint32_t width, uint32_t height)
{
    // The texts come back out of the record as the player reads them, so the
    // page shows what the program would.
    const std::string record = ComposePackageInfoRecord(settings);
    PackageRecord fields;
    SplitRecord(record, fields);
    WebPageSettings page;
    page.grid = settings.gridSize;
    page.shuffle = settings.shuffle;
    PageWinAddress(settings, &page.winUrl);
    page.company = RecordDisplayText(fields.companyName);
    page.site = RecordDisplayText(fields.webSite);
    page.tagline = RecordDisplayText(fields.tagLine);
    page.pictureType = pictureType;
    page.pictureWidth = width;
    page.pictureHeight = height;
    page.bestKey = PackagePuzzleKey(picture, length, record);
    return page;
}

WebComposeResult ComposeWebPage(const WebPageTemplate& page, const std::string& settingsJson,
                                const uint8_t* picture, size_t pictureSize, const WebPageSink& sink)
{
    const size_t settingsAt = FindOnce(page, WebSettingsPlaceholder);
    const size_t pictureAt = FindOnce(page, WebPicturePlaceholder);
    if (settingsAt == std::string::npos || pictureAt == std::string::npos)
        return WebTemplateDamaged;
    const size_t settingsEnd = settingsAt + sizeof WebSettingsPlaceholder - 1;
    const size_t pictureEnd = pictureAt + sizeof WebPicturePlaceholder - 1;
    if (settingsAt < pictureEnd && pictureAt < settingsEnd)
        return WebTemplateDamaged;  // the two overlap

    // The template's text up to each placeholder, then what replaces it, in
    // the order they stand.
    const bool settingsFirst = settingsAt < pictureAt;
    size_t from = 0;
    for (int part = 0; part < 2; ++part) {
        const bool settings = (part == 0) == settingsFirst;
        const size_t at = settings ? settingsAt : pictureAt;
        if (!sink(page.text + from, at - from))
            return WebSinkFailed;
        const bool filled = settings ? sink(settingsJson.data(), settingsJson.size())
                                     : Base64Encode(picture, pictureSize, sink);
        if (!filled)
            return WebSinkFailed;
        from = settings ? settingsEnd : pictureEnd;
    }
    return sink(page.text + from, page.length - from) ? WebPageComposed : WebSinkFailed;
}

WebPageResult WriteWebPage(const PackageSettings& settings, uint8_t* picture, uint32_t length,
                           FILE* target, const BuildStatusSink& status, WebPageOutcome* outcome)
{
    auto say = [&status](const char* text) {
        if (status)
            status(text);
    };
    WebPageTemplate page;
    if (!FindWebPageTemplate(&page)) {
        outcome->status = ErrorNoTemplate;
        return WebPageFailed;
    }
    if (WebPictureNeedsConversion(picture, length))
        say(StatusConverting);
    WebPicture shown;
    switch (PrepareWebPicture(picture, length, shown, &outcome->reason)) {
    case WebPictureReady:
        break;
    case WebPictureUnsupported:
        return WebPageNotPicture;
    case WebPictureNotConverted:
        outcome->status = ErrorConvert;
        outcome->aboutPicture = true;
        return WebPageFailed;
    }

    say(StatusWritingPage);
    const std::string json = ComposeWebSettings(
        WebSettingsFor(settings, picture, length, shown.type, shown.width, shown.height));
    const uint8_t* bytes = shown.png.empty() ? picture : shown.png.data();
    const size_t size = shown.png.empty() ? length : shown.png.size();
    const WebComposeResult result = ComposeWebPage(page, json, bytes, size, [target](const char* text, size_t n) {
        return n == 0 || std::fwrite(text, 1, n, target) == n;
    });
    if (result == WebTemplateDamaged) {
        outcome->status = ErrorTemplateDamaged;
        return WebPageFailed;
    }
    return result == WebPageComposed ? WebPageWritten : WebPageWriteFailed;
}
