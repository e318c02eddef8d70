#include "web_page_reader.h"

#include <cstring>

#include "base64_text.h"
#include "package_reader.h"
#include "whole_file.h"

namespace {

const char SettingsId[] = "vornix-settings";
const char PictureId[] = "vornix-picture";

// The page as a bounded run of bytes with the few HTML rules the search
// needs: comments, and the raw text of script and style elements, which
// cannot hold the start of another element.
class PageScan {
public:
    PageScan(const uint8_t* page, size_t size) : p(reinterpret_cast<const char*>(page)), n(size) {}

    // The first <script> element whose id attribute is id: where its text
    // starts and ends. *closed is false when the page ends inside it.
    bool FindScript(const char* id, size_t* begin, size_t* end, bool* closed) const
    {
        size_t at = 0;
        while ((at = Find("<", at)) < n) {
            if (StartsAt(at, "<!--")) {
                const size_t close = Find("-->", at + 4);
                at = close < n ? close + 3 : n;
                continue;
            }
            const bool script = OpensElement(at, "script");
            if (!script && !OpensElement(at, "style")) {
                ++at;
                continue;
            }
            std::string tagId;
            const size_t textAt = ReadTag(at + (script ? 7 : 6), &tagId);
            const size_t textEnd = FindNoCase(script ? "</script" : "</style", textAt);
            if (script && tagId == id) {
                *begin = textAt < n ? textAt : n;
                *end = textEnd;
                *closed = textEnd < n;
                return true;
            }
            at = textEnd;
        }
        return false;
    }

private:
    static constexpr size_t KeptLength = 64;

    static void Keep(std::string& text, char c)
    {
        if (text.size() < KeptLength)
            text += c;
    }

    static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

    bool StartsAt(size_t at, const char* text) const
    {
        const size_t length = std::strlen(text);
        return n - at >= length && std::memcmp(p + at, text, length) == 0;
    }

    bool StartsAtNoCase(size_t at, const char* lower) const
    {
        const size_t length = std::strlen(lower);
        if (n - at < length)
            return false;
        for (size_t k = 0; k < length; ++k) {
            if (Lower(p[at + k]) != lower[k])
                return false;
        }
        return true;
    }

    // "<name" followed by white space, "/" or ">".
    bool OpensElement(size_t at, const char* name) const
    {
        const size_t after = at + 1 + std::strlen(name);
        return StartsAt(at, "<") && StartsAtNoCase(at + 1, name) && after < n &&
               (IsSpace(p[after]) || p[after] == '/' || p[after] == '>');
    }

    size_t Find(const char* text, size_t from) const
    {
        const size_t length = std::strlen(text);
        for (size_t at = from; at < n && n - at >= length; ++at) {
            if (p[at] == text[0] && std::memcmp(p + at, text, length) == 0)
                return at;
        }
        return n;
    }

    size_t FindNoCase(const char* lower, size_t from) const
    {
        for (size_t at = from; at < n; ++at) {
            if (p[at] == '<' && StartsAtNoCase(at, lower))
                return at;
        }
        return n;
    }

    // Reads the attributes of a start tag from just after its name; keeps
    // the value of the first id attribute. Returns where the tag ends (past
    // its ">"), or n.
    size_t ReadTag(size_t at, std::string* id) const
    {
        bool haveId = false;
        while (at < n) {
            while (at < n && (IsSpace(p[at]) || p[at] == '/'))
                ++at;
            if (at >= n)
                break;
            if (p[at] == '>')
                return at + 1;
            // Names and values are kept up to KeptLength bytes: a longer
            // one matches no id this reader looks for.
            std::string name;
            bool first = true;
            while (at < n && !IsSpace(p[at]) && p[at] != '/' && p[at] != '>' && (p[at] != '=' || first)) {
                Keep(name, Lower(p[at++]));
                first = false;
            }
            while (at < n && IsSpace(p[at]))
                ++at;
            std::string value;
            if (at < n && p[at] == '=') {
                ++at;
                while (at < n && IsSpace(p[at]))
                    ++at;
                if (at < n && (p[at] == '"' || p[at] == '\'')) {
                    const char quote = p[at++];
                    const size_t close = Find(quote == '"' ? "\"" : "'", at);
                    value.assign(p + at, close - at < KeptLength ? close - at : KeptLength);
                    at = close < n ? close + 1 : n;
                } else {
                    while (at < n && !IsSpace(p[at]) && p[at] != '>')
                        Keep(value, p[at++]);
                }
            }
            if (name == "id" && !haveId) {
                *id = value;
                haveId = true;
            }
        }
        return n;
    }

    const char* p;
    size_t n;
};

WebPageStatus Fail(WebPageContents& contents, const char* failure)
{
    const uint64_t length = contents.pageLength;
    contents = WebPageContents();
    contents.pageLength = length;
    contents.failure = failure;
    return WebPageDamaged;
}

}  // namespace

WebPageStatus ReadWebPage(const uint8_t* page, size_t size, WebPageContents& contents)
{
    contents = WebPageContents();
    contents.pageLength = size;
    const PageScan scan(page, size);
    size_t begin = 0, end = 0;
    bool closed = false;
    if (!scan.FindScript(SettingsId, &begin, &end, &closed))
        return Fail(contents, "no puzzle settings in the page");
    if (!closed)
        return Fail(contents, "the settings block is not closed");
    if (end - begin > MaxWebSettingsLength)
        return Fail(contents, "settings too long");
    contents.settingsText.assign(reinterpret_cast<const char*>(page) + begin, end - begin);
    if (const char* failure = ParseWebSettings(contents.settingsText, contents.settings))
        return Fail(contents, failure);

    if (!scan.FindScript(PictureId, &begin, &end, &closed))
        return Fail(contents, "no picture in the page");
    if (!closed)
        return Fail(contents, "the picture block is not closed");
    if (const char* failure = Base64Decode(reinterpret_cast<const char*>(page) + begin, end - begin,
                                           contents.picture)) {
        return Fail(contents, failure);
    }
    if (contents.picture.empty())
        return Fail(contents, "the picture is empty");
    return WebPageOk;
}

WebPageStatus ReadWebPageFile(const char* path, WebPageContents& contents)
{
    contents = WebPageContents();
    std::vector<uint8_t> page;
    switch (ReadWholeFile(path, MaxPackageFileSize, page, &contents.failure)) {
    case WholeFileRead:
        break;
    case WholeFileUnreadable:
        return WebPageDamaged;
    case WholeFileTooLarge:
        return WebPageTooLarge;
    }
    return ReadWebPage(page.data(), page.size(), contents);
}
