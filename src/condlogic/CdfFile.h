#pragma once

#include "condlogic/CndDocument.h"
#include "documents/FileResult.h"

#include <QByteArray>
#include <QString>

namespace tqdt::cnd {

// A .CDF file: the segment codes, the contact inputs (both as little-endian 16-bit values, the
// outputs of one cell side by side) and the notes, 12,288 bytes without header.
constexpr int kCdfSize = 12288;

QByteArray CdfBytes(const CndDocument& doc);
// Reads the diagrams and notes from a file image. Returns an empty text on success; otherwise what is
// wrong, and the document is left untouched.
[[nodiscard]] QString CdfParse(const QByteArray& bytes, CndDocument& doc);

// The first cell a file cannot hold (a code or an input outside 0..15), as a sentence; empty when
// every cell fits.
QString ForeignCellProblem(const CndDocument& doc);

// The same for a file on disk.
FileResult CdfRead(const QString& path, CndDocument& doc);
// Writes through a temporary file so that a failed save leaves the old file whole. A document with a
// foreign cell is refused before anything is written, since it could not be opened again.
FileResult CdfWrite(const QString& path, const CndDocument& doc);

} // namespace tqdt::cnd
