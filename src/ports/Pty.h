#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace tqdt {

// A pseudo-terminal pair for tests, benches and serving the simulated installation to another
// process (Linux and other POSIX systems only). The far end is the master; a program opens
// slaveName() as its serial port. The pair keeps its own slave handle open, so the master never
// sees a hang-up while the program closes and reopens the port.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    static bool supported();
    bool isOpen() const;
    QString slaveName() const;

    // Raw mode on the slave side, as a serial line at the given baud rate.
    bool makeRaw(int baud);
    // The baud rate the program set on the slave side, read back from the line settings.
    int slaveBaud() const;

    // Writes to the program's side; reads what the program wrote, waiting up to timeoutMs for the first byte.
    bool write(const QByteArray& data);
    QByteArray read(int timeoutMs);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// True when the terminal device open as handle has been hung up: a pseudo-terminal whose far end
// closed, a USB adapter pulled out. Such a device reads as quiet, without an error, for ever.
bool TerminalHungUp(long long handle);

// True when the program's error stream is a terminal (a progress line then overwrites itself).
bool StandardErrorIsTerminal();

} // namespace tqdt
