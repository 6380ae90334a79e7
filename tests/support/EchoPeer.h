#pragma once

#include "ports/Pty.h"

#include <atomic>
#include <thread>

namespace tqdt::test {

// A line that sends back every byte it is given, as a loopback plug or an echoing adapter does: a
// pseudo-terminal whose far end a thread answers with what it read.
class EchoPeer {
public:
    // False where pseudo-terminals are not available.
    bool start()
    {
        if (!PseudoTerminal::supported() || !m_pty.isOpen() || !m_pty.makeRaw(38400))
            return false;
        m_thread = std::thread([this] {
            while (!m_stop) {
                const QByteArray got = m_pty.read(20);
                if (!got.isEmpty())
                    m_pty.write(got);
            }
        });
        return true;
    }
    ~EchoPeer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // The device the program opens.
    QString portName() const { return m_pty.slaveName(); }

private:
    PseudoTerminal m_pty;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace tqdt::test
