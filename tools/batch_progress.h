// The progress of a batch on a terminal: one line that rewrites itself with
// the rows done of all, the percentage, puzzles per second and the time
// left. Written only where someone watches (a terminal, or a console on
// Windows), never into a pipe or a file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Whether the stream is a terminal that shows a rewritten line.
bool IsTerminal(FILE* stream);

// "41 of 100 (41%), 5.1 puzzles/s, 12 s left"; before the first puzzle is
// done, only the count. seconds is the time since the building began.
std::string ProgressText(size_t done, size_t total, double seconds);

// "45 s", "3 min 5 s", "2 h 4 min".
std::string DurationText(double seconds);

class ProgressLine {
public:
    // Draws on stream only when it is a terminal.
    explicit ProgressLine(FILE* stream);

    // Replaces the line with text.
    void Show(const std::string& text);

    // Removes the line, so that other output starts at the left edge; the
    // next Show draws it again.
    void Clear();

private:
    FILE* stream;
    bool enabled;
    size_t shown = 0;  // characters of the line on the screen
};
