#include "ui/condlogic/frmASelect01.h"

#include <QGuiApplication>
#include <QScreen>

namespace tqdt::cnd {

frmASelect01::frmASelect01(Host& host, QWidget* parent) : ChooserForm(host, parent)
{
    setObjectName(QStringLiteral("frmASelect01"));
    setWindowTitle(QStringLiteral("Select Input"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (int i = 0; i < 16; ++i) {
        const QString caption =
            i < 8 ? QStringLiteral("Input %1").arg(i + 1) : QStringLiteral("Pilot %1").arg(i - 7);
        ClickLabel* l = addChoice(caption, 120 + (i / 8) * 1080, 120 + (i % 8) * 300, 960, 270);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Raised);
    }
    addCancel(1080, 2550, 240, 270);
    setFixedSize(tw(2400), tw(2970));
}

void frmASelect01::Form_Activate()
{
    // Escape and the close box end here as well: anything but a label click is "no choice".
    SelectResult = -1;
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect screen = s->geometry();
    QPoint at = pos();
    if (at.y() + height() > screen.height() - tw(600))
        at.setY(screen.height() - height() - tw(600));
    if (at.x() + width() > screen.width())
        at.setX(screen.width() - width());
    move(at);
}

} // namespace tqdt::cnd
