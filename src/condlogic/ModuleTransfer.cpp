#include "condlogic/ModuleTransfer.h"

#include "condlogic/ProgramImage.h"
#include "shell/FrameCodec.h"
#include "shell/Host.h"
#include "shell/Settings.h"

namespace tqdt::cnd {

namespace {
const QString kBusLine = QStringLiteral("38400,n,8,1");
const QString kProgrammingLine = QStringLiteral("115200,n,8,1");
const QByteArray kStartFrame = "[10000000000000000]";
const QByteArray kImageChecksumFrame = "[60000000000000000]";
const QByteArray kConfigChecksumFrame = "[70000000000000000]";
constexpr int kAckLen = 2;
constexpr int kChecksumLen = 18;
constexpr int kBlockReplyLen = 514;
constexpr ExchangeOptions kOnce{.emptyAgain = false};

QString blockText(int block, int of) { return QStringLiteral("Block %1 of %2").arg(block).arg(of); }
} // namespace

ModuleTransfer::ModuleTransfer(Host& host, Progress progress) : m_host(host), m_progress(std::move(progress))
{
}

void ModuleTransfer::show(const QString& text)
{
    if (m_progress)
        m_progress(text);
}

bool ModuleTransfer::WSCom07()
{
    return Exchange(m_host, Channel::Blue, "[200700--]", 8, kConnectLimitMs, kOnce);
}

bool ModuleTransfer::WSCom04()
{
    EmptyReceiveBuffer(m_host);
    m_host.comQV().output("[2004A1--]");
    m_host.Delay(kSwitchWaitMs);
    return true;
}

bool ModuleTransfer::WSComPrg(const QByteArray& frame, int count)
{
    return Exchange(m_host, Channel::Blue, frame, count, kFrameLimitMs, kOnce);
}

bool ModuleTransfer::reopen(const QString& settings)
{
    SerialPort& port = m_host.comQV();
    if (port.isOpen())
        port.close();
    port.setSettings(settings);
    if (!port.open()) {
        m_host.dialogs().message(QStringLiteral("Unable To Open Port"), QStringLiteral("Port Error"),
                                 MsgIcon::Critical);
        return false;
    }
    SelectBlueChannel(m_host);
    return true;
}

TransferResult ModuleTransfer::OpenForProgramming()
{
    if (!reopen(kBusLine))
        return TransferResult::PortError;
    if (!WSCom07())
        return TransferResult::NoConnection;
    WSCom04();
    return reopen(kProgrammingLine) ? TransferResult::Verified : TransferResult::PortError;
}

void ModuleTransfer::CloseAfterProgramming()
{
    m_host.comQV().close();
    m_host.comQV().setSettings(kBusLine);
}

QByteArray ModuleTransfer::DataFrame(int quarter, const char* bytes)
{
    QByteArray f = '[' + QByteArray::number(2 + quarter);
    for (int i = 0; i < 8; ++i)
        f += Hex2(quint8(bytes[i]));
    return f + ']';
}

QByteArray ModuleTransfer::ReadFrameAt(int address)
{
    return "[8" + QByteArray::number(address, 16).toUpper().rightJustified(16, '0') + ']';
}

QByteArray ModuleTransfer::ReadFrame(int block) { return ReadFrameAt(kConfigAddress + block * 256); }

TransferResult ModuleTransfer::connect(const QString& firstLabel)
{
    show(firstLabel);
    const TransferResult r = OpenForProgramming();
    if (r == TransferResult::Verified)
        return r;
    // A port that failed to open has already said so.
    if (r == TransferResult::NoConnection)
        m_host.dialogs().message(QStringLiteral("Unable to connect to device."), QStringLiteral("Error"),
                                 MsgIcon::Critical);
    return finish(r);
}

bool ModuleTransfer::deviceAgrees(const QByteArray& hostChecksum, const QByteArray& request)
{
    show(QStringLiteral("Device Checksum"));
    // Only a reply to this very request counts: an older text must never pass for a verdict.
    const bool replied = WSComPrg(request, kChecksumLen);
    return replied && Mid(m_host.reply.ReplyText, 2, 16) == hostChecksum;
}

TransferResult ModuleTransfer::finish(TransferResult r)
{
    CloseAfterProgramming();
    show({});
    return r;
}

TransferResult ModuleTransfer::Download(const QByteArray& image)
{
    Q_ASSERT(image.size() == kImageSize);
    if (const TransferResult r = connect(blockText(0, kImageBlocks)); r != TransferResult::Verified)
        return r;
    // A lost reply costs its wait and the transfer goes on; a module that has stopped answering
    // would cost 3 s for each of the thousands of frames left, so a run of lost replies ends it.
    int unanswered = 0;
    auto send = [&](const QByteArray& frame) {
        unanswered = WSComPrg(frame, kAckLen) ? 0 : unanswered + 1;
        return unanswered < kUnansweredLimit;
    };
    bool answering = send(kStartFrame);
    constexpr int arrayBlocks = kConfigAddress / 32;
    for (int block = 0; answering && block < kImageBlocks && block * 32 + 32 <= image.size(); ++block) {
        // The counter is repainted every 16 blocks of the control array and every 8 after it.
        if (block % (block < arrayBlocks ? 16 : 8) == 0)
            show(blockText(block, kImageBlocks));
        for (int q = 0; answering && q < 4; ++q)
            answering = send(DataFrame(q, image.constData() + block * 32 + q * 8));
    }
    bool ok = false;
    if (answering) {
        show(QStringLiteral("Host Checksum"));
        ok = deviceAgrees(ProgramChecksumText(image), kImageChecksumFrame);
    }
    if (ok)
        m_host.dialogs().message(QStringLiteral("Download Complete.\r\nPower Cycle Device."),
                                 QStringLiteral("Download"), MsgIcon::Information);
    else
        m_host.dialogs().message(QStringLiteral("Download Failed.\r\nDevice Will NOT Function Properly."),
                                 QStringLiteral("Download Failure"), MsgIcon::Critical);
    return finish(ok ? TransferResult::Verified : TransferResult::Failed);
}

TransferResult ModuleTransfer::Upload(CndDocument& doc, const std::function<void()>& onFailure)
{
    if (const TransferResult r = connect(blockText(0, kUploadBlocks)); r != TransferResult::Verified)
        return r;
    bool answering = true;
    for (int m = 0; answering && m < kUploadBlocks; ++m) {
        show(blockText(m, kUploadBlocks));
        // Without this block's reply the upload cannot verify; the rest would only cost waits.
        answering = WSComPrg(ReadFrame(m), kBlockReplyLen);
        if (!answering)
            break;
        const QByteArray& text = m_host.reply.ReplyText;
        for (int i = 0; i < 256; ++i) {
            // A short or missing reply gives zeros for what it lacks.
            const quint8 b = quint8(HexVal2(Mid(text, 2 + 2 * i, 2)));
            if (m < 8)
                doc.setCode(m, i, b);
            else if (m < 16)
                doc.setInput(m - 8, i, b);
            else
                doc.NoteBytes[size_t((m - 16) * 256 + i)] = b;
        }
    }
    bool ok = false;
    if (answering) {
        show(QStringLiteral("Host Checksum"));
        ok = deviceAgrees(UploadChecksum(doc), kConfigChecksumFrame);
    }
    if (ok) {
        m_host.dialogs().message(QStringLiteral("Upload Complete.\r\nPower Cycle Device."),
                                 QStringLiteral("Upload"), MsgIcon::Information);
    } else {
        m_host.dialogs().message(QStringLiteral("Upload Failed.\r\nHost Program Cleared."),
                                 QStringLiteral("Upload Failure"), MsgIcon::Critical);
        if (onFailure)
            onFailure();
    }
    return finish(ok ? TransferResult::Verified : TransferResult::Failed);
}

} // namespace tqdt::cnd
