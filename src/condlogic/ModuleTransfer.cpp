#include "condlogic/ModuleTransfer.h"

#include "bus/BusLink.h"
#include "condlogic/ProgramImage.h"
#include "documents/Settings.h"
#include "host/Host.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace tqdt::cnd {

namespace {
const QString kBusLine = QStringLiteral("38400,n,8,1");
const QString kProgrammingLine = QStringLiteral("115200,n,8,1");
const QByteArray kStartFrame = "[10000000000000000]";
const QByteArray kImageChecksumFrame = "[60000000000000000]";
const QByteArray kConfigChecksumFrame = "[70000000000000000]";
constexpr ExchangeOptions kOnce{.emptyAgain = false};
const int kBlockReplyLen = BusFrameShape(shape::ModuleRead).replyLength;

// The programming frames differ in their command digit, "[1" to "[8", and so do their rows.
const FrameShape& programmingRow(const QByteArray& frame)
{
    const int digit = frame.size() > 1 ? frame[1] - '1' : -1;
    Q_ASSERT(digit >= 0 && digit <= shape::ModuleRead - shape::ModuleStart);
    return BusFrameShape(shape::ModuleStart + std::clamp(digit, 0, shape::ModuleRead - shape::ModuleStart));
}

QString blockText(int block, int of) { return QStringLiteral("Block %1 of %2").arg(block).arg(of); }
} // namespace

ModuleTransfer::ModuleTransfer(Host& host, TransferView view) : m_host(host), m_view(std::move(view)) {}

void ModuleTransfer::show(const QString& text) { m_view.setLabel(text); }

bool ModuleTransfer::WSCom07()
{
    return BusLink(m_host).exchange(BusFrameShape(shape::ModuleConnect), "[200700--]", kOnce);
}

bool ModuleTransfer::WSCom04()
{
    // On the channel the connection check selected; nothing answers it.
    BusLink(m_host).send("[2004A1--]");
    m_host.Delay(kSwitchWaitMs);
    return true;
}

bool ModuleTransfer::WSComPrg(const QByteArray& frame) { return request(frame).has_value(); }

std::optional<QByteArray> ModuleTransfer::request(const QByteArray& frame)
{
    BusLink link(m_host);
    if (!link.exchange(programmingRow(frame), frame, kOnce))
        return std::nullopt;
    return link.reply();
}

bool ModuleTransfer::reopen(const QString& settings)
{
    if (!ReopenPort(m_host, m_host.comQV(), settings))
        return false;
    BusLink(m_host).select(Channel::Blue);
    return true;
}

Step ModuleTransfer::OpenForProgramming()
{
    if (!reopen(kBusLine))
        return Step::portFailed();
    if (!WSCom07())
        return Step::failed(kNoConnection);
    WSCom04();
    return reopen(kProgrammingLine) ? Step::done() : Step::portFailed();
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

BlockTransfer::Plan ModuleTransfer::plan(int blocks)
{
    BlockTransfer::Plan p;
    p.blocks = blocks;
    p.prepare = [this, blocks] {
        show(blockText(0, blocks));
        return OpenForProgramming();
    };
    p.finish = [this] {
        CloseAfterProgramming();
        m_view.hideAll();
    };
    return p;
}

TransferResult ModuleTransfer::run(const BlockTransfer::Plan& plan)
{
    return BlockTransfer(m_host).run(plan);
}

std::optional<QByteArray> ModuleTransfer::deviceChecksum(const QByteArray& request)
{
    show(QStringLiteral("Device Checksum"));
    // Only a reply to this very request counts: an older text must never pass for a verdict.
    const std::optional<QByteArray> reply = this->request(request);
    if (!reply)
        return std::nullopt;
    return Mid(*reply, 2, 16);
}

namespace {
// A module that did not answer the connection check has not said so yet.
BlockTransfer::Message connectionMessage(int code)
{
    if (code == ModuleTransfer::kNoConnection)
        return {QStringLiteral("Unable to connect to device."), QStringLiteral("Error"), MsgIcon::Critical};
    return {};
}
} // namespace

void ModuleTransfer::verifyAndReport(BlockTransfer::Plan& p, std::function<QByteArray()> hostChecksum,
                                     const QByteArray& request, const BlockTransfer::Message& verified,
                                     const BlockTransfer::Message& failed)
{
    p.verify = [this, hostChecksum = std::move(hostChecksum), request] {
        show(QStringLiteral("Host Checksum"));
        const QByteArray host = hostChecksum();
        return BlockTransfer::compare(host, deviceChecksum(request), kFailed, kFailed);
    };
    p.messages.verified = verified;
    p.messages.failed = [failed](int code) { return code == kFailed ? failed : connectionMessage(code); };
}

TransferResult ModuleTransfer::Download(const QByteArray& image)
{
    Q_ASSERT(image.size() == kImageSize);
    BlockTransfer::Plan p = plan(kImageBlocks);
    // A lost reply costs its wait and the transfer goes on; a module that has stopped answering
    // would cost 3 s for each of the thousands of frames left, so a run of lost replies ends it.
    auto unanswered = std::make_shared<int>(0);
    auto send = [this, unanswered](const QByteArray& frame) {
        *unanswered = WSComPrg(frame) ? 0 : *unanswered + 1;
        return *unanswered < kUnansweredLimit;
    };
    p.prepare = [connect = p.prepare, send] {
        const Step s = connect();
        if (s.ok && !send(kStartFrame))
            return Step::failed(kFailed);
        return s;
    };
    constexpr int arrayBlocks = kConfigAddress / 32;
    p.progress = [this](int block) {
        // The counter is repainted every 16 blocks of the control array and every 8 after it.
        if (block % (block < arrayBlocks ? 16 : 8) == 0)
            show(blockText(block, kImageBlocks));
    };
    p.block = [&image, send](int block) {
        if (block * 32 + 32 <= image.size())
            for (int q = 0; q < 4; ++q)
                if (!send(DataFrame(q, image.constData() + block * 32 + q * 8)))
                    return Step::failed(kFailed);
        return Step::done(); // the module's acknowledgements carry nothing else to check
    };
    verifyAndReport(p, [&image] { return ProgramChecksumText(image); }, kImageChecksumFrame,
                    {QStringLiteral("Download Complete.\r\nPower Cycle Device."), QStringLiteral("Download"),
                     MsgIcon::Information},
                    {QStringLiteral("Download Failed.\r\nDevice Will NOT Function Properly."),
                     QStringLiteral("Download Failure"), MsgIcon::Critical});
    return run(p);
}

TransferResult ModuleTransfer::Upload(CndDocument& doc, const std::function<void()>& onFailure)
{
    BlockTransfer::Plan p = plan(kUploadBlocks);
    p.progress = [this](int m) { show(blockText(m, kUploadBlocks)); };
    p.block = [this, &doc](int m) {
        // Without this block's reply the upload cannot verify; the rest would only cost waits.
        const std::optional<QByteArray> reply = request(ReadFrame(m));
        if (!reply)
            return Step::failed(kFailed);
        const QByteArray& text = *reply;
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
        return Step::done();
    };
    verifyAndReport(p, [&doc] { return UploadChecksum(doc); }, kConfigChecksumFrame,
                    {QStringLiteral("Upload Complete.\r\nPower Cycle Device."), QStringLiteral("Upload"),
                     MsgIcon::Information},
                    {QStringLiteral("Upload Failed.\r\nHost Program Cleared."),
                     QStringLiteral("Upload Failure"), MsgIcon::Critical});
    p.afterFailure = [&onFailure](const BlockTransfer::Result& r) {
        if (r.code == kFailed && onFailure)
            onFailure();
    };
    return run(p);
}

namespace {
bool wholeBlock(const QByteArray& text)
{
    if (text.size() < kBlockReplyLen || text[0] != '[')
        return false;
    for (int i = 1; i < kBlockReplyLen - 1; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}
} // namespace

TransferResult ModuleTransfer::ReadControlArray(QByteArray& bytes, const QString& failureText,
                                                const QString& failureTitle, int* failedBlock)
{
    bytes.clear();
    bytes.reserve(kArrayReadBlocks * 256);
    auto lost = std::make_shared<int>(-1);
    BlockTransfer::Plan p = plan(kArrayReadBlocks);
    p.progress = [this](int n) { show(blockText(n, kArrayReadBlocks)); };
    p.block = [this, &bytes, lost](int n) {
        // Only a whole reply to this very read counts: zeros in place of a lost block would pass for
        // the module's own data.
        const std::optional<QByteArray> reply = request(ReadFrameAt(n * 256));
        if (!reply || !wholeBlock(*reply)) {
            *lost = n;
            return Step::failed(kFailed);
        }
        for (int i = 0; i < 256; ++i)
            bytes.append(char(HexVal2(Mid(*reply, 2 + 2 * i, 2))));
        return Step::done();
    };
    p.verify = [] { return Step::done(); };
    p.messages.failed = [lost, failureText, failureTitle](int code) {
        if (code == kFailed)
            return BlockTransfer::Message{failureText.arg(*lost), failureTitle, MsgIcon::Critical};
        return connectionMessage(code);
    };
    const TransferResult r = run(p);
    if (failedBlock)
        *failedBlock = *lost;
    if (!r.verified())
        bytes.clear();
    return r;
}

} // namespace tqdt::cnd
