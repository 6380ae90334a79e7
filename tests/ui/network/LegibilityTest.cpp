#include "support/SimHost.h"
#include "ui/network/frmQVDTLocalScan.h"
#include "ui/network/frmQVDTNetworkMonitor.h"
#include "ui/network/frmQVDTNetworkScan.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

namespace tqdt::test {
using namespace tqdt::net;
namespace {

// The program's own font, as main() sets it, for as long as a test runs.
struct ProgramFont {
    ProgramFont() : saved(QApplication::font())
    {
        QFont::insertSubstitution(QStringLiteral("Calibri"), QStringLiteral("Carlito"));
        QFont f(QStringLiteral("Calibri"));
        f.setPointSize(10);
        QApplication::setFont(f);
    }
    ~ProgramFont() { QApplication::setFont(saved); }
    QFont saved;
};

// Pixels of a font as drawn at 96 dpi.
int pixels(const QFont& f) { return f.pixelSize() > 0 ? f.pixelSize() : int(f.pointSizeF() * 96 / 72 + 0.5); }

} // namespace

// The grids keep their dense arrangement, but their digits are drawn as large as the labels allow
// and in black: 8-pixel text on grey cannot be read on a 96-dpi laptop screen.
TEST(Legibility, ScanGridDigitsFillTheirLabelsAndFit)
{
    const ProgramFont font;
    SimHost h;
    frmQVDTNetworkScan net(h.host);
    net.ensureLoaded();
    frmQVDTLocalScan local(h.host);
    local.ensureLoaded();
    struct Case {
        const char* grid;
        const NodeGrid& g;
    } cases[] = {{"network panels", net.panelGrid},
                 {"network wall stations", net.wsGrid},
                 {"local wall stations", local.wsGrid},
                 {"dimmers", local.dimGrid}};
    for (const Case& c : cases) {
        const QLabel* node = c.g.node[0];
        const QLabel* error = c.g.error[0];
        EXPECT_GE(pixels(node->font()), 10) << c.grid;
        EXPECT_GE(pixels(error->font()), 10) << c.grid;
        for (const char* caption : {"0D", "88", "FE"})
            EXPECT_LT(QFontMetrics(node->font()).horizontalAdvance(caption), node->width())
                << c.grid << caption;
        EXPECT_LE(QFontMetrics(error->font()).horizontalAdvance(">99"), error->width()) << c.grid;
        EXPECT_EQ(node->palette().color(QPalette::WindowText), QColor(Qt::black)) << c.grid;
    }
}

TEST(Legibility, MonitorShowsFiftyLinesInAReadableFont)
{
    const ProgramFont font;
    SimHost h;
    frmQVDTNetworkMonitor w(h.host);
    w.ensureLoaded();
    const QFont f = w.lblData->font();
    EXPECT_GE(pixels(f), 11);
    // Fifty lines still fit, one pitch each.
    EXPECT_LE(QFontMetrics(f).height(), w.lblData->height() / 50 + 1);
}

} // namespace tqdt::test
