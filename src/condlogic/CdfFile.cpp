#include "condlogic/CdfFile.h"

#include "shell/SafeFile.h"

#include <QFile>

namespace tqdt::cnd {

namespace {
constexpr int kArrayBytes = kOutputs * kCells * 2;

qint16 readLe16(const QByteArray& b, int at) { return qint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
void writeLe16(QByteArray& b, int at, qint16 v)
{
    b[at] = char(quint16(v) & 0xFF);
    b[at + 1] = char(quint16(v) >> 8);
}
} // namespace

QByteArray CdfBytes(const CndDocument& doc)
{
    QByteArray b(kCdfSize, '\0');
    for (int i = 0; i < kOutputs * kCells; ++i) {
        writeLe16(b, i * 2, doc.SegType[size_t(i)]);
        writeLe16(b, kArrayBytes + i * 2, doc.SegInput[size_t(i)]);
    }
    std::copy(doc.NoteBytes.begin(), doc.NoteBytes.end(), b.begin() + 2 * kArrayBytes);
    return b;
}

namespace {
// What is wrong with one cell's values, as a sentence; empty when a diagram can hold them.
QString cellProblem(int i, qint16 code, qint16 input)
{
    const int o = i % kOutputs, c = i / kOutputs;
    const auto where = QStringLiteral("QV Input %1, cell %2 (row %3, column %4)")
                           .arg(o + 1)
                           .arg(c)
                           .arg(c / kColumns + 1)
                           .arg(c % kColumns + 1);
    if (code < 0 || code > 15)
        return QStringLiteral("%1 has segment code %2; codes run from 0 to 15.").arg(where).arg(code);
    if (input < 0 || input > 15)
        return QStringLiteral("%1 has input %2; inputs run from 0 to 15.").arg(where).arg(input);
    return {};
}
} // namespace

QString CdfParse(const QByteArray& bytes, CndDocument& doc)
{
    if (bytes.size() != kCdfSize)
        return QStringLiteral("The file holds %1 bytes; a conditional data file holds %2.")
            .arg(bytes.size())
            .arg(kCdfSize);
    CndDocument::CellArray types{}, inputs{};
    for (int i = 0; i < kOutputs * kCells; ++i) {
        types[size_t(i)] = readLe16(bytes, i * 2);
        inputs[size_t(i)] = readLe16(bytes, kArrayBytes + i * 2);
        if (QString problem = cellProblem(i, types[size_t(i)], inputs[size_t(i)]); !problem.isEmpty())
            return problem;
    }
    doc.SegType = types;
    doc.SegInput = inputs;
    std::copy(bytes.begin() + 2 * kArrayBytes, bytes.end(), doc.NoteBytes.begin());
    return {};
}

QString ForeignCellProblem(const CndDocument& doc)
{
    for (int i = 0; i < kOutputs * kCells; ++i)
        if (QString problem = cellProblem(i, doc.SegType[size_t(i)], doc.SegInput[size_t(i)]);
            !problem.isEmpty())
            return problem;
    return {};
}

FileResult CdfRead(const QString& path, CndDocument& doc)
{
    // A named pipe or a device would block the read or never end; only regular files are documents.
    if (const QString notFile = NotARegularFile(path); !notFile.isEmpty())
        return FileResult::failed(path, QStringLiteral("The file cannot be opened: %1.").arg(notFile));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return FileResult::failed(path,
                                  QStringLiteral("The file cannot be opened: %1.").arg(f.errorString()));
    // One byte more than a good file, so that a longer file shows as such.
    const QByteArray bytes = f.read(kCdfSize + 1);
    if (f.error() != QFileDevice::NoError)
        return FileResult::failed(path, QStringLiteral("The file cannot be read: %1.").arg(f.errorString()));
    if (bytes.size() > kCdfSize)
        return FileResult::failed(
            path, QStringLiteral("The file holds more than %1 bytes; a conditional data file holds %1.")
                      .arg(kCdfSize));
    return FileResult::failed(path, CdfParse(bytes, doc));
}

FileResult CdfWrite(const QString& path, const CndDocument& doc)
{
    // A file that Open would refuse is never written: the foreign cells must be redrawn first.
    if (const QString foreign = ForeignCellProblem(doc); !foreign.isEmpty())
        return FileResult::failed(
            path, QStringLiteral("Not saved: %1 Draw over the cells marked as foreign, then save again.")
                      .arg(foreign));
    if (const QString why = SaveFileAtomically(path, CdfBytes(doc)); !why.isEmpty())
        return FileResult::failed(path, QStringLiteral("The file cannot be written: %1.").arg(why));
    return FileResult::done(path);
}

} // namespace tqdt::cnd
