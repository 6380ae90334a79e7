#pragma once

#include "shell/FrameCodec.h"
#include "shell/Pty.h"

#include <atomic>
#include <thread>

namespace tqdt::sim {

class Site;

// Serves a simulated installation on a pseudo-terminal, so that another process (tqdt-cli) can talk
// to it through a real serial-port device. A thread reads frames up to "]", hands each to the site at
// the baud rate the program has set on its side, and writes the reply back. A pseudo-terminal carries
// no DTR, so every frame goes to one channel, the one the program under test selects (Blue unless
// told); no wire time is modelled. The site belongs to the server's thread while it runs.
class PtyServer {
public:
    explicit PtyServer(Site& site, Channel channel = Channel::Blue);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // False where pseudo-terminals are not available.
    bool start();
    void stop();
    // The device the program opens.
    QString portName() const { return m_pty.slaveName(); }

private:
    void run();

    Site& m_site;
    Channel m_channel;
    PseudoTerminal m_pty;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace tqdt::sim
