#include "batch_pool.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <objbase.h>
#endif

namespace {

struct Pool {
    Pool(size_t n, const std::function<void(size_t)>& w, const std::function<bool()>& s)
        : count(n), work(w), stopping(s)
    {
    }

    size_t count;
    const std::function<void(size_t)>& work;
    const std::function<bool()>& stopping;
    std::mutex lock;
    std::condition_variable ended;
    size_t next = 0;             // the next piece of work to start
    std::deque<size_t> results;  // ended, not yet handed to finished
};

// Takes the next piece of work; false when none is left or the work stops.
bool Take(Pool& pool, size_t* index)
{
    std::lock_guard<std::mutex> hold(pool.lock);
    if (pool.next >= pool.count || pool.stopping())
        return false;
    *index = pool.next++;
    return true;
}

void Worker(Pool& pool)
{
#ifdef _WIN32
    const bool com = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
#endif
    size_t index;
    while (Take(pool, &index)) {
        pool.work(index);
        {
            std::lock_guard<std::mutex> hold(pool.lock);
            pool.results.push_back(index);
        }
        pool.ended.notify_one();
    }
#ifdef _WIN32
    if (com)
        CoUninitialize();
#endif
}

}  // namespace

size_t RunOnThreads(size_t count, unsigned threads, const std::function<void(size_t)>& work,
                    const std::function<void(size_t)>& finished, const std::function<void()>& tick,
                    const std::function<bool()>& stopping, unsigned tickMs)
{
    Pool pool(count, work, stopping);
    std::vector<std::thread> workers;
    const size_t wanted = threads < 1 ? 1 : (threads < count ? threads : count);
    for (size_t t = 0; t < wanted; ++t) {
        try {
            workers.emplace_back(Worker, std::ref(pool));
        } catch (const std::system_error&) {
            break;  // the system allows no more threads: go on with those started
        }
    }
    if (workers.empty()) {
        size_t ran = 0;
        for (; ran < count && !stopping(); ++ran) {
            work(ran);
            finished(ran);
            tick();
        }
        return ran;
    }

    // Until every piece that started has ended, and no other will start.
    size_t done = 0;
    std::deque<size_t> ready;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(pool.lock);
            if (done == pool.next && (pool.next == count || pool.stopping()))
                break;
            pool.ended.wait_for(hold, std::chrono::milliseconds(tickMs),
                                [&] { return !pool.results.empty(); });
            ready.swap(pool.results);
        }
        for (size_t index : ready)
            finished(index);
        done += ready.size();
        ready.clear();
        tick();
    }
    for (std::thread& worker : workers)
        worker.join();
    return done;
}
