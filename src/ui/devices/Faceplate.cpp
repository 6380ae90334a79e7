#include "ui/devices/Faceplate.h"

#include <QMouseEvent>
#include <QPainter>

namespace tqdt::ws {

Faceplate::Faceplate(QWidget* parent, const QString& name, QRect geometry) : QWidget(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    outline.fill = QColor(236, 233, 216);
    outline.border = QColor(96, 96, 96);
    outline.borderWidth = 2;
}

Shape* Faceplate::add(const QRect& geometry, const QColor& fill, const QString& caption)
{
    Shape s;
    s.geometry = geometry;
    s.fill = fill;
    s.caption = caption;
    m_shapes.push_back(s);
    return &m_shapes.back();
}

void Faceplate::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    auto draw = [&p](const Shape& s, int radius) {
        p.setPen(QPen(s.border, s.borderWidth));
        p.setBrush(s.fill);
        if (s.round)
            p.drawEllipse(s.geometry);
        else
            p.drawRoundedRect(s.geometry, radius, radius);
        if (!s.caption.isEmpty()) {
            p.setPen(s.fill.lightness() > 140 ? Qt::black : Qt::white);
            p.drawText(s.geometry, Qt::AlignCenter, s.caption);
        }
    };
    if (!outline.geometry.isEmpty()) {
        // A plate with a slight bevel, so the station reads as a wall plate rather than a box.
        draw(outline, 10);
        p.setPen(QPen(QColor(255, 255, 255, 160), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(outline.geometry.adjusted(4, 4, -4, -4), 7, 7);
    }
    for (const Shape& s : m_shapes)
        if (s.visible)
            draw(s, 3);
}

void Faceplate::mousePressEvent(QMouseEvent* e)
{
    emit pressed(e->position().toPoint(), e->button(), e->modifiers());
    QWidget::mousePressEvent(e);
}

} // namespace tqdt::ws
