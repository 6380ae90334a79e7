#include "ui/shell/frmComSel.h"

#include "host/Host.h"

namespace tqdt {

frmComSel::frmComSel(Host& host, QWidget* parent) : ChooserForm(host, parent)
{
    setObjectName(QStringLiteral("frmComSel"));
    host.settings.ComSelIndex = -1; // closed without a choice: cancelled
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(tw(3495), tw(1950));
    setStyleSheet(
        // Frameless, so it draws its own edge; without one it melts into the main window below it.
        QStringLiteral("QDialog#frmComSel { border: 1px solid #404040; background: #F0F0F0; }"
                       "QLabel#lblCancel { font-weight: bold; }"
                       "QLabel[objectName^=\"lblSel\"] { border: 1px solid #808080; background: white; }"));
    for (int i = 0; i < 16; ++i)
        addChoice(QStringLiteral("COM%1").arg(i + 1), 120 + 840 * (i / 4), 480 + 360 * (i % 4), 735, 270);
    addCancel(15, 15, 360, 360);
}

void frmComSel::setChoice(int index) { host().settings.ComSelIndex = qint16(index); }

} // namespace tqdt
