// Any bytes a device server sends to a port opened through it: the serial data and the answers owed
// do not depend on how the bytes were split over reads, the client only ever answers in whole
// negotiations and agrees only to what it offers, and data sent the client's way comes out as it went
// in.
#include "Reached.h"
#include "ports/Rfc2217Protocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using tqdt::rfc2217::ClientSession;

void require(bool ok)
{
    if (!ok)
        std::abort();
}

// A session as a port leaves it after opening: offers made, the line set, the purge asked for.
void open(ClientSession& s)
{
    (void)s.hello();
    (void)s.lineSettings(tqdt::LineSettings{});
    (void)s.setNoFlowControl();
    (void)s.setDtr(true);
    (void)s.setRts(false);
    (void)s.purgeReceive();
}

struct Seen {
    QByteArray data, answers;
    bool agreed, refused, waiting;
    QString waitingFor;
    QStringList refusals;
};

Seen after(ClientSession& s, const QByteArray& data)
{
    Seen seen{data, s.takeAnswers(), s.comPortAgreed(), s.comPortRefused(), s.waiting(), s.waitingFor(), {}};
    while (const auto r = s.takeRefusal())
        seen.refusals << QString::number(r->lineSetting) + r->text;
    return seen;
}

// IAC NOP, or IAC with a verb and an option; WILL only for what the client offers (the port option,
// binary, suppressed go-ahead) and DO only for binary and suppressed go-ahead.
void checkAnswers(const QByteArray& answers)
{
    qsizetype i = 0;
    while (i < answers.size()) {
        require(quint8(answers[i]) == ClientSession::IAC && i + 1 < answers.size());
        const quint8 verb = quint8(answers[i + 1]);
        if (verb == ClientSession::NOP) {
            i += 2;
            continue;
        }
        require(i + 2 < answers.size());
        const quint8 option = quint8(answers[i + 2]);
        const bool offered = option == ClientSession::OptComPort || option == ClientSession::OptBinary ||
                             option == ClientSession::OptSga;
        switch (verb) {
        case ClientSession::WILL: require(offered); break;
        case ClientSession::DO: require(offered && option != ClientSession::OptComPort); break;
        case ClientSession::WONT:
        case ClientSession::DONT: break;
        default: require(false);
        }
        i += 3;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tqdt::fuzz::Reached<2> reached("fuzz_rfc2217",
                                          {"with the port option agreed", "with every acknowledgement in"});
    reached.input();
    if (size < 2)
        return 0;
    // The first byte: which answers the technician said not to wait for; the second: where to cut.
    tqdt::rfc2217::Options options;
    options.ignSetControl = data[0] & 1;
    options.ignPurge = data[0] & 2;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const qsizetype cut = bytes.isEmpty() ? 0 : data[1] * bytes.size() / 256;

    ClientSession whole(options);
    open(whole);
    (void)whole.takeAnswers();
    const Seen one = after(whole, whole.feed(bytes));

    ClientSession split(options);
    open(split);
    (void)split.takeAnswers();
    QByteArray serial = split.feed(bytes.left(cut));
    QByteArray answers = split.takeAnswers();
    serial += split.feed(bytes.mid(cut));
    Seen two = after(split, serial);
    two.answers.prepend(answers);

    require(one.data == two.data && one.answers == two.answers && one.agreed == two.agreed &&
            one.refused == two.refused && one.waiting == two.waiting && one.waitingFor == two.waitingFor &&
            one.refusals == two.refusals);
    require(one.data.size() <= bytes.size());
    checkAnswers(one.answers);

    // Serial data as the client would put it on the wire, read by a client in the same state.
    ClientSession sender(options), receiver(options);
    require(receiver.feed(sender.data(bytes)) == bytes);

    if (one.agreed)
        reached.stage(0);
    if (one.agreed && !one.waiting)
        reached.stage(1);
    return 0;
}
