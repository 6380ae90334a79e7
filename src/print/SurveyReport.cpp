#include "print/SurveyReport.h"

#include "documents/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <map>

namespace tqdt::net {

namespace {

QFont reportFont(qreal pixels, bool bold = false)
{
    // Carlito has Calibri's metrics where Calibri is missing, as in the windows.
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

QString when(const QDateTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString hex2(int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); }

struct Column {
    const char* title;
    qreal width; // fraction of the page width
};

// Lays the report out top to bottom in device pixels, starting a page when the next piece does not fit.
class ReportPainter {
public:
    explicit ReportPainter(QPdfWriter& pdf) : m_pdf(pdf), m_p(&pdf)
    {
        m_mm = pdf.resolution() / 25.4;
        m_width = pdf.width();
        m_height = pdf.height();
        m_line = 4.6 * m_mm;
    }

    bool ok() const { return m_p.isActive(); }

    void paint(const SurveyRecord& r)
    {
        if (!r.complete)
            text(IncompleteLine(r), 4.5, true, QColor(192, 0, 0));
        text(QStringLiteral("Site Survey"), 7, true);
        m_y += m_mm;
        const std::pair<const char*, QString> block[] = {
            {"Site", r.site}, {"Date", when(r.started)}, {"Technician", r.technician},
            {"Tool", r.tool}, {"Port", r.port},
        };
        for (const auto& [label, value] : block)
            labelled(QString::fromLatin1(label), value);
        m_y += m_line;

        text(QStringLiteral("Summary"), 5, true);
        std::map<QString, int> counts;
        for (const SurveyDevice& d : r.devices)
            ++counts[d.kind];
        if (counts.empty())
            text(QStringLiteral("No device answered."), 3.5);
        for (const auto& [kind, n] : counts)
            labelled(kindTitle(kind), QString::number(n));
        for (const QString& note : r.notes)
            text(note, 3.2, false, QColor(64, 64, 64));
        m_y += m_line;

        for (const auto& [kind, n] : counts)
            table(r, kind);
        grids(r);
        footer();
    }

private:
    static QString kindTitle(const QString& kind)
    {
        if (kind == QLatin1String("panel"))
            return QStringLiteral("Panels");
        if (kind == QLatin1String("station"))
            return QStringLiteral("Wall stations");
        if (kind == QLatin1String("sensor"))
            return QStringLiteral("Sensors");
        if (kind == QLatin1String("module"))
            return QStringLiteral("Conditional input modules");
        if (kind == QLatin1String("gateway"))
            return QStringLiteral("Mapped gateways");
        if (kind == QLatin1String("dmx-gateway"))
            return QStringLiteral("DMX gateways");
        return kind;
    }

    void need(qreal height)
    {
        if (m_y + height <= m_height - 8 * m_mm)
            return;
        footer();
        m_pdf.newPage();
        ++m_page;
        m_y = 0;
    }

    void footer()
    {
        m_p.setFont(reportFont(3 * m_mm));
        m_p.setPen(Qt::black);
        m_p.drawText(QRectF(0, m_height - 6 * m_mm, m_width, 6 * m_mm), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Page %1").arg(m_page));
    }

    void text(const QString& s, qreal sizeMm, bool bold = false, QColor colour = Qt::black)
    {
        const QFont f = reportFont(sizeMm * m_mm, bold);
        const QFontMetricsF fm(f, &m_pdf);
        const QRectF box = fm.boundingRect(QRectF(0, 0, m_width, 1e6), Qt::TextWordWrap, s);
        need(box.height());
        m_p.setFont(f);
        m_p.setPen(colour);
        m_p.drawText(QRectF(0, m_y, m_width, box.height()), Qt::TextWordWrap, s);
        m_y += box.height() + 0.8 * m_mm;
    }

    void labelled(const QString& label, const QString& value)
    {
        need(m_line);
        m_p.setPen(Qt::black);
        m_p.setFont(reportFont(3.5 * m_mm, true));
        m_p.drawText(QRectF(0, m_y, 40 * m_mm, m_line), Qt::AlignLeft | Qt::AlignVCenter, label);
        m_p.setFont(reportFont(3.5 * m_mm));
        m_p.drawText(QRectF(40 * m_mm, m_y, m_width - 40 * m_mm, m_line), Qt::AlignLeft | Qt::AlignVCenter,
                     value);
        m_y += m_line;
    }

    void row(const std::vector<Column>& cols, const QStringList& cells, bool header)
    {
        need(m_line);
        m_p.setFont(reportFont(3.2 * m_mm, header));
        m_p.setPen(Qt::black);
        if (header)
            m_p.fillRect(QRectF(0, m_y, m_width, m_line), QColor(224, 224, 224));
        qreal x = 0;
        for (size_t i = 0; i < cols.size(); ++i) {
            const qreal w = cols[i].width * m_width;
            m_p.drawText(QRectF(x + m_mm, m_y, w - 2 * m_mm, m_line), Qt::AlignLeft | Qt::AlignVCenter,
                         i < size_t(cells.size()) ? cells[qsizetype(i)] : QString());
            x += w;
        }
        m_p.setPen(QColor(160, 160, 160));
        m_p.drawLine(QPointF(0, m_y + m_line), QPointF(m_width, m_y + m_line));
        m_y += m_line;
    }

    // A station or sensor whose catalogue is open shows a question mark; other kinds have no family.
    static QString family(const SurveyDevice& d)
    {
        if (d.family)
            return *d.family;
        return d.kind == QLatin1String("station") || d.kind == QLatin1String("sensor") ? QStringLiteral("?")
                                                                                       : QString();
    }

    void table(const SurveyRecord& r, const QString& kind)
    {
        need(4 * m_line);
        text(kindTitle(kind), 5, true);
        const std::vector<Column> cols = {{"Channel", 0.09}, {"Address", 0.08},  {"Family", 0.15},
                                          {"Type", 0.30},    {"Revision", 0.08}, {"Details", 0.16},
                                          {"Read At", 0.14}};
        QStringList titles;
        for (const Column& c : cols)
            titles << QString::fromLatin1(c.title);
        row(cols, titles, true);
        for (const SurveyDevice& d : r.devices) {
            if (d.kind != kind)
                continue;
            QString type = d.type.trimmed();
            if (!d.family && !d.candidates.empty()) {
                QStringList c;
                for (const auto& [family, t] : d.candidates)
                    c << family + QStringLiteral(": ") + t.trimmed();
                type = c.join(QStringLiteral(" / "));
            }
            QString details = d.firmware;
            if (d.config)
                details = QString::fromLatin1(*d.config);
            if (d.relays)
                details =
                    QStringLiteral("%1 relays on").arg(std::count(d.relays->begin(), d.relays->end(), true));
            row(cols,
                {ChannelName(d.channel), hex2(d.address), family(d), type,
                 d.revision ? QStringLiteral("%1").arg(*d.revision, 2, 10, QLatin1Char('0')) : QString(),
                 details, d.readAt.toString(QStringLiteral("HH:mm:ss"))},
                false);
        }
        m_y += m_line;
    }

    void grids(const SurveyRecord& r)
    {
        const qreal cell = 7 * m_mm;
        const qreal gridW = 8 * cell;
        const int perRow = std::max(1, int(m_width / (gridW + 10 * m_mm)));
        int placed = 0;
        qreal rowTop = 0;
        for (const SurveyDevice& d : r.devices) {
            if (!d.relays)
                continue;
            if (placed == 0) {
                need(m_line * 2 + 8 * cell + 6 * m_mm);
                text(QStringLiteral("Panel relay images"), 5, true);
            }
            const int col = placed % perRow;
            if (col == 0) {
                if (placed > 0)
                    m_y += 8 * cell + m_line + 4 * m_mm;
                need(8 * cell + m_line + 4 * m_mm);
                rowTop = m_y;
            }
            const qreal x0 = col * (gridW + 10 * m_mm);
            m_p.setPen(Qt::black);
            m_p.setFont(reportFont(3.5 * m_mm, true));
            m_p.drawText(QRectF(x0, rowTop, gridW, m_line), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Panel %1").arg(hex2(d.address)));
            m_p.setFont(reportFont(2.4 * m_mm));
            for (int i = 0; i < 64; ++i) {
                const QRectF box(x0 + (i % 8) * cell, rowTop + m_line + (i / 8) * cell, cell, cell);
                const bool on = (*d.relays)[size_t(i)];
                m_p.fillRect(box, on ? QColor(0, 192, 0) : QColor(255, 255, 255));
                m_p.setPen(QColor(96, 96, 96));
                m_p.drawRect(box);
                m_p.setPen(on ? Qt::white : QColor(96, 96, 96));
                m_p.drawText(box, Qt::AlignCenter, QString::number(i + 1));
            }
            ++placed;
        }
        if (placed > 0)
            m_y += 8 * cell + m_line + 4 * m_mm;
    }

    QPdfWriter& m_pdf;
    QPainter m_p;
    qreal m_mm = 1, m_width = 0, m_height = 0, m_line = 0, m_y = 0;
    int m_page = 1;
};

} // namespace

QPageSize::PageSizeId LocalePaper()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QByteArray SurveyPdf(const SurveyRecord& record, QPageSize::PageSizeId paper)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QStringLiteral("Site Survey"));
        pdf.setCreator(QStringLiteral("Tarvik Quorvel Diagnostic Tool"));
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(paper));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        ReportPainter painter(pdf);
        if (!painter.ok())
            return {};
        painter.paint(record);
    }
    return file.data();
}

QString WriteSurveyFiles(const QString& dir, const SurveyRecord& record, QPageSize::PageSizeId paper)
{
    if (!QDir().mkpath(dir))
        return QStringLiteral("%1: the folder cannot be made.").arg(dir);
    const QByteArray pdf = SurveyPdf(record, paper);
    if (pdf.isEmpty())
        return QStringLiteral("The report cannot be drawn.");
    const std::pair<const char*, QByteArray> files[] = {
        {"survey.json", SurveyJson(record)},
        {"survey.csv", SurveyCsv(record)},
        {"survey.pdf", pdf},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = QDir(dir).filePath(QString::fromLatin1(name));
        if (const QString why = NotARegularFile(path); !why.isEmpty())
            return path + QStringLiteral(": ") + why;
        if (const QString why = SaveFileAtomically(path, bytes); !why.isEmpty())
            return path + QStringLiteral(": ") + why;
    }
    return {};
}

} // namespace tqdt::net
