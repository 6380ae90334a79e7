#include "shell/frmComSel.h"

#include "shell/Host.h"

#include <QKeyEvent>

namespace tqdt {

frmComSel::frmComSel(Host& host, QWidget* parent) : Form(host, parent)
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
    for (int i = 0; i < 16; ++i) {
        auto* l =
            placeClickLabel(this, QStringLiteral("lblSel(%1)").arg(i), QStringLiteral("COM%1").arg(i + 1),
                            120 + 840 * (i / 4), 480 + 360 * (i % 4), 735, 270);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &ClickLabel::clicked, this, [this, i] { lblSel_Click(i); });
        lblSel[size_t(i)] = l;
    }
    lblCancel = placeClickLabel(this, QStringLiteral("lblCancel"), QStringLiteral("X"), 15, 15, 360, 360);
    lblCancel->setAlignment(Qt::AlignCenter);
    connect(lblCancel, &ClickLabel::clicked, this, &frmComSel::lblCancel_Click);
}

void frmComSel::lblSel_Click(int index)
{
    host().settings.ComSelIndex = qint16(index);
    requestClose();
}

void frmComSel::lblCancel_Click()
{
    host().settings.ComSelIndex = -1;
    requestClose();
}

void frmComSel::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        lblCancel_Click();
        return;
    }
    Form::keyPressEvent(e);
}

} // namespace tqdt
