#include "ui/shell/Widgets.h"

#include "ui/shell/Form.h"

#include <QMouseEvent>

namespace tqdt {

void ClickLabel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit clicked();
    else if (e->button() == Qt::RightButton)
        emit rightClicked(e->position().toPoint(), e->modifiers());
    QLabel::mousePressEvent(e);
}

namespace {
template <typename W> W* place(W* w, const QString& name, int left, int top, int width, int height)
{
    w->setObjectName(name);
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return w;
}
} // namespace

QLabel* placeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                   int height)
{
    return place(new QLabel(caption, parent), name, left, top, width, height);
}

ClickLabel* placeClickLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                            int width, int height)
{
    return place(new ClickLabel(caption, parent), name, left, top, width, height);
}

QPushButton* placeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                         int width, int height)
{
    auto* b = place(new QPushButton(caption, parent), name, left, top, width, height);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* placeCheck(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                      int width)
{
    return place(new QCheckBox(caption, parent), name, left, top, width, 285);
}

QRadioButton* placeOption(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                          int width)
{
    return place(new QRadioButton(caption, parent), name, left, top, width, 285);
}

QFrame* placeLine(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2)
{
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(x1 == x2 ? QFrame::VLine : QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    if (x1 == x2)
        f->setGeometry(tw(x1) - 1, tw(y1), 3, tw(y2 - y1));
    else
        f->setGeometry(tw(x1), tw(y1) - 1, tw(x2 - x1), 3);
    return f;
}

} // namespace tqdt
