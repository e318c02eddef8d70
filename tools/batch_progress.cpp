#include "batch_progress.h"

#include <cmath>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

bool IsTerminal(FILE* stream)
{
#ifdef _WIN32
    // The NUL device counts as a character device too; only a console has
    // a console mode.
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

std::string DurationText(double seconds)
{
    const long whole = seconds > 0 ? static_cast<long>(std::lround(seconds)) : 0;
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
}

std::string ProgressText(size_t done, size_t total, double seconds)
{
    const unsigned percent = total ? static_cast<unsigned>(done * 100 / total) : 100;
    std::string text = std::to_string(done) + " of " + std::to_string(total) + " (" +
                       std::to_string(percent) + "%)";
    if (done == 0 || seconds <= 0)
        return text;
    const double rate = done / seconds;
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, ", %.1f puzzles/s", rate);
    text += rateText;
    if (done < total)
        text += ", " + DurationText((total - done) / rate) + " left";
    return text;
}

ProgressLine::ProgressLine(FILE* out) : stream(out), enabled(IsTerminal(out))
{
}

void ProgressLine::Show(const std::string& text)
{
    if (!enabled)
        return;
    std::string line = "\r" + text;
    // Spaces over whatever a longer earlier text left.
    if (text.size() < shown)
        line.append(shown - text.size(), ' ');
    std::fputs(line.c_str(), stream);
    std::fflush(stream);
    shown = text.size();
}

void ProgressLine::Clear()
{
    if (!enabled || shown == 0)
        return;
    std::fputs(("\r" + std::string(shown, ' ') + "\r").c_str(), stream);
    std::fflush(stream);
    shown = 0;
}
