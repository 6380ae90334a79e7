#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <deque>

namespace tqdt::ws {

// A marker drawn on a faceplate: a button, a pilot lamp, an indicator.
struct Shape {
    QRect geometry; // in the plate's own units (pixels)
    QColor fill = Qt::gray;
    QColor border = Qt::black;
    int borderWidth = 1;
    bool visible = true;
    bool round = false;
    QString caption;

    int left() const { return geometry.x(); }
    int top() const { return geometry.y(); }
    int width() const { return geometry.width(); }
    int height() const { return geometry.height(); }
    void setTop(int top) { geometry.moveTop(top); }
    // The edges belong to the marker: a click exactly on the right or bottom edge hits it.
    bool contains(QPoint p) const
    {
        return p.x() >= left() && p.x() <= left() + width() && p.y() >= top() && p.y() <= top() + height();
    }
};

// The picture of a station's front drawn with QPainter: an outline and the markers the window
// places on it. A press on the plate is reported in plate units.
class Faceplate : public QWidget {
    Q_OBJECT
public:
    Faceplate(QWidget* parent, const QString& name, QRect geometry);

    // The outline of the station; an empty rectangle draws none.
    Shape outline;
    // Markers keep their address for the plate's life.
    Shape* add(const QRect& geometry, const QColor& fill, const QString& caption = {});

signals:
    void pressed(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers mods);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::deque<Shape> m_shapes;
};

} // namespace tqdt::ws
