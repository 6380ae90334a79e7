#include "ui/shell/Form.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace tqdt {

Form::Form(Host& host, QWidget* parent) : QDialog(parent), m_host(host) {}

void Form::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
    centreOnScreen(*this);
    m_centredAt = pos();
}

void Form::activate() { Form_Activate(); }

void Form::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ensureLoaded();
    // Load may have been followed by changes of size; a window nobody else placed is centred again.
    if (pos() == m_centredAt) {
        centreOnScreen(*this);
        m_centredAt = pos();
    }
    // The native window is not on the screen yet: a handler that polls without yielding would run
    // before anything of the window is visible. Activation waits for the window's first exposure.
    m_activationDue = true;
    if (!m_watchingWindow && windowHandle()) {
        windowHandle()->installEventFilter(this);
        m_watchingWindow = true;
    }
}

bool Form::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == windowHandle() && m_activationDue) {
        if (e->type() == QEvent::Expose && !m_waitingForMove)
            queueActivation();
        else if (e->type() == QEvent::Move && m_waitingForMove) {
            m_waitingForMove = false;
            queueActivation();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void Form::queueActivation()
{
    if (m_activationQueued)
        return;
    // Queued, so it runs after the exposure has been handled: the window has painted and its picture
    // has gone to the screen by then.
    m_activationQueued = true;
    QMetaObject::invokeMethod(this, &Form::activateOnScreen, Qt::QueuedConnection);
}

void Form::activateOnScreen()
{
    m_activationQueued = false;
    if (!m_activationDue || !isVisible() || !windowHandle() || !windowHandle()->isExposed())
        return;
    // Now the window manager's frame is known; a window it puts off the centre or off the screen is
    // placed again, and activation waits until the move has reached the screen, so that the picture
    // does not jump in the middle of a sweep. A window manager that never confirms gets half a second.
    if (!m_placedWithFrame && pos() == m_centredAt) {
        m_placedWithFrame = true;
        const QPoint before = pos();
        centreOnScreen(*this);
        m_centredAt = pos();
        if (pos() != before) {
            m_waitingForMove = true;
            QTimer::singleShot(500, this, [this] {
                if (m_waitingForMove) {
                    m_waitingForMove = false;
                    queueActivation();
                }
            });
            return;
        }
    }
    m_activationDue = false;
    activate();
}

void Form::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Cancel) || e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

void Form::done(int r)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        return;
    m_activationDue = false;
    m_waitingForMove = false;
    m_open = false;
    QDialog::done(r);
}

bool Form::requestClose()
{
    done(QDialog::Rejected);
    return !m_open;
}

void centreOnScreen(QWidget& w)
{
    const QScreen* s = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    // A window laid out by its layout gets its size only when it is first shown; take it now, so the
    // window is centred at the size it will have rather than at a default one.
    if (!w.testAttribute(Qt::WA_Resized)) {
        w.ensurePolished();
        if (QLayout* l = w.layout())
            l->activate();
        w.adjustSize();
    }
    const QRect area = s->availableGeometry();
    // The frame is known once the window has been on the screen. Before that, another window's frame
    // stands for it: the same window manager draws the same edges.
    QSize extra(0, 0);
    if (w.isVisible() && w.frameGeometry().size() != w.size()) {
        extra = w.frameGeometry().size() - w.size();
    } else {
        for (const QWidget* other : QApplication::topLevelWidgets())
            if (other != &w && other->isVisible() && other->frameGeometry().size() != other->size() &&
                !other->windowFlags().testFlag(Qt::FramelessWindowHint)) {
                extra = other->frameGeometry().size() - other->size();
                break;
            }
    }
    if (w.windowFlags().testFlag(Qt::FramelessWindowHint))
        extra = QSize(0, 0);
    const QSize outer = w.size() + extra;
    QPoint at = area.center() - QPoint(outer.width() / 2, outer.height() / 2) + QPoint(1, 1);
    // Kept on the screen; a window larger than the area shows its title bar and left edge.
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - outer.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - outer.height())));
    w.move(at);
}

void repaintNow(QWidget& w) { w.repaint(); }

void repaintAfterDialog(QWidget& window)
{
    // The window system reports the uncovered area to the window as an exposure; only handling it
    // puts the window's picture back there. Clicks, keys and port events wait for the handler.
    window.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace tqdt
