// The recorder's platform calls on Windows.
#ifdef _WIN32
#include "network/RecorderPlatform.h"

#include <csignal>
#include <initializer_list>
#include <io.h>

namespace tqdt::net {

namespace {
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void noteStopSignal(int sig)
{
    if (g_stopSignal == 0)
        g_stopSignal = sig;
    std::signal(sig, noteStopSignal); // the handler is reset on each call here
}
} // namespace

bool SyncToDisk(int fileHandle) { return fileHandle >= 0 && _commit(fileHandle) == 0; }

void CatchStopSignals()
{
    for (int sig : {SIGINT, SIGTERM, SIGBREAK})
        std::signal(sig, noteStopSignal);
}

const char* StopSignalName()
{
    switch (g_stopSignal) {
    case 0: return nullptr;
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGBREAK: return "SIGBREAK";
    }
    return "a signal";
}

} // namespace tqdt::net
#endif
