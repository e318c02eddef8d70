#include "record_fields.h"

#include "package_record.h"

namespace {

// A win address as the builder normalises it: "NONE", or text holding a web
// scheme somewhere (the builder keeps such text as typed and puts "HTTP://"
// in front of anything else).
bool IsNormalisedAddress(const std::string& address)
{
    return address == "NONE" || HoldsWebScheme(address);
}

// Splits "company|site|tag line" into its three texts, none of them empty:
// the company name and the web site each end at the first separator that
// leaves them non-empty, the tag line takes the rest. A record from a
// builder that let "|" into the first two texts so still splits into three
// texts that hold every character, the stray separator joining a
// neighbouring text.
bool SplitAboutTexts(const std::string& texts, std::string& company, std::string& site,
                     std::string& tag)
{
    const size_t companyEnd = texts.find('|', 1);
    if (companyEnd == std::string::npos)
        return false;
    const size_t siteEnd = texts.find('|', companyEnd + 2);
    if (siteEnd == std::string::npos || siteEnd + 1 >= texts.size())
        return false;
    company = texts.substr(0, companyEnd);
    site = texts.substr(companyEnd + 1, siteEnd - companyEnd - 1);
    tag = texts.substr(siteEnd + 1);
    return true;
}

}  // namespace

bool IsDecimalField(const std::string& text)
{
    size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == start)
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

bool SplitRecord(const std::string& text, PackageRecord& record)
{
    if (text.size() < MinRecordLength ||
        text.compare(text.size() - RecordEndLength, RecordEndLength, RecordEnd) != 0)
        return false;
    const std::string body = text.substr(0, text.size() - RecordEndLength);
    if (body.find('\0') != std::string::npos)
        return false;
    const size_t first = body.find('|');
    if (first == std::string::npos)
        return false;
    // The shuffle flag: the last "|YES|" or "|NO|" that leaves a normalised
    // win address after it (an address may itself hold such a marker) and
    // room for the three texts before it; failing that, the last marker that
    // leaves room for the texts.
    size_t flagAt = std::string::npos;
    size_t flagLength = 0;
    bool flagValid = false;
    std::string company, site, tag;
    for (size_t at = first + 1; at < body.size(); ++at) {
        if (body[at] != '|')
            continue;
        size_t length = 0;
        if (body.compare(at, 5, "|YES|") == 0)
            length = 5;
        else if (body.compare(at, 4, "|NO|") == 0)
            length = 4;
        if (length == 0 || at + length >= body.size())
            continue;
        if (!SplitAboutTexts(body.substr(first + 1, at - first - 1), company, site, tag))
            continue;
        bool valid = IsNormalisedAddress(body.substr(at + length));
        if (valid || !flagValid) {
            flagAt = at;
            flagLength = length;
            flagValid = valid;
        }
    }
    if (flagAt == std::string::npos)
        return false;
    PackageRecord parsed;
    parsed.gridSize = body.substr(0, first);
    SplitAboutTexts(body.substr(first + 1, flagAt - first - 1), parsed.companyName,
                    parsed.webSite, parsed.tagLine);
    parsed.shuffle = flagLength == 5 ? "YES" : "NO";
    parsed.winAddress = body.substr(flagAt + flagLength);
    if (!IsDecimalField(parsed.gridSize))
        return false;
    record = parsed;
    return true;
}

int RecordGridSize(const PackageRecord& record)
{
    if (!IsDecimalField(record.gridSize))
        return 0;
    bool negative = record.gridSize[0] == '-';
    long long value = 0;
    for (size_t i = negative ? 1 : 0; i < record.gridSize.size(); ++i) {
        value = value * 10 + (record.gridSize[i] - '0');
        if (value > 0x80000000LL)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFFLL || value < -0x80000000LL)
        return 0;
    return static_cast<int>(value);
}

std::string RecordDisplayText(const std::string& field)
{
    return field == " " ? std::string() : field;
}
