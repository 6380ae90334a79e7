// SIGTERM, SIGHUP and SIGINT, turned into an event of the event loop through a socket pair: a signal
// handler may do almost nothing, but it may write() to a socket.
#ifndef _WIN32
#include "host/EndSignals.h"

#include <QObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace tqdt {

namespace {

int g_wakeFd[2] = {-1, -1};

void onEndSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    // Nothing to do when it fails: the socket is full of wake-ups already.
    [[maybe_unused]] const ssize_t n = ::write(g_wakeFd[0], &byte, 1);
    errno = saved;
}

} // namespace

bool WatchEndSignals(QObject* context, std::function<void()> onEnd)
{
    if (g_wakeFd[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_wakeFd) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_wakeFd[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [onEnd = std::move(onEnd)] {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(g_wakeFd[1], bytes, sizeof bytes);
        onEnd();
    });
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
    // Once there is nothing left to close, a signal ends the program as it would by default.
    QObject::connect(context, &QObject::destroyed, [] {
        for (int signal : {SIGTERM, SIGHUP, SIGINT})
            ::signal(signal, SIG_DFL);
    });
    return true;
}

} // namespace tqdt
#endif
