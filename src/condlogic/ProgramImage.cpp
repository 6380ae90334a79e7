#include "condlogic/ProgramImage.h"

namespace tqdt::cnd {

QByteArray ConfigBuffer(const CndDocument& doc)
{
    QByteArray buf(kNotesAddress - kConfigAddress, '\0');
    for (int i = 0; i < kOutputs * kCells; ++i) {
        const int o = i / kCells, c = i % kCells;
        buf[i] = char(quint8(doc.code(o, c)));
        buf[kOutputs * kCells + i] = char(quint8(doc.input(o, c)));
    }
    return buf;
}

namespace {
QByteArray notes(const CndDocument& doc)
{
    return QByteArray(reinterpret_cast<const char*>(doc.NoteBytes.data()), kNoteBytes);
}
} // namespace

QByteArray BuildProgramImage(const CndDocument& doc)
{
    QByteArray image;
    image.reserve(kImageSize);
    for (quint16 entry : doc.ControlArray)
        image.append(char(quint8(entry)));
    image.append(ConfigBuffer(doc));
    image.append(notes(doc));
    return image;
}

QByteArray DownloadChecksum(const CndDocument& doc) { return ProgramChecksumText(BuildProgramImage(doc)); }

QByteArray UploadChecksum(const CndDocument& doc)
{
    QByteArray n = notes(doc);
    n[kNoteBytes - 1] = '\0';
    return ProgramChecksumText(ConfigBuffer(doc) + n);
}

} // namespace tqdt::cnd
