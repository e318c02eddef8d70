// Reading a web page's settings back from their JSON text. The text comes
// from a file anyone may have edited: it is bounded in length, nesting is
// bounded in depth, and every member is checked for its type.
#include "web_page_settings.h"

#include <cstring>

#include "utf8_text.h"

namespace {

// Objects and arrays inside the settings (which hold none) are skipped down
// to this depth.
const int MaxDepth = 16;

const char NotJson[] = "settings are not valid JSON";
const char TooDeep[] = "settings nest too deeply";

enum ValueKind { KindNone, KindString, KindNumber, KindBool, KindNull, KindNested };

struct Value {
    ValueKind kind = KindNone;
    std::string text;  // a string's value, or a number's text
    bool flag = false;
};

struct Parser {
    const std::string& s;
    size_t at = 0;
    const char* failure = nullptr;

    explicit Parser(const std::string& text) : s(text) {}

    bool Fail(const char* text)
    {
        if (!failure)
            failure = text;
        return false;
    }

    void SkipSpace()
    {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r'))
            ++at;
    }

    bool Take(char c)
    {
        SkipSpace();
        if (at < s.size() && s[at] == c) {
            ++at;
            return true;
        }
        return false;
    }

    bool TakeWord(const char* word)
    {
        const size_t length = std::strlen(word);
        if (s.compare(at, length, word) != 0)
            return Fail(NotJson);
        at += length;
        return true;
    }

    int HexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // Four hex digits after "\u".
    bool ReadUnit(uint32_t* unit)
    {
        if (s.size() - at < 4)
            return Fail(NotJson);
        uint32_t value = 0;
        for (int k = 0; k < 4; ++k) {
            const int digit = HexValue(s[at + k]);
            if (digit < 0)
                return Fail(NotJson);
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        at += 4;
        *unit = value;
        return true;
    }

    static void AppendUtf8(std::string& out, uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // A \u escape, with the low half of a surrogate pair when one follows;
    // a surrogate without its partner stands for U+FFFD, as the page shows it.
    bool ReadEscapedUnit(std::string& out)
    {
        uint32_t unit = 0;
        if (!ReadUnit(&unit))
            return false;
        if (unit >= 0xD800 && unit <= 0xDBFF && s.compare(at, 2, "\\u") == 0) {
            const size_t back = at;
            at += 2;
            uint32_t low = 0;
            if (!ReadUnit(&low))
                return false;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                return true;
            }
            at = back;  // the next escape stands on its own
        }
        AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
        return true;
    }

    // After the opening quote.
    bool ReadString(std::string& out)
    {
        out.clear();
        while (at < s.size()) {
            const unsigned char c = static_cast<unsigned char>(s[at++]);
            if (c == '"')
                return true;
            if (c < 0x20)
                return Fail(NotJson);
            if (c >= 0x80) {
                // Malformed UTF-8 reads as U+FFFD, as the page shows it.
                uint32_t codePoint = 0;
                const size_t length = Utf8DecodeAt(s.data(), s.size(), at - 1, &codePoint);
                if (codePoint == 0xFFFD)
                    AppendUtf8(out, codePoint);
                else
                    out.append(s, at - 1, length);
                at += length - 1;
                continue;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at >= s.size())
                break;
            const char e = s[at++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
                if (!ReadEscapedUnit(out))
                    return false;
                break;
            default:
                return Fail(NotJson);
            }
        }
        return Fail(NotJson);
    }

    bool Digits()
    {
        const size_t start = at;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9')
            ++at;
        return at > start;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, kept as text.
    bool ReadNumber(std::string& out)
    {
        const size_t start = at;
        if (at < s.size() && s[at] == '-')
            ++at;
        if (at < s.size() && s[at] == '0')
            ++at;
        else if (!Digits())
            return Fail(NotJson);
        if (at < s.size() && s[at] == '.') {
            ++at;
            if (!Digits())
                return Fail(NotJson);
        }
        if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
            ++at;
            if (at < s.size() && (s[at] == '+' || s[at] == '-'))
                ++at;
            if (!Digits())
                return Fail(NotJson);
        }
        out.assign(s, start, at - start);
        return true;
    }

    bool ReadValue(Value& value, int depth)
    {
        SkipSpace();
        if (at >= s.size())
            return Fail(NotJson);
        const char c = s[at];
        if (c == '"') {
            ++at;
            value.kind = KindString;
            return ReadString(value.text);
        }
        if (c == '{' || c == '[') {
            value.kind = KindNested;
            return SkipNested(depth + 1);
        }
        if (c == 't' || c == 'f') {
            value.kind = KindBool;
            value.flag = c == 't';
            return TakeWord(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            value.kind = KindNull;
            return TakeWord("null");
        }
        value.kind = KindNumber;
        return ReadNumber(value.text);
    }

    // An object or array, read and dropped.
    bool SkipNested(int depth)
    {
        if (depth > MaxDepth)
            return Fail(TooDeep);
        const char close = s[at] == '{' ? '}' : ']';
        ++at;
        if (Take(close))
            return true;
        std::string key;
        Value item;
        do {
            if (close == '}') {
                if (!Take('"') || !ReadString(key) || !Take(':'))
                    return Fail(NotJson);
            }
            if (!ReadValue(item, depth))
                return false;
        } while (Take(','));
        return Take(close) || Fail(NotJson);
    }
};

enum MemberKind { WholeNumber, Text, Flag };

struct Member {
    const char* name;
    MemberKind kind;
    const char* missing;
    const char* wrongType;
};

#define VN_MEMBER(name, kind, what) \
    { name, kind, "settings lack " name, "settings: " name " is not " what }

const Member Members[] = {
    VN_MEMBER("version", WholeNumber, "a whole number"),
    VN_MEMBER("grid", WholeNumber, "a whole number"),
    VN_MEMBER("shuffle", Flag, "true or false"),
    VN_MEMBER("winUrl", Text, "a text"),
    VN_MEMBER("company", Text, "a text"),
    VN_MEMBER("site", Text, "a text"),
    VN_MEMBER("tagline", Text, "a text"),
    VN_MEMBER("pictureType", Text, "a text"),
    VN_MEMBER("pictureWidth", WholeNumber, "a whole number"),
    VN_MEMBER("pictureHeight", WholeNumber, "a whole number"),
    VN_MEMBER("bestKey", Text, "a text"),
};

#undef VN_MEMBER

const size_t MemberCount = sizeof Members / sizeof Members[0];

// A number written as a plain integer within [low, high].
bool WholeNumberIn(const std::string& text, long long low, long long high, long long* value)
{
    size_t k = text[0] == '-' ? 1 : 0;
    if (text.size() - k > 10 || text.find_first_not_of("0123456789", k) != std::string::npos)
        return false;
    const long long n = std::stoll(text);
    if (n < low || n > high)
        return false;
    *value = n;
    return true;
}

// Stores a member's value; false when it is of the wrong type.
bool Store(const Member& member, const Value& value, WebPageSettings& settings)
{
    const std::string name = member.name;
    if (member.kind == Flag) {
        if (value.kind != KindBool)
            return false;
        settings.shuffle = value.flag;
        return true;
    }
    if (member.kind == Text) {
        if (value.kind != KindString)
            return false;
        std::string* target = name == "winUrl"        ? &settings.winUrl
                              : name == "company"     ? &settings.company
                              : name == "site"        ? &settings.site
                              : name == "tagline"     ? &settings.tagline
                              : name == "pictureType" ? &settings.pictureType
                                                      : &settings.bestKey;
        *target = value.text;
        return true;
    }
    long long n = 0;
    if (value.kind != KindNumber)
        return false;
    if (name == "pictureWidth" || name == "pictureHeight") {
        if (!WholeNumberIn(value.text, 0, 0xFFFFFFFFll, &n))
            return false;
        (name == "pictureWidth" ? settings.pictureWidth : settings.pictureHeight) =
            static_cast<uint32_t>(n);
        return true;
    }
    if (!WholeNumberIn(value.text, -2147483647ll - 1, 2147483647ll, &n))
        return false;
    (name == "version" ? settings.version : settings.grid) = static_cast<int>(n);
    return true;
}

}  // namespace

const char* ParseWebSettings(const std::string& text, WebPageSettings& settings)
{
    settings = WebPageSettings();
    if (text.size() > MaxWebSettingsLength)
        return "settings too long";
    Parser p(text);
    if (!p.Take('{'))
        return "settings are not a JSON object";
    // Per member: given at all, and whether its last value was of the right type.
    bool seen[MemberCount] = {};
    bool wrong[MemberCount] = {};
    if (!p.Take('}')) {
        std::string key;
        Value value;
        do {
            if (!p.Take('"') || !p.ReadString(key) || !p.Take(':'))
                return p.failure ? p.failure : NotJson;
            value = Value();
            if (!p.ReadValue(value, 1))
                return p.failure;
            for (size_t k = 0; k < MemberCount; ++k) {
                if (key == Members[k].name) {
                    seen[k] = true;
                    wrong[k] = !Store(Members[k], value, settings);
                }
            }
        } while (p.Take(','));
        if (!p.Take('}'))
            return NotJson;
    }
    p.SkipSpace();
    if (p.at != text.size())
        return NotJson;
    for (size_t k = 0; k < MemberCount; ++k) {
        if (!seen[k])
            return Members[k].missing;
        if (wrong[k])
            return Members[k].wrongType;
    }
    if (settings.version != WebSettingsVersion)
        return "settings are of an unknown version";
    if (settings.pictureType != "image/jpeg" && settings.pictureType != "image/png" &&
        settings.pictureType != "image/gif")
        return "settings name an unknown picture type";
    return nullptr;
}
