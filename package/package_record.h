// The settings record appended to a target, and the form values it is made
// from.
#pragma once

#include <cstddef>
#include <string>

// Longest texts the builder takes from the form (the edit controls are read
// into buffers of 255 and 1024 bytes).
const size_t AboutTextLimit = 254;
const size_t WinAddressLimit = 1023;

// Longest win address the record holds: the typed text's limit and the
// "HTTP://" put in front of it.
const size_t WinAddressFieldLimit = WinAddressLimit + 7;

// The form's values, as plain data. Defaults are the form's initial state.
struct PackageSettings {
    int gridSize = 4;
    std::string companyName;
    std::string webSite;
    std::string tagLine;
    bool shuffle = false;
    std::string winAddress = "http://";
};

// Whether text holds "http://" or "https://", in any letter case, anywhere.
bool HoldsWebScheme(const std::string& text);

// The address the player opens on a win. Text holding "http://" or
// "https://" (any letter case, anywhere) is kept as typed; other text gets
// "HTTP://" in front; an empty text or a bare scheme becomes "NONE". The text
// is first cut to WinAddressLimit bytes, never inside a UTF-8 character.
// Every "|" is written as "%7C", which a browser reads as the same address,
// so the address can never be taken for the record's separators; when that
// makes it longer than WinAddressFieldLimit, it is cut there, never inside
// "%7C" or a UTF-8 character.
std::string NormaliseWinAddress(const std::string& typed);

// Whether the company name or the web site, as the record would hold them,
// contains "|": the record's separator, which these fields cannot be told
// apart from. (The tag line can: it runs up to the shuffle flag.)
bool AboutTextsHoldSeparator(const PackageSettings& settings);

// The record text "grid|company|site|tagline|YES-or-NO|address|END". About
// texts are cut to AboutTextLimit characters and written as " " when empty;
// the About texts are neither quoted nor escaped, the win address is
// normalised (its "|" written as "%7C"). Cuts never split a UTF-8 character.
// Between 19 and 1808 characters for grid sizes the form can hold.
std::string ComposePackageInfoRecord(const PackageSettings& settings);
