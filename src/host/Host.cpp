#include "host/Host.h"

#include <QCoreApplication>

namespace tqdt {

Host::Host(Clock& clock, Dialogs& dialogs, Paths paths, PortFactory ports)
    : m_clock(clock), m_dialogs(dialogs), m_paths(std::move(paths)), m_ports(std::move(ports)),
      m_stopwatch(clock), m_comQV(m_ports())
{
}

Host::~Host() = default;

void Host::yieldToUser()
{
    if (m_yield)
        m_yield();
    else if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

} // namespace tqdt
