#pragma once

#include "documents/FileResult.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace tqdt {

// Why a path cannot be read or replaced as a document: it names something that is not a regular
// file (a device node, a named pipe, a folder). Empty when it is a regular file or does not exist,
// so that opening it reports the rest.
QString NotARegularFile(const QString& path);

// Writes one piece to the file being saved and returns what the device's write returned. Tests
// replace it to make the disk fill up at a chosen byte.
using SaveWriter = std::function<qint64(QIODevice& file, const char* data, qint64 size)>;

// Replaces the file at path with bytes, or leaves it exactly as it was. The bytes go to a temporary
// file beside it, which becomes the file only when every byte was written and flushed to the disk.
// Returns an empty text on success, otherwise the reason as the system gives it ("No space left on
// device"). Before writing, the temporaries an earlier save of the same file left behind (the
// program was killed between writing and renaming) are removed; nothing else beside it is touched.
QString SaveFileAtomically(const QString& path, const QByteArray& bytes, const SaveWriter& writer = {});

// The name pattern of a save's temporary for path: ".NAME.tqdt-save-XXXXXX" in the same folder, the
// six X standing for the letters and digits the temporary file is given. No person names a file so.
QString SaveTemporaryTemplate(const QString& path);
// The temporaries a save of path may have left beside it, as SaveTemporaryTemplate names them,
// regular files only.
QStringList StraySaveTemporaries(const QString& path);

// The forms the document readers and writers use, reporting the file and the problem:
//
//     QByteArray bytes;
//     if (const FileResult r = ReadDocumentFile(path, kQdmSize, "a DMX map", bytes); !r)
//         return r;                                  // not a file, unreadable, or too long
//     ...parse bytes, which may still be too short...
//     return SaveDocumentFile(path, QdmBytes(map));
//
// Reads at most maxSize bytes of a regular file; a longer one is refused with what it should hold
// ("The file holds more than 1028 bytes; a DMX map holds 1028.").
FileResult ReadDocumentFile(const QString& path, qsizetype maxSize, const QString& kind, QByteArray& bytes);
// SaveFileAtomically, with its reason in a sentence when the old file had to stay.
FileResult SaveDocumentFile(const QString& path, const QByteArray& bytes);

} // namespace tqdt
