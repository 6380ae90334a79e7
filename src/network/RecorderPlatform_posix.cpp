// The recorder's platform calls where there is POSIX.
#ifndef _WIN32
#include "network/RecorderPlatform.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace tqdt::net {

namespace {
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void noteStopSignal(int sig)
{
    if (g_stopSignal == 0)
        g_stopSignal = sig;
}
} // namespace

bool SyncToDisk(int fileHandle) { return fileHandle >= 0 && ::fsync(fileHandle) == 0; }

void CatchStopSignals()
{
    struct sigaction sa = {};
    sa.sa_handler = noteStopSignal;
    sigemptyset(&sa.sa_mask);
    // Restarted calls: a wait in the port layer simply goes on; the loop looks at the flag often.
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

const char* StopSignalName()
{
    switch (g_stopSignal) {
    case 0: return nullptr;
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    }
    return "a signal";
}

} // namespace tqdt::net
#endif
