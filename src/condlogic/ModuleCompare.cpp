#include "condlogic/ModuleCompare.h"

#include "bus/FrameCodec.h"
#include "host/Host.h"

#include <QStringList>

namespace tqdt::cnd {

namespace {

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

} // namespace tqdt::cnd
