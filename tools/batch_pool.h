// Running many independent pieces of work on a few threads, with every
// result handed back to the calling thread, which alone writes the output.
#pragma once

#include <cstddef>
#include <functional>

// Runs work(i) once for each i from 0 to count - 1, in rising order of
// start, on up to threads threads (at least one; the calling thread works
// itself when no thread can be started). finished(i) is called on the
// calling thread as each ends, and tick() there at least every tickMs
// milliseconds meanwhile. work must not throw. Once stopping() is true no
// more work starts. Returns how many pieces ran, when all of them have
// ended.
//
// On Windows each thread joins COM's multithreaded apartment for its life,
// as the picture check decodes through the Windows Imaging Component.
size_t RunOnThreads(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                    const std::function<void(size_t)>& finished, const std::function<void()>& tick,
                    const std::function<bool()>& stopping, unsigned tickMs = 200);
