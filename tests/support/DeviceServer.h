#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tqdt::test {

// A network device server in its own process, serving one serial device (a pseudo-terminal) on a
// loopback port chosen when it starts, and stopped with the object.
class DeviceServer {
public:
    enum class Kind {
        Ser2net,     // ser2net with telnet(rfc2217); it cannot acknowledge DTR on a pseudo-terminal
        PortManager, // pyserial's RFC 2217 PortManager, which acknowledges every command
    };
    DeviceServer() = default;
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Empty when the server is installed; otherwise why it cannot run here.
    static QString unavailable(Kind kind);
    // Starts serving the device; false with *why when it does not come up.
    bool start(Kind kind, const QString& device, QString* why);
    // Starts ser2net again on the loopback port it had, as a service restarted on a site box.
    bool restart(const QString& device, QString* why);
    // Ends the server the way a crash or a pulled network cable does.
    void kill();
    // The same, from outside, after ms milliseconds; returns at once, so a wait can be under way.
    void killAfter(int ms);
    void stop();

    // Lines of ser2net's connection options ("chardelay: false"); none gives its defaults.
    void setSer2netOptions(const QStringList& options) { m_ser2netOptions = options; }

    quint16 port() const { return m_port; }
    // "rfc2217://127.0.0.1:PORT", with "?options" when given.
    QString url(const QString& options = {}) const;

private:
    bool startSer2net(const QString& device, QString* why, quint16 samePort = 0);
    bool startPortManager(const QString& device, QString* why);

    // ser2net removes its pid file when it ends, so the file must be one of our own: given
    // /dev/null, a test run as root would delete the system's null device.
    QTemporaryDir m_runDir;
    QProcess m_process;
    quint16 m_port = 0;
    QStringList m_ser2netOptions;
};

} // namespace tqdt::test
