// Texts that vornixpack prints: record fields made safe for a terminal, and
// file sizes for people.
#pragma once

#include <cstdint>
#include <string>

// The text with every control byte written as \xNN (and "\" as "\\"), so a
// hostile puzzle cannot send escape sequences to the terminal. Well-formed
// UTF-8 characters pass through, except the C1 controls U+0080 to U+009F;
// bytes that are not part of a well-formed sequence are escaped too.
std::string EscapeControlBytes(const std::string& text);

// "812 bytes", "4.1 KB", "3.2 MB", "1.5 GB" (units of 1024).
std::string FormatFileSize(uint64_t bytes);
