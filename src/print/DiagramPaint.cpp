#include "print/DiagramPaint.h"

#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicExpression.h"
#include "condlogic/ProgramImage.h"
#include "condlogic/Win1252.h"
#include "documents/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <memory>

namespace tqdt::cnd {

namespace {
// The cell picture's own coordinates: 40 units square, the wire across the lower half so that an
// input label fits above a contact, the links at the junction near the right edge, where the cells
// above and below meet them.
constexpr qreal kCellUnits = 40, kWireY = 26, kJunctionX = 34;
const QColor kWireColour(20, 20, 20);
const QColor kEnergyColour(255, 0, 0);
const QColor kForeignColour(200, 0, 160);
} // namespace

void PaintSegment(QPainter& p, const QRectF& rect, int code, const CellPoints* energised, bool foreign)
{
    p.save();
    p.translate(rect.topLeft());
    p.scale(rect.width() / kCellUnits, rect.height() / kCellUnits);
    p.setRenderHint(QPainter::Antialiasing);
    if (foreign) {
        p.fillRect(QRectF(0, 0, kCellUnits, kCellUnits), QBrush(kForeignColour, Qt::BDiagPattern));
        p.setPen(QPen(kForeignColour, 1.5));
        p.drawRect(QRectF(0.75, 0.75, kCellUnits - 1.5, kCellUnits - 1.5));
    }
    if (code <= 0 || code > 15) {
        p.restore();
        return;
    }
    auto pen = [&](bool hot, qreal width = 2) {
        return QPen(hot ? kEnergyColour : kWireColour, width, Qt::SolidLine, Qt::FlatCap);
    };
    const bool hotJunction = energised && energised->junction;
    const bool hotLeft = energised && energised->left;
    p.setPen(pen(hotJunction));
    p.drawLine(QPointF(kJunctionX, kWireY), QPointF(kCellUnits, kWireY));
    if (code & 1) {
        p.setPen(pen(energised && energised->up));
        p.drawLine(QPointF(kJunctionX, 0), QPointF(kJunctionX, kWireY));
    }
    if (code & 2) {
        p.setPen(pen(energised && energised->down));
        p.drawLine(QPointF(kJunctionX, kWireY), QPointF(kJunctionX, kCellUnits));
    }
    if (code & 3) {
        p.setPen(pen(hotJunction));
        p.setBrush(hotJunction ? kEnergyColour : kWireColour);
        p.drawEllipse(QPointF(kJunctionX, kWireY), 2.5, 2.5);
    }
    if (code >= 4 && code <= 7) {
        p.setPen(pen(hotLeft));
        p.drawLine(QPointF(0, kWireY), QPointF(kJunctionX, kWireY));
    } else if (code >= 8) {
        // A contact: two plates across the wire; a closed contact has a slash through them.
        constexpr qreal plateL = 12, plateR = 22, half = 8;
        p.setPen(pen(hotLeft));
        p.drawLine(QPointF(0, kWireY), QPointF(plateL, kWireY));
        p.setPen(pen(hotJunction));
        p.drawLine(QPointF(plateR, kWireY), QPointF(kJunctionX, kWireY));
        p.setPen(pen(hotLeft, 2.5));
        p.drawLine(QPointF(plateL, kWireY - half), QPointF(plateL, kWireY + half));
        p.drawLine(QPointF(plateR, kWireY - half), QPointF(plateR, kWireY + half));
        if (isClosedContact(code)) {
            p.setPen(QPen(QColor(200, 0, 0), 2));
            p.drawLine(QPointF(plateL - 4, kWireY + half + 2), QPointF(plateR + 4, kWireY - half - 2));
        }
    }
    p.restore();
}

namespace {

// The record is laid out in tenths of a millimetre, whatever the device's resolution.
constexpr qreal kUnitsPerMm = 10;

QFont recordFont(qreal pixels, bool bold = false)
{
    // The windows' font, also where the command line draws without them; Carlito has Calibri's
    // metrics where Calibri is missing.
    static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("Calibri"), QStringLiteral("Carlito"));
        return true;
    }();
    (void)substituted;
    QFont f(QStringLiteral("Calibri"));
    f.setPixelSize(qMax(1, qRound(pixels)));
    f.setBold(bold);
    return f;
}

// Lays text out in lines of the given width; the lines come back with their heights.
struct Lines {
    std::unique_ptr<QTextLayout> layout;
    qreal lineHeight = 0;
};
Lines wrap(const QString& text, const QFont& font, qreal width)
{
    Lines l;
    l.layout = std::make_unique<QTextLayout>(text, font);
    QTextOption opt;
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    l.layout->setTextOption(opt);
    l.layout->beginLayout();
    for (;;) {
        QTextLine line = l.layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        l.lineHeight = qMax(l.lineHeight, line.height());
    }
    l.layout->endLayout();
    return l;
}

class RecordPainter {
public:
    RecordPainter(QPagedPaintDevice& device, const CndDocument& doc, const RecordOptions& options)
        : m_device(device), m_doc(doc), m_options(options)
    {
        const QRectF mm = device.pageLayout().paintRect(QPageLayout::Millimeter);
        m_width = mm.width() * kUnitsPerMm;
        m_height = mm.height() * kUnitsPerMm;
        auto compiled = std::make_unique<CndDocument>(doc);
        CompileFast(*compiled, compiled->ControlArray);
        m_checksum = QString::fromLatin1(DownloadChecksum(*compiled));
        for (int o = 0; o < kOutputs; ++o)
            m_expressions[size_t(o)] = ExpressionText(OutputProducts(doc, o));
    }

    bool paint()
    {
        if (!m_painter.begin(&m_device))
            return false;
        const int perPage = m_options.perPage == 2 ? 2 : 1;
        for (int first = 0; first < kOutputs; first += perPage) {
            const qreal top = startPage();
            const qreal slot = (m_height - top) / perPage;
            for (int k = 0; k < perPage; ++k)
                paintDiagram(first + k, QRectF(0, top + k * slot, m_width, slot - 40));
        }
        paintTextPages(QStringLiteral("Truth-Table Expressions"), expressionsText());
        const QString notes = NotesText(m_doc);
        paintTextPages(QStringLiteral("Notes"), notes.isEmpty() ? QStringLiteral("(No notes)") : notes);
        return m_painter.end();
    }

private:
    // A new page with the header every page carries; returns where the page's content starts.
    qreal startPage()
    {
        if (m_page++ > 0)
            m_device.newPage();
        m_painter.resetTransform();
        m_painter.scale(m_device.logicalDpiX() / (25.4 * kUnitsPerMm),
                        m_device.logicalDpiY() / (25.4 * kUnitsPerMm));
        m_painter.setPen(Qt::black);
        m_painter.setFont(recordFont(48, true));
        m_painter.drawText(QRectF(0, 0, m_width, 60), Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("Conditional Input Module Configuration"));
        m_painter.setFont(recordFont(34));
        m_painter.drawText(QRectF(0, 0, m_width, 60), Qt::AlignRight | Qt::AlignVCenter,
                           QStringLiteral("Page %1").arg(m_page));
        m_painter.drawText(QRectF(0, 70, m_width, 44), Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("File: ") + QDir::toNativeSeparators(m_options.fileName));
        m_painter.drawText(QRectF(0, 114, m_width, 44), Qt::AlignLeft | Qt::AlignVCenter,
                           QStringLiteral("Download Checksum: ") + m_checksum);
        m_painter.setPen(QPen(Qt::black, 3));
        m_painter.drawLine(QPointF(0, 170), QPointF(m_width, 170));
        return 200;
    }

    void paintDiagram(int output, const QRectF& area)
    {
        m_painter.setPen(Qt::black);
        m_painter.setFont(recordFont(42, true));
        m_painter.drawText(QRectF(area.left(), area.top(), area.width(), 56),
                           Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QV Input %1").arg(output + 1));
        const QFont exprFont = recordFont(32);
        const QString expr = QStringLiteral("Expression: ") + m_expressions[size_t(output)];
        // The grid takes what the title and three lines of expression leave.
        const qreal exprRoom = 3 * QFontMetricsF(exprFont).lineSpacing() + 20;
        const qreal cell = qMin((area.width() - 60) / 16, (area.height() - 70 - exprRoom) / 16);
        const qreal left = area.left() + 30, top = area.top() + 70;
        const qreal gridW = 16 * cell, gridH = 16 * cell;

        // The rails, and a faint outline of every cell so that rows and columns can be counted.
        m_painter.setPen(QPen(Qt::black, 5));
        m_painter.drawLine(QPointF(left - 3, top), QPointF(left - 3, top + gridH));
        m_painter.drawLine(QPointF(left + gridW + 3, top), QPointF(left + gridW + 3, top + gridH));
        m_painter.setPen(QPen(QColor(215, 215, 215), 1, Qt::DotLine));
        for (int i = 0; i <= 16; ++i) {
            m_painter.drawLine(QPointF(left, top + i * cell), QPointF(left + gridW, top + i * cell));
            m_painter.drawLine(QPointF(left + i * cell, top), QPointF(left + i * cell, top + gridH));
        }
        const QFont labelFont = recordFont(cell * 0.3, true);
        for (int c = 0; c < kCells; ++c) {
            const int code = m_doc.code(output, c), input = m_doc.input(output, c);
            const QRectF r(left + (c % kColumns) * cell, top + (c / kColumns) * cell, cell, cell);
            const bool foreign = isForeignCell(code, input);
            PaintSegment(m_painter, r, code, nullptr, foreign);
            if (isContact(code)) {
                m_painter.setFont(labelFont);
                m_painter.setPen(foreign ? QColor(200, 0, 160) : QColor(0, 0, 160));
                m_painter.drawText(QRectF(r.left(), r.top() + cell * 0.05, cell * 0.85, cell * 0.4),
                                   Qt::AlignCenter, inputLabel(input));
            }
        }

        m_painter.setPen(Qt::black);
        const QRectF exprRect(area.left(), top + gridH + 20, area.width(),
                              area.bottom() - (top + gridH + 20));
        const Lines lines = wrap(expr, exprFont, exprRect.width());
        qreal y = exprRect.top();
        for (int i = 0; i < lines.layout->lineCount(); ++i) {
            const QTextLine line = lines.layout->lineAt(i);
            if (y + line.height() > exprRect.bottom()) {
                m_painter.setFont(exprFont);
                m_painter.drawText(QPointF(exprRect.left(), y + line.ascent()),
                                   QStringLiteral("(continued on the expression pages)"));
                break;
            }
            line.draw(&m_painter, QPointF(exprRect.left(), y - line.y()));
            y += line.height();
        }
    }

    QString expressionsText() const
    {
        QStringList lines;
        for (int o = 0; o < kOutputs; ++o)
            lines << QStringLiteral("QV Input %1: %2").arg(o + 1).arg(m_expressions[size_t(o)]);
        return lines.join(QLatin1Char('\n'));
    }

    // A heading and a text that runs over as many pages as it needs.
    void paintTextPages(const QString& heading, const QString& text)
    {
        const QFont font = recordFont(34);
        qreal y = startPage();
        m_painter.setFont(recordFont(42, true));
        m_painter.setPen(Qt::black);
        m_painter.drawText(QRectF(0, y, m_width, 56), Qt::AlignLeft | Qt::AlignVCenter, heading);
        y += 76;
        for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
            const Lines lines = wrap(paragraph, font, m_width);
            const qreal empty = QFontMetricsF(font).lineSpacing();
            if (lines.layout->lineCount() == 0 || paragraph.isEmpty()) {
                y += empty;
                continue;
            }
            for (int i = 0; i < lines.layout->lineCount(); ++i) {
                const QTextLine line = lines.layout->lineAt(i);
                if (y + line.height() > m_height)
                    y = startPage();
                m_painter.setPen(Qt::black);
                line.draw(&m_painter, QPointF(0, y - line.y()));
                y += line.height();
            }
        }
    }

    QPagedPaintDevice& m_device;
    const CndDocument& m_doc;
    const RecordOptions& m_options;
    QPainter m_painter;
    qreal m_width = 0, m_height = 0;
    int m_page = 0;
    QString m_checksum;
    std::array<QString, kOutputs> m_expressions;
};

} // namespace

bool PaintRecord(QPagedPaintDevice& device, const CndDocument& doc, const RecordOptions& options)
{
    return RecordPainter(device, doc, options).paint();
}

QString WriteRecordPdf(const QString& path, const CndDocument& doc, const RecordOptions& options)
{
    // Drawn in memory, then saved in one piece: a full disk never leaves half a record behind.
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Conditional Input Module Configuration"));
        pdf.setCreator(QStringLiteral("Tarvik Quorvel Diagnostic Tool"));
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        if (!RecordPainter(pdf, doc, options).paint()) {
            return QStringLiteral("The PDF cannot be drawn.");
        }
    }
    if (const QString why = SaveFileAtomically(path, file.data()); !why.isEmpty())
        return QStringLiteral("The file cannot be written: %1.").arg(why);
    return {};
}

} // namespace tqdt::cnd
