#include "devices/Bluetooth.h"
#include "ports/OpenPort.h"

#include "bus/BusLink.h"
#include "bus/TouchScreenCommands.h"
#include "documents/Settings.h"
#include "host/Host.h"
#include "ports/DevicePort.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tqdt::ws {

namespace {

const QString kBus = QStringLiteral("38400,n,8,1");
const QString kFast = QStringLiteral("115200,n,8,1");
// How often a whole-second wait looks at the clock.
constexpr int kSecondPollMs = 10;

void show(const std::function<void(const QString&)>& f, const QString& text)
{
    if (f)
        f(text);
}

} // namespace

QString AutomaticName(const Host& host)
{
    // A PC clock set before 2020 would give a minus sign in the name; such a clock counts from 0.
    const qint32 s = std::max<qint32>(0, SecondsSince2020(host));
    return QStringLiteral("%1-%2").arg(QLatin1String(kNamePrefix)).arg(s, 9, 10, QLatin1Char('0'));
}

QString KeepPrefix(const QString& text)
{
    return text.startsWith(QLatin1String(kNamePrefix)) ? text : QString::fromLatin1(kNamePrefix);
}

bool ModuleCanHoldName(const QString& name)
{
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
}

namespace {
// "COMn" is the device the settings map it to; anything else names the device itself.
QString deviceOf(const Paths& paths, const QString& port)
{
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = comName.match(port.trimmed());
    bool ok = false;
    const int n = m.hasMatch() ? m.captured(1).toInt(&ok) : 0;
    return ok ? ComDevice(paths, n) : port.trimmed();
}
} // namespace

bool TesterIsInterfacePort(const Paths& paths, const QString& port, const QString& tester)
{
    if (port.trimmed().compare(tester.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    const QString a = deviceOf(paths, port), b = deviceOf(paths, tester);
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity names = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity names = Qt::CaseSensitive;
#endif
    // A device server's address is no file; its host name is spelt in any case.
    if (a.compare(b, a.startsWith(QLatin1String("rfc2217://"), Qt::CaseInsensitive) ? Qt::CaseInsensitive
                                                                                    : names) == 0)
        return true;
    // /dev/serial/by-id and by-path names are links to the one device node.
    const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

Dump ParseDump(const QByteArray& reply)
{
    Dump d;
    if (const qsizetype at = reply.indexOf("BTA="); at >= 0)
        d.address = reply.mid(at + 4, 12);
    const qsizetype name = reply.indexOf("Name=");
    const qsizetype connected = reply.indexOf("Connected=");
    if (name >= 0 && connected >= 0) {
        d.named = true;
        // The name's line ends in CR LF just before "Connected="; a dump with the lines the other way
        // round names nothing.
        d.name = reply.mid(name + 5, std::max<qsizetype>(0, connected - name - 7));
    }
    return d;
}

QString LinkText(LinkOutcome o)
{
    switch (o) {
    case LinkOutcome::Pass: return QStringLiteral("Pass");
    case LinkOutcome::PcToG3Fail: return QStringLiteral("PC to G3 Fail");
    case LinkOutcome::G3ToPcFail: return QStringLiteral("G3 to PC Fail");
    case LinkOutcome::PortFailed: break;
    }
    return QStringLiteral("Tester Port Error");
}

BluetoothTools::BluetoothTools(Host& host, SerialPort& main, SerialPort& tester)
    : m_host(host), m_main(main), m_tester(tester)
{
}

QByteArray BluetoothTools::readAll(SerialPort& port)
{
    const int len = port.inputLen();
    port.setInputLen(0);
    const QByteArray r = port.input();
    port.setInputLen(len);
    return r;
}

QByteArray BluetoothTools::readAndShow(SerialPort& port, const Display& d)
{
    const QByteArray r = readAll(port);
    if (d.response)
        d.response(r);
    return r;
}

bool BluetoothTools::reopen(SerialPort& port, const QString& settings)
{
    port.setSettings(settings);
    return OpenPort(m_host, port);
}

void BluetoothTools::emptyInput(SerialPort& port) { BusLink(m_host, port).emptyReceiveBuffer(); }

void BluetoothTools::WaitSeconds(int seconds, bool yielding)
{
    const qint32 start = SecondsSince2020(m_host);
    while (SecondsSince2020(m_host) - start < seconds) {
        if (yielding)
            m_host.yieldToUser();
        m_host.Delay(kSecondPollMs);
    }
}

ConfigResult BluetoothTools::ConfigBT(const QString& name, const Display& d)
{
    ConfigResult res;
    BusLink link(m_host, m_main);
    auto fail = [&](const QString& step) {
        res.failedAt = step;
        return res;
    };
    auto portFail = [&] {
        res.portFailed = true;
        return res;
    };
    m_host.Delay(500);
    if (!m_main.isOpen() && !OpenPort(m_host, m_main))
        return portFail();
    link.select(Channel::Brown);

    show(d.step, QStringLiteral("Connect - 38,400"));
    if (d.response)
        d.response({});
    m_host.Delay(250);
    readAll(m_main);
    m_main.output("$$$");

    show(d.step, QStringLiteral("Factory Reset - 38,400"));
    m_host.Delay(250);
    readAndShow(m_main, d);
    m_main.output("\rSF,1\r");
    m_host.Delay(750);

    // A module fresh from its factory reset talks at 115,200.
    show(d.step, QStringLiteral("Connect - 115,200"));
    m_main.close();
    m_host.Delay(500);
    if (!reopen(m_main, kFast))
        return portFail();
    link.select(Channel::Brown);
    m_host.Delay(100);
    readAndShow(m_main, d);
    m_main.output("$$$");

    show(d.step, QStringLiteral("Set Baud To 38,400"));
    m_host.Delay(250);
    readAndShow(m_main, d);
    m_main.output("\rSB,05\r");

    show(d.step, QStringLiteral("Reset Device"));
    m_host.Delay(250);
    readAndShow(m_main, d);
    m_main.output("R,1\r");

    show(d.step, QStringLiteral("Connect - 38,400"));
    m_main.close();
    m_host.Delay(1000);
    if (!reopen(m_main, kBus))
        return portFail();
    link.select(Channel::Brown);
    m_host.Delay(100);
    readAndShow(m_main, d);
    m_main.output("$$$");

    show(d.step, QStringLiteral("Set ID"));
    m_host.Delay(250);
    if (!readAndShow(m_main, d).contains("CMD>"))
        return fail(QStringLiteral("Set ID"));
    m_main.output("\rSN," + name.toLatin1() + "\r");

    show(d.step, QStringLiteral("UART"));
    m_host.Delay(250);
    if (!readAndShow(m_main, d).contains("AOK"))
        return fail(QStringLiteral("UART"));
    m_main.output("SS,C0\r");

    show(d.step, QStringLiteral("Get Config"));
    m_host.Delay(250);
    if (!readAndShow(m_main, d).contains("AOK"))
        return fail(QStringLiteral("Get Config"));
    m_main.output("D\r");
    m_host.Delay(500);
    res.dump = ParseDump(readAll(m_main));
    res.dumpRead = true;
    if (d.dump)
        d.dump(res.dump);

    show(d.step, QStringLiteral("Restart"));
    m_main.output("R,1\r");
    show(d.step, QStringLiteral("Done"));
    m_host.Delay(250);
    if (!readAndShow(m_main, d).contains("Rebooting"))
        return fail(QStringLiteral("Done"));

    res.pass = QString::fromLatin1(res.dump.name) == name;
    return res;
}

bool BluetoothTools::ReadBTA(Dump& out, const Display& d)
{
    if (m_main.isOpen())
        m_main.close();
    if (!reopen(m_main, kBus))
        return false;
    m_main.setRts(true);
    BusLink(m_host, m_main).select(Channel::Brown);
    m_host.Delay(500);
    m_main.output("$$$");
    m_host.Delay(250);
    m_main.output("\rD\r");
    m_host.Delay(250);
    out = ParseDump(readAll(m_main));
    if (d.dump)
        d.dump(out);
    // Without a carriage return: the module takes it after its pause and leaves command mode.
    m_main.output("\rR,1");
    return true;
}

void BluetoothTools::raiseTesterLines()
{
    m_tester.setRts(true);
    m_tester.setDtr(true);
}

bool BluetoothTools::ConfigPT(int testerPort, const Display& d)
{
    if (m_tester.isOpen())
        m_tester.close();
    m_tester.setCommPort(testerPort);
    if (!reopen(m_tester, kBus))
        return false;
    raiseTesterLines();

    show(d.step, QStringLiteral("Connect - 38,400"));
    m_host.Delay(250);
    m_tester.output("$$$");

    show(d.step, QStringLiteral("Factory Reset - 38,400"));
    m_host.Delay(500);
    readAndShow(m_tester, d);
    m_tester.output("\rSF,1\r");
    m_host.Delay(500);

    // The adapter stays at 115,200 after its factory reset.
    show(d.step, QStringLiteral("Connect - 115,200"));
    m_tester.close();
    m_host.Delay(100);
    if (!reopen(m_tester, kFast))
        return false;
    raiseTesterLines();
    m_host.Delay(200);
    m_tester.output("$$$");
    m_host.Delay(200);
    m_tester.output("\r");
    m_host.Delay(100);

    show(d.step, QStringLiteral("UART"));
    readAndShow(m_tester, d);
    m_tester.output("SS,C0\r");
    m_host.Delay(200);

    show(d.step, QStringLiteral("Restart"));
    bool pass = false;
    if (readAndShow(m_tester, d).contains("CMD")) {
        m_tester.output("R,1\r");
        m_host.Delay(200);
        show(d.step, QStringLiteral("Done"));
        m_host.Delay(250);
        pass = readAndShow(m_tester, d).contains("Rebooting");
    }
    m_tester.close();
    return pass;
}

LinkResult BluetoothTools::TestLink(int testerPort, const QByteArray& address, const Display& d)
{
    LinkResult res;
    BusLink mainLink(m_host, m_main);
    m_host.yieldToUser();
    m_host.Delay(500);
    mainLink.select(Channel::Brown);
    show(d.step, QStringLiteral("Connecting"));

    if (m_tester.isOpen())
        m_tester.close();
    m_tester.setCommPort(testerPort);
    if (reopen(m_tester, kFast)) {
        raiseTesterLines();
        m_host.Delay(500);

        // The adapter is made a fresh tester at 115,200 each time, then calls the station's module.
        struct Send {
            const char* text;
            int delayMs;
        };
        static constexpr Send kPrepare[] = {{"$$$", 300}, {"\r", 300}, {"K,1\r", 300},  {"SF,1\r", 1500},
                                            {"$$$", 300}, {"\r", 300}, {"SS,C0\r", 300}};
        for (const Send& s : kPrepare) {
            m_tester.output(s.text);
            m_host.Delay(s.delayMs);
            readAll(m_tester);
        }
        m_tester.output("C,0," + address + "\r");
        m_host.Delay(8000);

        show(d.step, QStringLiteral("COMM to G3"));
        emptyInput(m_tester);
        m_tester.output("Tester_>_G3");
        WaitSeconds(2, true);
        m_host.reply.ReplyText = readAll(m_main);
        res.toG3 = m_host.reply.ReplyText;
        if (d.dataPacket)
            d.dataPacket(res.toG3);
        if (res.toG3 != "Tester_>_G3") {
            res.outcome = LinkOutcome::PcToG3Fail;
        } else {
            show(d.step, QStringLiteral("COMM from G3"));
            m_host.Delay(250);
            emptyInput(m_main);
            emptyInput(m_tester);
            m_main.output("G3_>_Tester");
            WaitSeconds(2, true);
            if (d.dataPacket)
                d.dataPacket({});
            res.fromG3 = readAll(m_tester);
            res.outcome = res.fromG3 == "G3_>_Tester" ? LinkOutcome::Pass : LinkOutcome::G3ToPcFail;
        }
    }
    if (d.verdict)
        d.verdict(res.outcome);

    // The adapter drops the call and the module is left for the next station.
    m_tester.output("$$$");
    WaitSeconds(1, false);
    m_tester.output("\rK,1\r");
    WaitSeconds(1, false);
    if (m_tester.isOpen())
        m_tester.close();
    mainLink.select(Channel::Blue);
    return res;
}

} // namespace tqdt::ws
