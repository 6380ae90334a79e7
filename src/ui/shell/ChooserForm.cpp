#include "ui/shell/ChooserForm.h"

#include <QKeyEvent>

namespace tqdt {

ChooserForm::ChooserForm(Host& host, QWidget* parent) : Form(host, parent) {}

ClickLabel* ChooserForm::addChoice(const QString& caption, int left, int top, int width, int height)
{
    const int i = int(lblSel.size());
    auto* l = placeClickLabel(this, QStringLiteral("lblSel(%1)").arg(i), caption, left, top, width, height);
    l->setAlignment(Qt::AlignCenter);
    l->setCursor(Qt::PointingHandCursor);
    connect(l, &ClickLabel::clicked, this, [this, i] { lblSel_Click(i); });
    lblSel.push_back(l);
    return l;
}

ClickLabel* ChooserForm::addCancel(int left, int top, int width, int height)
{
    lblCancel =
        placeClickLabel(this, QStringLiteral("lblCancel"), QStringLiteral("X"), left, top, width, height);
    lblCancel->setAlignment(Qt::AlignCenter);
    lblCancel->setCursor(Qt::PointingHandCursor);
    connect(lblCancel, &ClickLabel::clicked, this, &ChooserForm::lblCancel_Click);
    return lblCancel;
}

void ChooserForm::lblSel_Click(int index)
{
    if (!acceptsChoice(index))
        return;
    setChoice(index);
    requestClose();
}

void ChooserForm::lblCancel_Click()
{
    setChoice(-1);
    requestClose();
}

void ChooserForm::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        lblCancel_Click();
        return;
    }
    Form::keyPressEvent(e);
}

} // namespace tqdt
