#include "ui/dmx/frmDMXDimSel.h"

#include "dmx/DmxMap.h"

namespace tqdt::dmx {

namespace {
// Twips: the points stand like the port choice's labels, with "X" in the corner above them.
constexpr int kLeft = 120, kTop = 480, kPitchX = 840, kPitchY = 360, kW = 735, kH = 270, kMargin = 120;
} // namespace

frmDMXDimSel::frmDMXDimSel(Host& host, int DimBase, int DimEnd, QWidget* parent)
    : ChooserForm(host, parent), m_base(DimBase), m_end(DimEnd)
{
    setObjectName(QStringLiteral("frmDMXDimSel"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Points outside the gateway's range are dark grey; their text stays light enough to read.
    setStyleSheet(QStringLiteral("QDialog#frmDMXDimSel { border: 1px solid #404040; background: #F0F0F0; }"
                                 "QLabel#lblCancel { font-weight: bold; }"
                                 "QLabel[objectName^=\"lblSel\"] { border: 1px solid #808080; }"
                                 "QLabel[selectable=\"true\"] { background: #FFFFFF; color: black; }"
                                 "QLabel[selectable=\"false\"] { background: #404040; color: #B0B0B0; }"));
    for (int i = 0; i < kPoints; ++i) {
        ClickLabel* l = addChoice(PointName(i), kLeft + kPitchX * (i / 8), kTop + kPitchY * (i % 8), kW, kH);
        l->setProperty("selectable", selectable(i));
        if (!selectable(i))
            l->setCursor(Qt::ArrowCursor);
    }
    ClickLabel* none = addChoice(QStringLiteral("Not Mapped"), kLeft, kTop + kPitchY * 8, kPitchX + kW, kH);
    none->setProperty("selectable", true);
    addCancel(15, 15, 360, 360);
    setFixedSize(tw(kLeft + kPitchX * 7 + kW + kMargin), tw(kTop + kPitchY * 8 + kH + kMargin));
}

} // namespace tqdt::dmx
