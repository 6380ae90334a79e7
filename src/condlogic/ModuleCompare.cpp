#include "condlogic/ModuleCompare.h"

#include "shell/FrameCodec.h"
#include "shell/Host.h"

#include <QStringList>

#include <cctype>

namespace tqdt::cnd {

namespace {
constexpr int kBlockBytes = 256;
constexpr int kBlockReplyLen = 2 + 2 * kBlockBytes;

bool wholeBlock(const QByteArray& text)
{
    if (text.size() < kBlockReplyLen || text[0] != '[')
        return false;
    for (int i = 1; i < kBlockReplyLen - 1; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

QString onInputs(quint16 pattern)
{
    QStringList names;
    for (int n = 0; n < kInputs; ++n)
        if ((pattern >> n) & 1)
            names << (n < 8 ? QStringLiteral("I%1").arg(n + 1) : QStringLiteral("P%1").arg(n - 7));
    return names.isEmpty() ? QStringLiteral("all inputs off") : names.join(QLatin1Char(' ')) + " on";
}
} // namespace

ArrayComparison CompareControlArrays(const QByteArray& module, const ControlArrayT& compiled, int keep)
{
    ArrayComparison cmp;
    for (int p = 0; p < kPatterns; ++p) {
        const quint8 m = p < module.size() ? quint8(module[p]) : 0;
        const quint8 diff = quint8(m ^ quint8(compiled[size_t(p)]));
        if (!diff)
            continue;
        for (int o = 0; o < kOutputs; ++o) {
            if (!((diff >> o) & 1))
                continue;
            OutputDifference& d = cmp[size_t(o)];
            if (d.patterns++ < keep) {
                d.first.push_back(quint16(p));
                d.moduleOn.push_back((m >> o) & 1);
            }
        }
    }
    return cmp;
}

QString ComparisonText(const ArrayComparison& cmp)
{
    QStringList lines;
    for (int o = 0; o < kOutputs; ++o) {
        const OutputDifference& d = cmp[size_t(o)];
        if (d.equal()) {
            lines << QStringLiteral("QV Input %1: Equal").arg(o + 1);
            continue;
        }
        lines << QStringLiteral("QV Input %1: Differs In %2 Of %3 Patterns")
                     .arg(o + 1)
                     .arg(d.patterns)
                     .arg(kPatterns);
        for (size_t i = 0; i < d.first.size(); ++i)
            lines << QStringLiteral("    Pattern %1 (%2): module %3, drawing %4")
                         .arg(QString::number(d.first[i], 16).toUpper().rightJustified(4, QLatin1Char('0')),
                              onInputs(d.first[i]),
                              d.moduleOn[i] ? QStringLiteral("On") : QStringLiteral("Off"),
                              d.moduleOn[i] ? QStringLiteral("Off") : QStringLiteral("On"));
    }
    return lines.join(QStringLiteral("\r\n"));
}

ArrayRead ReadControlArray(ModuleTransfer& transfer, Host& host)
{
    ArrayRead r;
    r.result = transfer.connect(QStringLiteral("Block 0 of %1").arg(kArrayReadBlocks));
    if (r.result != TransferResult::Verified)
        return r;
    r.bytes.reserve(kPatterns);
    for (int block = 0; block < kArrayReadBlocks; ++block) {
        transfer.show(QStringLiteral("Block %1 of %2").arg(block).arg(kArrayReadBlocks));
        const bool replied =
            transfer.WSComPrg(ModuleTransfer::ReadFrameAt(block * kBlockBytes), kBlockReplyLen);
        const QByteArray& text = host.reply.ReplyText;
        // Only a whole reply to this very read counts: zeros in place of a lost block would pass
        // for the module's own data.
        if (!replied || !wholeBlock(text)) {
            r.failedBlock = block;
            r.bytes.clear();
            r.result = transfer.finish(TransferResult::Failed);
            return r;
        }
        for (int i = 0; i < kBlockBytes; ++i)
            r.bytes.append(char(HexVal2(Mid(text, 2 + 2 * i, 2))));
    }
    r.result = transfer.finish(TransferResult::Verified);
    return r;
}

} // namespace tqdt::cnd
