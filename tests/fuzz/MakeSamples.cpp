// Writes the starting corpus of the harnesses that read a document or a stream: one valid input each,
// made by the program's own writers, so that a run starts inside the reader (past the size check of a
// document, inside the negotiation of a session) instead of spending its seconds finding the size.
//
//   make_fuzz_samples DIR    writes DIR/fuzz_NAME/... for every harness that has a sample
#include "bus/FrameCodec.h"
#include "bus/FrameShapes.h"
#include "condlogic/CdfFile.h"
#include "condlogic/MpdFile.h"
#include "dmx/DmxMap.h"
#include "documents/PrivateProfile.h"
#include "documents/SafeFile.h"
#include "gateway/GatewayImage.h"
#include "ports/Rfc2217Protocol.h"
#include "support/DiagramGen.h"

#include <QDir>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace tqdt;

namespace {

QString g_root;

QString place(const char* harness, const char* file)
{
    const QString dir = QDir(g_root).filePath(QString::fromLatin1(harness));
    QDir().mkpath(dir);
    return QDir(dir).filePath(QString::fromLatin1(file));
}

bool check(const FileResult& r, const char* what)
{
    if (!r)
        std::fprintf(stderr, "make_fuzz_samples: %s: %s\n", what, qPrintable(r.line()));
    return bool(r);
}

bool writeBytes(const char* harness, const char* file, const QByteArray& bytes)
{
    const QString problem = SaveFileAtomically(place(harness, file), bytes);
    if (!problem.isEmpty())
        std::fprintf(stderr, "make_fuzz_samples: %s: %s\n", file, qPrintable(problem));
    return problem.isEmpty();
}

// A drawn diagram with notes, as the editor saves it.
bool conditionalData()
{
    auto doc = std::make_unique<cnd::CndDocument>(cnd::RandomDocument(2026));
    const char note[] = "Output 1: corridor lights follow the door contact.";
    std::memcpy(doc->NoteBytes.data(), note, sizeof note);
    return check(cnd::CdfWrite(place("fuzz_cdf", "SAMPLE.CDF"), *doc), "SAMPLE.CDF");
}

bool profiles()
{
    cnd::ProfileTable table{};
    for (int i = 0; i < cnd::kProfiles; ++i)
        table[size_t(i)] = quint8((i * 37 + 11) & 0xFF);
    return check(cnd::MpdWrite(place("fuzz_mpd", "SAMPLE.MPD"), table), "SAMPLE.MPD");
}

// Points of every type, multi-relay bits and both banks in use.
bool gatewayMap()
{
    auto image = std::make_unique<gw::GatewayImage>();
    for (int p = 0; p < 64; ++p) {
        image->SetPointType(p, qint16(p % 4));
        image->SetPointNode(p, qint16(p + 1));
        image->SetPointUnit(p, qint16(p % 8));
        image->SetPointNumber(p, qint16(p % 16));
    }
    for (int n = 0; n < 16; ++n)
        image->SetMultiRelay(n % 4, n, n % 8, true);
    image->SetResend(3);
    image->SetTimeoutMode(1);
    for (int a = 0; a < gw::kBankSize; a += 257)
        image->WriteImageByte(1, a, qint16(a & 0xFF));
    return check(gw::MgwWrite(place("fuzz_mgw", "SAMPLE.MGW"), *image), "SAMPLE.MGW");
}

bool dmxMap()
{
    dmx::DmxMap map;
    for (int i = 0; i < dmx::kChannels; i += 3)
        map.channel(i) = qint16((i / 3) % 64);
    map.SetDeviceAddress(5);
    return check(dmx::QdmWrite(place("fuzz_qdm", "SAMPLE.QDM"), map), "SAMPLE.QDM");
}

// A reply of the length a request waits for, with a valid checksum where its family has one.
QByteArray replyFor(const FrameShape& s)
{
    const int n = s.replyLength;
    if (!s.replyIsFrame)
        return QByteArray(qMax(n, 1), 'K');
    if (n < 4)
        return "[" + QByteArray(qMax(n - 2, 0), '0') + "]";
    const QByteArray data(n - 4, '1');
    if (s.family == FrameFamily::Network) {
        const QByteArray frame = "[" + Hex2(qint16(NetChecksum(data))) + data + "]";
        if (FrameChecksumValid(s.family, frame))
            return frame;
    } else if (s.family == FrameFamily::Device) {
        const QByteArray frame = SealDevFrame("[" + data);
        if (frame.size() == n)
            return frame;
    }
    return "[" + QByteArray(n - 2, '0') + "]";
}

// Every request the tool sends, each followed by a reply of the length it waits for, with noise
// between some of them as a monitor sees it.
bool busTraffic()
{
    QByteArray traffic;
    int row = 0;
    for (const FrameShape& s : BusFrameShapes()) {
        const QByteArray data(s.dataDigits, '0');
        QByteArray request;
        switch (s.family) {
        case FrameFamily::Network: request = BuildNetFrame(qint16(row % 64 + 1), s.command + data); break;
        case FrameFamily::Device:
            request = BuildDevFrame(s.deviceClass, qint16(row % 32), s.command + data);
            break;
        case FrameFamily::Bare: request = "[" + QByteArray(s.command) + data + "]"; break;
        }
        traffic += request;
        if (s.replyLength > 0)
            traffic += replyFor(s);
        if (row % 7 == 3)
            traffic += QByteArray("\x00\xFF~", 3);
        ++row;
    }
    // The harness reads the line the port was on from the first byte: Blue, Brown, or not known.
    bool ok = true;
    for (const char* line : {"blue", "brown", "any"}) {
        const char which = char(std::strcmp(line, "blue") == 0 ? 0 : std::strcmp(line, "brown") == 0 ? 1 : 2);
        const QByteArray name = QByteArray("traffic-") + line + ".bin";
        ok &= writeBytes("fuzz_frames", name.constData(), which + traffic);
    }
    return ok;
}

// A device server that grants everything: its offers, the acknowledgements of what the client asks
// when it opens a port (the client's own requests with the server's command numbers), then data with
// a doubled IAC and plain Telnet's CR NUL.
bool serverAnswers()
{
    using S = rfc2217::ClientSession;
    S client;
    QByteArray asked = client.lineSettings(LineSettings{});
    asked += client.setNoFlowControl();
    asked += client.setDtr(true);
    asked += client.setRts(false);
    asked += client.purgeReceive();
    QByteArray acks;
    for (qsizetype i = 0; i < asked.size(); ++i) {
        if (i + 3 < asked.size() && quint8(asked[i]) == S::IAC && quint8(asked[i + 1]) == S::SB &&
            quint8(asked[i + 2]) == S::OptComPort) {
            acks += asked.mid(i, 3);
            acks += char(quint8(asked[i + 3]) + S::ServerOffset);
            i += 3;
            continue;
        }
        acks += asked[i];
    }
    const auto verb = [](quint8 v, quint8 option) {
        const char bytes[] = {char(S::IAC), char(v), char(option)};
        return QByteArray(bytes, 3);
    };
    QByteArray stream = verb(S::DO, S::OptComPort) + verb(S::WILL, S::OptSga) + verb(S::DO, S::OptSga) +
                        verb(S::WILL, S::OptEcho) + acks;
    stream += QByteArray("[0155PR]\r\0x", 11) + char(S::IAC) + char(S::IAC) + "y";
    stream += verb(S::WILL, S::OptBinary) + verb(S::DO, S::OptBinary) + QByteArray("\r\0z", 3);
    // The harness reads from the first two bytes which answers not to wait for (none) and where to
    // split the stream (in the middle).
    return writeBytes("fuzz_rfc2217", "server.bin", QByteArray("\x00\x80", 2) + stream);
}

// The settings file as the tool writes it, with a section of another program before it, behind what
// the harness reads first: the key to write, another key to look at and the value.
bool settingsFile()
{
    const QString path = QDir(g_root).filePath(QStringLiteral("DiagnosticTool.ini"));
    QFile::remove(path);
    bool ok = WritePrivateProfileStringA(QStringLiteral("Ports"), QStringLiteral("COM1"),
                                         QStringLiteral("/dev/ttyS0"), path);
    ok = ok && WritePrivateProfileStringA(QStringLiteral("Settings"), QStringLiteral("DT Com Port"),
                                          QStringLiteral("3"), path);
    ok = ok && WritePrivateProfileStringA(QStringLiteral("Settings"), QStringLiteral("BT Com Port"),
                                          QStringLiteral("12"), path);
    QFile f(path);
    if (!ok || !f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_fuzz_samples: DiagnosticTool.ini not written\n");
        return false;
    }
    static const char kFields[] = "Settings\0DT Com Port\0Ports\0COM1\0"
                                  "5";
    const QByteArray fields(kFields, sizeof kFields); // the last NUL ends the value
    const QByteArray file = f.readAll();
    f.close();
    QFile::remove(path);
    return writeBytes("fuzz_profile", "settings.bin", fields + file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || !*argv[1]) {
        std::fprintf(stderr, "usage: make_fuzz_samples DIR\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    // Every sample is written even when one fails, so the message names each that did.
    bool ok = true;
    for (bool (*write)() :
         {conditionalData, profiles, gatewayMap, dmxMap, busTraffic, serverAnswers, settingsFile})
        ok = write() && ok;
    return ok ? 0 : 1;
}
