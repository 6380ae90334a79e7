#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tqdt {

// A label that reports clicks, as the forms' labels do.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
    void rightClicked(QPoint pos, Qt::KeyboardModifiers mods);

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// Widgets placed at twip positions, the way the forms are laid out.
QLabel* placeLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width,
                   int height);
ClickLabel* placeClickLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                            int width, int height);
QPushButton* placeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                         int width, int height);
// Check boxes and option buttons are one caption line (285 twips) high.
QCheckBox* placeCheck(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                      int width);
QRadioButton* placeOption(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                          int width);
QFrame* placeLine(QWidget* parent, const QString& name, int x1, int y1, int x2, int y2);

} // namespace tqdt
