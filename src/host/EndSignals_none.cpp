// Where there is no POSIX there are no end signals to watch; the program ends as the system ends it.
#ifdef _WIN32
#include "host/EndSignals.h"

namespace tqdt {

bool WatchEndSignals(QObject*, std::function<void()>) { return false; }

} // namespace tqdt
#endif
