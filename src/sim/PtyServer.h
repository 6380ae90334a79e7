#pragma once

#include "bus/FrameCodec.h"
#include "ports/Pty.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace tqdt::sim {

class Site;

// Serves a simulated installation on a pseudo-terminal, so that another process (tqdt-cli) can talk
// to it through a real serial-port device. A thread reads frames up to "]", hands each to the site at
// the baud rate the program has set on its side, and writes the reply back. A pseudo-terminal carries
// no DTR, so every frame goes to one channel, as on a module whose channel is strapped (the Blue one
// unless set); no wire time is modelled. The site belongs to the server's thread while it runs.
class PtyServer {
public:
    explicit PtyServer(Site& site);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // False where pseudo-terminals are not available.
    bool start();
    void stop();
    // The channel every frame goes to; set before start().
    void setChannel(Channel channel) { m_channel = channel; }
    // The baud rates read from the line settings of the pseudo-terminal as each frame arrived, each
    // rate once, in the order first seen: what the far side really set, not what it meant to.
    std::vector<int> baudsSeen() const;
    // How many bytes the program has written, frames or not (a Bluetooth module's commands).
    qint64 bytesSeen() const { return m_bytes; }
    // The device the program opens.
    QString portName() const { return m_pty.slaveName(); }

private:
    void run();

    Site& m_site;
    PseudoTerminal m_pty;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_bytes{0};
    Channel m_channel = Channel::Blue;
    mutable std::mutex m_mutex;
    std::vector<int> m_bauds;
};

} // namespace tqdt::sim
