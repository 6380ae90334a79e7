#include "support/SimHost.h"

namespace tqdt::test {

SimHost::SimHost()
    : host(clock, dialogs, Paths(dir.path()),
           [this] { return std::make_unique<sim::SimSerialPort>(site, clock); })
{
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
