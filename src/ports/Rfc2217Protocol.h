#pragma once

#include "ports/SerialPort.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <deque>
#include <optional>

namespace tqdt::rfc2217 {

// How far to trust a server. Many device servers never answer a control-line change or a purge
// (one serving a pseudo-terminal cannot: it has no modem lines), so a technician may tell us not
// to wait for those answers.
struct Options {
    bool ignSetControl = false; // do not expect acknowledgements of DTR, RTS and flow control
    bool ignPurge = false;      // do not expect acknowledgements of a purge
    int timeoutMs = 3000;       // how long opening waits for the server's answers
};

// "rfc2217://HOST:PORT[?option&option...]" with the options ign_set_control, ign_purge and
// timeout=SECONDS.
struct Address {
    QString host;
    quint16 port = 0;
    Options options;
};
bool isAddress(const QString& name);
// Nothing when the text is not a usable address; *why then says what is wrong.
std::optional<Address> parseAddress(const QString& name, QString* why = nullptr);

// The client side of a Telnet connection with the COM-PORT-OPTION: bytes from the server go in,
// the serial data and the answers the server is owed come out. It never touches a socket, so every
// negotiation, split read and missing acknowledgement can be tried on a table of bytes.
class ClientSession {
public:
    explicit ClientSession(Options options = {});

    const Options& options() const { return m_options; }

    // The opening offers: the COM-PORT-OPTION, binary transmission and suppressed go-ahead.
    QByteArray hello();
    // Serial data as it goes on the wire (IAC doubled; a CR followed by NUL until binary is agreed).
    QByteArray data(const QByteArray& bytes) const;
    // The four subnegotiations of a line setting.
    QByteArray lineSettings(const LineSettings& line);
    QByteArray setDtr(bool on);
    QByteArray setRts(bool on);
    QByteArray setNoFlowControl();
    // Empties the server's receive buffer. Until the server confirms, whatever arrives left the
    // device before the purge and is dropped.
    QByteArray purgeReceive();

    // Takes bytes from the server; returns the serial data they carry.
    QByteArray feed(const QByteArray& bytes);
    // Negotiation answers owed to the server since the last call.
    QByteArray takeAnswers();

    bool comPortAgreed() const { return m_comPortAgreed; }
    bool comPortRefused() const { return m_comPortRefused; }
    // True while the server owes an acknowledgement we wait for.
    bool waiting() const { return !m_pending.empty(); }
    // True while an acknowledgement of this command is owed (CmdControl, CmdPurge, ...).
    bool owes(quint8 command) const;
    // What the server still owes, as words for a log line: "the acknowledgement of DTR on".
    QString waitingFor() const;
    // Acknowledgements that reported another value than the one asked for, oldest first.
    struct Refusal {
        bool lineSetting; // baud, data bits, parity or stop bits: the line would run wrong
        QString text;
    };
    std::optional<Refusal> takeRefusal();

    // Option and command codes, as they go on the wire.
    enum : quint8 {
        IAC = 255,
        DONT = 254,
        DO = 253,
        WONT = 252,
        WILL = 251,
        SB = 250,
        SE = 240,
        NOP = 241,
        OptBinary = 0,
        OptEcho = 1,
        OptSga = 3,
        OptComPort = 44,
        CmdBaud = 1,
        CmdDataSize = 2,
        CmdParity = 3,
        CmdStopSize = 4,
        CmdControl = 5,
        CmdPurge = 12,
        ServerOffset = 100,
    };

private:
    struct Pending {
        quint8 command;
        QByteArray value;
        QString what;
    };
    QByteArray subnegotiation(quint8 command, const QByteArray& value, const QString& what, bool awaited);
    void onNegotiation(quint8 verb, quint8 option);
    void onSubnegotiation(const QByteArray& body);
    void answer(quint8 verb, quint8 option);

    Options m_options;
    // Telnet's option states, per side: 0 off, 1 asked for, 2 agreed.
    std::array<quint8, 256> m_us{};
    std::array<quint8, 256> m_them{};
    bool m_comPortAgreed = false;
    bool m_comPortRefused = false;

    enum class State { Data, Iac, Verb, Sb, SbIac };
    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sb;
    bool m_lastWasCr = false;

    std::deque<Pending> m_pending;
    std::deque<Refusal> m_refusals;
    QByteArray m_answers;
};

} // namespace tqdt::rfc2217
