#pragma once

#include <functional>

class QObject;

namespace tqdt {

// Calls onEnd from the event loop when the program is asked to end by SIGTERM, SIGHUP or SIGINT (a
// logout, a shutdown, a service manager stopping it, Ctrl+C in its terminal), so that it can close
// its windows and keep what they hold instead of dying with it. The signal handler itself only
// writes a byte to a socket the event loop watches; everything else happens in onEnd. Each further
// signal calls onEnd again. The watch lives as long as context; after it the signals have their
// default effect again. Where the system has no such
// signals, nothing is installed and false is returned.
bool WatchEndSignals(QObject* context, std::function<void()> onEnd);

} // namespace tqdt
