#include "ports/Rfc2217Protocol.h"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace tqdt::rfc2217 {

namespace {
const QString kScheme = QStringLiteral("rfc2217");

// The control values come in families; an acknowledgement answers the request of its family.
int controlFamily(quint8 v)
{
    if (v >= 1 && v <= 3)
        return 1; // outbound flow control
    if (v >= 7 && v <= 9)
        return 2; // DTR
    if (v >= 10 && v <= 12)
        return 3; // RTS
    return 0;
}

// A server never needs more than a few bytes for a subnegotiation; a longer one is junk and is cut.
constexpr qsizetype kMaxSubnegotiation = 64;
// Acknowledgements we no longer expect once this many are owed (a server that stopped answering).
constexpr size_t kMaxPending = 64;

QString valueText(quint8 command, const QByteArray& value)
{
    const auto b = [&](int i) { return i < value.size() ? quint8(value[i]) : 0; };
    switch (command) {
    case ClientSession::CmdBaud:
        return QStringLiteral("baud %1").arg((quint32(b(0)) << 24) | (quint32(b(1)) << 16) |
                                             (quint32(b(2)) << 8) | quint32(b(3)));
    case ClientSession::CmdDataSize: return QStringLiteral("%1 data bits").arg(b(0));
    case ClientSession::CmdParity: {
        static const char* const names[] = {"?", "no", "odd", "even", "mark", "space"};
        return QStringLiteral("%1 parity").arg(QLatin1String(b(0) <= 5 ? names[b(0)] : "?"));
    }
    case ClientSession::CmdStopSize:
        return QStringLiteral("%1 stop bits").arg(b(0) == 3 ? QStringLiteral("1.5") : QString::number(b(0)));
    case ClientSession::CmdControl:
        switch (b(0)) {
        case 1: return QStringLiteral("no flow control");
        case 2: return QStringLiteral("XON/XOFF flow control");
        case 3: return QStringLiteral("hardware flow control");
        case 8: return QStringLiteral("DTR on");
        case 9: return QStringLiteral("DTR off");
        case 11: return QStringLiteral("RTS on");
        case 12: return QStringLiteral("RTS off");
        default: return QStringLiteral("control value %1").arg(b(0));
        }
    case ClientSession::CmdPurge: return QStringLiteral("purge");
    default: return QStringLiteral("command %1").arg(command);
    }
}
} // namespace

bool isAddress(const QString& name)
{
    return name.startsWith(kScheme + QStringLiteral("://"), Qt::CaseInsensitive);
}

std::optional<Address> parseAddress(const QString& name, QString* why)
{
    const auto fail = [&](const QString& text) -> std::optional<Address> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    const QUrl url(name, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(kScheme, Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("not an rfc2217://HOST:PORT address"));
    Address a;
    a.host = url.host();
    if (a.host.isEmpty())
        return fail(QStringLiteral("no host in the address"));
    if (url.port() <= 0)
        return fail(QStringLiteral("no TCP port in the address"));
    if (!url.path().isEmpty() && url.path() != QLatin1String("/"))
        return fail(QStringLiteral("unexpected path \"%1\" in the address").arg(url.path()));
    a.port = quint16(url.port());
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("ign_set_control") && value.isEmpty()) {
            a.options.ignSetControl = true;
        } else if (key == QLatin1String("ign_purge") && value.isEmpty()) {
            a.options.ignPurge = true;
        } else if (key == QLatin1String("timeout")) {
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            // Written so that "nan" fails too: every comparison with it is false.
            if (!ok || !(seconds > 0 && seconds <= 3600))
                return fail(QStringLiteral("timeout \"%1\" is not a number of seconds").arg(value));
            a.options.timeoutMs = std::max(1, int(seconds * 1000));
        } else {
            return fail(QStringLiteral("unknown option \"%1\" (ign_set_control, ign_purge, timeout=SECONDS)")
                            .arg(value.isEmpty() ? key : key + QLatin1Char('=') + value));
        }
    }
    return a;
}

ClientSession::ClientSession(Options options) : m_options(options) {}

QByteArray ClientSession::hello()
{
    QByteArray out;
    for (quint8 opt : {quint8(OptComPort), quint8(OptBinary), quint8(OptSga)}) {
        m_us[opt] = 1;
        out += char(IAC);
        out += char(WILL);
        out += char(opt);
        if (opt != OptComPort) {
            m_them[opt] = 1;
            out += char(IAC);
            out += char(DO);
            out += char(opt);
        }
    }
    return out;
}

QByteArray ClientSession::data(const QByteArray& bytes) const
{
    QByteArray out;
    out.reserve(bytes.size() + 8);
    const bool binary = m_us[OptBinary] == 2;
    for (char c : bytes) {
        out += c;
        if (quint8(c) == IAC)
            out += c;
        else if (c == '\r' && !binary)
            out += '\0'; // a bare CR in plain Telnet would start a line ending
    }
    return out;
}

QByteArray ClientSession::subnegotiation(quint8 command, const QByteArray& value, const QString& what,
                                         bool awaited)
{
    QByteArray out;
    out += char(IAC);
    out += char(SB);
    out += char(OptComPort);
    out += char(command);
    for (char c : value) {
        out += c;
        if (quint8(c) == IAC)
            out += c;
    }
    out += char(IAC);
    out += char(SE);
    if (awaited) {
        if (m_pending.size() >= kMaxPending)
            m_pending.pop_front();
        m_pending.push_back({command, value, what});
    }
    return out;
}

QByteArray ClientSession::lineSettings(const LineSettings& line)
{
    const quint32 baud = quint32(line.baud);
    QByteArray b;
    for (int shift : {24, 16, 8, 0})
        b += char((baud >> shift) & 0xFF);
    quint8 parity = 1;
    switch (line.parity) {
    case 'o': parity = 2; break;
    case 'e': parity = 3; break;
    case 'm': parity = 4; break;
    case 's': parity = 5; break;
    default: parity = 1; break;
    }
    QByteArray out;
    out += subnegotiation(CmdBaud, b, valueText(CmdBaud, b), true);
    const QByteArray size(1, char(line.dataBits));
    out += subnegotiation(CmdDataSize, size, valueText(CmdDataSize, size), true);
    const QByteArray par(1, char(parity));
    out += subnegotiation(CmdParity, par, valueText(CmdParity, par), true);
    const QByteArray stop(1, char(line.stopBits == 2 ? 2 : 1));
    out += subnegotiation(CmdStopSize, stop, valueText(CmdStopSize, stop), true);
    return out;
}

QByteArray ClientSession::setDtr(bool on)
{
    const QByteArray v(1, char(on ? 8 : 9));
    return subnegotiation(CmdControl, v, valueText(CmdControl, v), !m_options.ignSetControl);
}

QByteArray ClientSession::setRts(bool on)
{
    const QByteArray v(1, char(on ? 11 : 12));
    return subnegotiation(CmdControl, v, valueText(CmdControl, v), !m_options.ignSetControl);
}

QByteArray ClientSession::setNoFlowControl()
{
    const QByteArray v(1, char(1));
    return subnegotiation(CmdControl, v, valueText(CmdControl, v), !m_options.ignSetControl);
}

QByteArray ClientSession::purgeReceive()
{
    const QByteArray v(1, char(1));
    return subnegotiation(CmdPurge, v, valueText(CmdPurge, v), !m_options.ignPurge);
}

QByteArray ClientSession::feed(const QByteArray& bytes)
{
    QByteArray out;
    const auto keep = [&](quint8 c) {
        // Until the server confirms a purge, what arrives left the device before it.
        if (!owes(CmdPurge))
            out += char(c);
    };
    for (char ch : bytes) {
        const quint8 c = quint8(ch);
        switch (m_state) {
        case State::Data:
            if (c == IAC) {
                m_state = State::Iac;
                break;
            }
            if (c == 0 && m_lastWasCr && m_them[OptBinary] != 2) {
                m_lastWasCr = false; // plain Telnet's CR NUL stands for a bare CR
                break;
            }
            m_lastWasCr = c == '\r';
            keep(c);
            break;
        case State::Iac:
            if (c == IAC) {
                m_lastWasCr = false;
                keep(c);
                m_state = State::Data;
            } else if (c == WILL || c == WONT || c == DO || c == DONT) {
                m_verb = c;
                m_state = State::Verb;
            } else if (c == SB) {
                m_sb.clear();
                m_state = State::Sb;
            } else {
                m_state = State::Data; // NOP, go-ahead and the other one-byte commands carry nothing
            }
            break;
        case State::Verb:
            onNegotiation(m_verb, c);
            m_state = State::Data;
            break;
        case State::Sb:
            if (c == IAC)
                m_state = State::SbIac;
            else if (m_sb.size() < kMaxSubnegotiation)
                m_sb += char(c);
            break;
        case State::SbIac:
            if (c == IAC) {
                if (m_sb.size() < kMaxSubnegotiation)
                    m_sb += char(c);
                m_state = State::Sb;
            } else {
                if (c == SE)
                    onSubnegotiation(m_sb);
                // Anything else after IAC inside a subnegotiation is malformed; the subnegotiation is
                // dropped.
                m_sb.clear();
                m_state = State::Data;
            }
            break;
        }
    }
    return out;
}

QByteArray ClientSession::takeAnswers()
{
    QByteArray out;
    out.swap(m_answers);
    return out;
}

void ClientSession::answer(quint8 verb, quint8 option)
{
    m_answers += char(IAC);
    m_answers += char(verb);
    m_answers += char(option);
}

void ClientSession::onNegotiation(quint8 verb, quint8 option)
{
    const bool weOffer = option == OptBinary || option == OptSga || option == OptComPort;
    const bool theyMay = option == OptBinary || option == OptSga;
    switch (verb) {
    case DO:
        if (!weOffer) {
            answer(WONT, option);
        } else if (m_us[option] != 2) {
            if (m_us[option] == 0)
                answer(WILL, option); // not asked for: agreeing needs an answer
            m_us[option] = 2;
            if (option == OptComPort) {
                m_comPortAgreed = true;
                m_comPortRefused = false;
            }
        }
        break;
    case DONT:
        if (m_us[option] == 2)
            answer(WONT, option);
        if (option == OptComPort && m_us[option] != 0) {
            m_comPortAgreed = false;
            m_comPortRefused = true;
        }
        m_us[option] = 0;
        break;
    case WILL:
        if (!theyMay) {
            answer(DONT, option); // an echo of our own frames would read as a reply
        } else if (m_them[option] != 2) {
            if (m_them[option] == 0)
                answer(DO, option);
            m_them[option] = 2;
        }
        break;
    case WONT:
        if (m_them[option] == 2)
            answer(DONT, option);
        m_them[option] = 0;
        break;
    default: break;
    }
}

void ClientSession::onSubnegotiation(const QByteArray& body)
{
    if (body.size() < 2 || quint8(body[0]) != OptComPort || quint8(body[1]) < ServerOffset)
        return;
    const quint8 command = quint8(body[1]) - ServerOffset;
    const QByteArray value = body.mid(2);
    if (command == CmdPurge) {
        // The confirmation and the reply behind it leave the server as two small segments. A
        // server that coalesces small writes holds the reply until the confirmation is acknowledged,
        // which our side's delayed acknowledgement puts off by up to 40 ms, longer than many a
        // reply's limit. Any byte we send carries the acknowledgement at once.
        m_answers += char(IAC);
        m_answers += char(NOP);
    }
    const auto it = std::find_if(m_pending.begin(), m_pending.end(), [&](const Pending& p) {
        if (p.command != command)
            return false;
        if (command != CmdControl)
            return true;
        return !value.isEmpty() && controlFamily(quint8(p.value[0])) == controlFamily(quint8(value[0]));
    });
    if (it == m_pending.end())
        return; // unsolicited, or an answer we chose not to wait for
    const Pending asked = *it;
    m_pending.erase(it);
    if (command == CmdPurge || value == asked.value)
        return;
    // A baud rate the server cannot set leaves the line at another one: never to be ignored.
    const bool line =
        command == CmdBaud || command == CmdDataSize || command == CmdParity || command == CmdStopSize;
    m_refusals.push_back(
        {line,
         QStringLiteral("%1 refused: the server answered %2").arg(asked.what, valueText(command, value))});
}

bool ClientSession::owes(quint8 command) const
{
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [&](const Pending& p) { return p.command == command; });
}

QString ClientSession::waitingFor() const
{
    QStringList what;
    for (const Pending& p : m_pending)
        if (!what.contains(p.what))
            what << p.what;
    return what.isEmpty() ? QString()
                          : QStringLiteral("the acknowledgement of ") + what.join(QStringLiteral(", "));
}

std::optional<ClientSession::Refusal> ClientSession::takeRefusal()
{
    if (m_refusals.empty())
        return std::nullopt;
    Refusal r = m_refusals.front();
    m_refusals.pop_front();
    return r;
}

} // namespace tqdt::rfc2217
