#include "support/DeviceServer.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace tqdt::test {

namespace {

QString ser2netProgram()
{
    // Debian puts it in /usr/sbin, which an ordinary user's PATH may lack.
    QString p = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
    if (p.isEmpty())
        p = QStandardPaths::findExecutable(QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin")});
    return p;
}

// The system's interpreter, which has the distribution's python3-serial, before any other on PATH.
QString pythonProgram()
{
    if (QFileInfo::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

QString serverScript() { return QStringLiteral(TQDT_TEST_SUPPORT_DIR "/rfc2217_server.py"); }

quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

DeviceServer::~DeviceServer() { stop(); }

QString DeviceServer::unavailable(Kind kind)
{
    if (kind == Kind::Ser2net)
        return ser2netProgram().isEmpty() ? QStringLiteral("ser2net is not installed") : QString();
    const QString python = pythonProgram();
    if (python.isEmpty())
        return QStringLiteral("python3 is not installed");
    if (QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import serial.rfc2217")}) != 0)
        return QStringLiteral("python3-serial is not installed");
    return {};
}

bool DeviceServer::start(Kind kind, const QString& device, QString* why)
{
    stop();
    return kind == Kind::Ser2net ? startSer2net(device, why) : startPortManager(device, why);
}

bool DeviceServer::restart(const QString& device, QString* why)
{
    stop();
    return startSer2net(device, why, m_port);
}

bool DeviceServer::startSer2net(const QString& device, QString* why, quint16 samePort)
{
    // The port is free when picked; should another program take it first, ser2net exits and the
    // next one is tried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = samePort != 0 ? samePort : freeLoopbackPort();
        QStringList yaml = {
            QStringLiteral("connection: &tqdt"),
            QStringLiteral("  accepter: telnet(rfc2217),tcp,127.0.0.1,%1").arg(m_port),
            QStringLiteral("  connector: serialdev,%1,38400n81,local").arg(device),
        };
        if (!m_ser2netOptions.isEmpty()) {
            yaml << QStringLiteral("  options:");
            for (const QString& o : m_ser2netOptions)
                yaml << QStringLiteral("    ") + o;
        }
        QStringList args = {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-P"),
                            m_runDir.filePath(QStringLiteral("ser2net.pid"))};
        for (const QString& line : yaml)
            args << QStringLiteral("-Y") << line;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(ser2netProgram(), args);
        if (!m_process.waitForStarted(5000))
            continue;
        // Up once it accepts a connection; the probe goes at once, before it opens the device.
        const QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200)) {
                probe.abort();
                // Let the server see the probe go before the first real client comes.
                QThread::msleep(100);
                return true;
            }
            QThread::msleep(20);
        }
        stop();
    }
    if (why)
        *why = QStringLiteral("ser2net did not start: ") + QString::fromLocal8Bit(m_process.readAll());
    return false;
}

bool DeviceServer::startPortManager(const QString& device, QString* why)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(pythonProgram(), {serverScript(), device});
    const QDeadlineTimer deadline(10000);
    QByteArray line;
    while (!deadline.hasExpired() && !line.contains('\n') &&
           m_process.waitForReadyRead(int(deadline.remainingTime())))
        line += m_process.readAllStandardOutput();
    m_port = quint16(line.trimmed().toUInt());
    if (m_port != 0)
        return true;
    if (why)
        *why = QStringLiteral("the PortManager server did not start: ") +
               QString::fromLocal8Bit(m_process.readAllStandardError());
    stop();
    return false;
}

void DeviceServer::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void DeviceServer::killAfter(int ms)
{
    QProcess::startDetached(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("sleep %1; kill -9 %2").arg(ms / 1000.0).arg(m_process.processId())});
}

void DeviceServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

QString DeviceServer::url(const QString& options) const
{
    QString u = QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_port);
    if (!options.isEmpty())
        u += QLatin1Char('?') + options;
    return u;
}

} // namespace tqdt::test
