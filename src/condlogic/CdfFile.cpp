#include "condlogic/CdfFile.h"

#include "documents/SafeFile.h"

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
    QByteArray bytes;
    if (const FileResult r =
            ReadDocumentFile(path, kCdfSize, QStringLiteral("a conditional data file"), bytes);
        !r)
        return r;
    return FileResult::failed(path, CdfParse(bytes, doc));
}

FileResult CdfWrite(const QString& path, const CndDocument& doc)
{
    // A file that Open would refuse is never written: the foreign cells must be redrawn first.
    if (const QString foreign = ForeignCellProblem(doc); !foreign.isEmpty())
        return FileResult::failed(
            path, QStringLiteral("Not saved: %1 Draw over the cells marked as foreign, then save again.")
                      .arg(foreign));
    return SaveDocumentFile(path, CdfBytes(doc));
}

} // namespace tqdt::cnd
