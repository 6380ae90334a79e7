// The one file of the program that uses POSIX directly.
#include "ports/Pty.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace tqdt {

struct PseudoTerminal::Impl {
    int master = -1;
    int slave = -1;
    QString name;
};

namespace {
speed_t speedFor(int baud)
{
    switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B38400;
    }
}
int baudFor(speed_t s)
{
    switch (s) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}
} // namespace

PseudoTerminal::PseudoTerminal() : d(std::make_unique<Impl>())
{
    d->master = posix_openpt(O_RDWR | O_NOCTTY);
    if (d->master < 0)
        return;
    // Neither end goes to a program started meanwhile: the far end would stay open in it, and closing
    // ours would no longer hang up the line.
    ::fcntl(d->master, F_SETFD, FD_CLOEXEC);
    if (grantpt(d->master) != 0 || unlockpt(d->master) != 0) {
        ::close(d->master);
        d->master = -1;
        return;
    }
    char buf[128] = {};
    if (ptsname_r(d->master, buf, sizeof buf) != 0) {
        ::close(d->master);
        d->master = -1;
        return;
    }
    d->name = QString::fromLocal8Bit(buf);
    d->slave = ::open(buf, O_RDWR | O_NOCTTY | O_CLOEXEC);
    makeRaw(38400);
}

PseudoTerminal::~PseudoTerminal()
{
    if (d->slave >= 0)
        ::close(d->slave);
    if (d->master >= 0)
        ::close(d->master);
}

bool PseudoTerminal::supported() { return true; }

bool TerminalHungUp(long long handle)
{
    if (handle < 0)
        return false;
    pollfd p{int(handle), POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }
bool PseudoTerminal::isOpen() const { return d->master >= 0 && d->slave >= 0; }
QString PseudoTerminal::slaveName() const { return d->name; }

bool PseudoTerminal::makeRaw(int baud)
{
    if (d->slave < 0)
        return false;
    termios t{};
    if (tcgetattr(d->slave, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, speedFor(baud));
    cfsetospeed(&t, speedFor(baud));
    return tcsetattr(d->slave, TCSANOW, &t) == 0;
}

int PseudoTerminal::slaveBaud() const
{
    termios t{};
    if (d->slave < 0 || tcgetattr(d->slave, &t) != 0)
        return 0;
    return baudFor(cfgetospeed(&t));
}

bool PseudoTerminal::write(const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        // A program that stopped reading must not hold its peer forever: after five seconds without
        // room the write fails.
        pollfd p{d->master, POLLOUT, 0};
        const int ready = ::poll(&p, 1, 5000);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || !(p.revents & POLLOUT))
            return false;
        const ssize_t n = ::write(d->master, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray PseudoTerminal::read(int timeoutMs)
{
    QByteArray out;
    pollfd p{d->master, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN))
        return out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(d->master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
        pollfd again{d->master, POLLIN, 0};
        if (::poll(&again, 1, 0) <= 0)
            break;
    }
    return out;
}

} // namespace tqdt
