// The settings record's fields: splitting the deciphered record text
// "grid|company|site|tagline|YES-or-NO|address|END" into its six fields and
// reading them as the player shows them.
#pragma once

#include <cstdint>
#include <string>

// Shortest and longest record the builder can compose: the form holds a grid
// size of at most four digits (1808 characters in all); a grid size given as
// any int (up to 11 characters) is allowed for.
const uint32_t MinRecordLength = 19;
const uint32_t MaxRecordLength = 1815;

// Every record ends with this text.
const char RecordEnd[] = "|END";
const uint32_t RecordEndLength = 4;

// The six fields of the settings record, as the builder wrote them.
struct PackageRecord {
    std::string gridSize;     // decimal, may be negative
    std::string companyName;  // " " when the builder's field was empty
    std::string webSite;
    std::string tagLine;
    std::string shuffle;      // "YES" or "NO"
    std::string winAddress;   // "NONE", or an address holding a web scheme
};

// Splits a whole record text into its fields. A "|" typed into a text field
// is not escaped by the builder. The tag line runs to the shuffle flag; the
// company name and web site each end at the first separator that leaves them
// non-empty, so a record that an older builder wrote with a "|" in them is
// still read, the stray separator going to a neighbouring field.
bool SplitRecord(const std::string& text, PackageRecord& record);

// The grid size field as a number; 0 when it is not a plain decimal or is
// outside the range of an int.
int RecordGridSize(const PackageRecord& record);

// An About-box text: a field of one space (what the builder writes for an
// empty control) is shown as empty.
std::string RecordDisplayText(const std::string& field);

// Whether text is a decimal number as the grid size field holds it: digits,
// with an optional leading "-".
bool IsDecimalField(const std::string& text);
