#include "sim/PtyServer.h"

#include "sim/Site.h"

#include <algorithm>

namespace tqdt::sim {

PtyServer::PtyServer(Site& site) : m_site(site) {}

PtyServer::~PtyServer() { stop(); }

bool PtyServer::start()
{
    if (!PseudoTerminal::supported() || !m_pty.isOpen() || m_thread.joinable())
        return false;
    if (!m_pty.makeRaw(Site::kBusBaud))
        return false;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void PtyServer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<int> PtyServer::baudsSeen() const
{
    const std::lock_guard lock(m_mutex);
    return m_bauds;
}

void PtyServer::run()
{
    QByteArray pending;
    while (!m_stop) {
        const QByteArray in = m_pty.read(20);
        m_bytes += in.size();
        pending += in;
        for (qsizetype end = pending.indexOf(']'); end >= 0; end = pending.indexOf(']')) {
            // Whatever stood before the frame's "[" is line noise.
            const qsizetype begin = pending.lastIndexOf('[', end);
            const QByteArray frame = begin < 0 ? QByteArray() : pending.mid(begin, end - begin + 1);
            pending.remove(0, end + 1);
            if (frame.isEmpty())
                continue;
            LineSettings line;
            line.baud = m_pty.slaveBaud();
            {
                const std::lock_guard lock(m_mutex);
                if (std::find(m_bauds.begin(), m_bauds.end(), line.baud) == m_bauds.end())
                    m_bauds.push_back(line.baud);
            }
            // A pseudo-terminal carries no DTR, so the channel the program selected cannot be seen
            // here: every frame is taken as sent on the channel the server is strapped to (Blue,
            // where the bench devices sit, unless told). This service alone ignores the program's
            // channel; the simulated port keeps every device strict.
            if (const auto reply = m_site.receive(m_channel, frame, line))
                m_pty.write(reply->text);
        }
    }
}

} // namespace tqdt::sim
