// Timing for the benchmark programs that run as Windows programs (under Wine
// on Linux). Google Benchmark is not built for the cross toolchain, so these
// programs time with QueryPerformanceCounter, repeat each measurement and
// report the median, and print the ratios an acceptance goal is stated in.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace winbench {

inline double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Result {
    double medianMs = 0;
    double minMs = 0;
    int runs = 0;
};

// Runs body `runs` times (after one untimed warm-up run when warmUp) and
// returns the median and the fastest run.
template <class Body>
Result Measure(Body&& body, int runs, bool warmUp = true)
{
    if (warmUp) body();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        body();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    Result r;
    r.runs = runs;
    r.minMs = times.empty() ? 0 : times.front();
    r.medianMs = times.empty() ? 0 : times[times.size() / 2];
    return r;
}

// Takes the median of already measured times (for runs that cannot be
// wrapped in one body, such as a program started and waited for).
inline Result FromTimes(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    Result r;
    r.runs = int(times.size());
    r.minMs = times.empty() ? 0 : times.front();
    r.medianMs = times.empty() ? 0 : times[times.size() / 2];
    return r;
}

inline void Report(const char* name, const Result& r)
{
    std::printf("%-48s median %10.3f ms   min %10.3f ms   (%d runs)\n", name, r.medianMs, r.minMs,
                r.runs);
    std::fflush(stdout);
}

// Prints measured / reference on the medians, with the goal for the reader.
inline void Ratio(const char* name, const Result& measured, const Result& reference,
                  const char* goal)
{
    double ratio = reference.medianMs > 0 ? measured.medianMs / reference.medianMs : 0;
    std::printf("%-48s ratio %8.3f   (goal: %s)\n", name, ratio, goal);
    std::fflush(stdout);
}

}  // namespace winbench
