#include "support/SimHost.h"

#include <QCoreApplication>

namespace tqdt::test {

SimHost::SimHost()
    : host(clock, dialogs, Paths(dir.path()),
           [this] { return std::make_unique<sim::SimSerialPort>(site, clock); })
{
    host.setYieldHandler([this] {
        ++yields;
        QCoreApplication::processEvents();
        if (const auto it = m_atYield.find(yields); it != m_atYield.end())
            it->second();
    });
}

void SimHost::openPort()
{
    port().setCommPort(1);
    port().open();
    port().setInputLen(0);
    port().setRThreshold(0);
}

std::vector<QByteArray> SimHost::takeWritten()
{
    std::vector<QByteArray> out;
    for (; m_seen < site.written.size(); ++m_seen)
        out.push_back(site.written[m_seen].frame);
    return out;
}

} // namespace tqdt::test
