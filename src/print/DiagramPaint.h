#pragma once

#include "condlogic/CndDocument.h"
#include "condlogic/LogicMap.h"

#include <QRectF>
#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace tqdt::cnd {

// The pictures of the ladder, drawn with a painter only, so that the window, the printer and the
// command line's PDF all show a cell the same way.

// Paints one cell into rect (drawn for 40 x 40, scaled to any size): the wire from the left or a
// contact's plates, the wire on to the right, the links up and down at the junction. Pieces whose
// point is energised are drawn red; a foreign cell is hatched.
void PaintSegment(QPainter& p, const QRectF& rect, int code, const CellPoints* energised = nullptr,
                  bool foreign = false);

// The record a technician leaves in the panel: all eight diagrams with their input labels and
// truth-table expressions, one or two to a page, the file name and the download checksum on each
// page, and the notes on the pages after them.
struct RecordOptions {
    QString fileName = QStringLiteral("None");
    int perPage = 1; // 1 or 2
};
// False when the device refused the painter.
bool PaintRecord(QPagedPaintDevice& device, const CndDocument& doc, const RecordOptions& options);

// The record as a PDF file, written whole or not at all. Returns an empty text, or what went wrong.
QString WriteRecordPdf(const QString& path, const CndDocument& doc, const RecordOptions& options);

} // namespace tqdt::cnd
