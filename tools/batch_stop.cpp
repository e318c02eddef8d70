#include "batch_stop.h"

#include <atomic>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#endif

namespace {

std::atomic<bool> stopRequested(false);

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // The second request goes to the next handler, which ends the process.
    return !stopRequested.exchange(true);
}
#else
void OnSignal(int)
{
    stopRequested.store(true);
}
#endif

}  // namespace

void CatchStopRequests()
{
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    // Once caught, the signal's own action is back for the next one.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

bool StopRequested()
{
    return stopRequested.load();
}
