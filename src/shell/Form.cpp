#include "shell/Form.h"

#include <QGuiApplication>
#include <QScreen>

namespace tqdt {

Form::Form(Host& host, QWidget* parent) : QDialog(parent), m_host(host) {}

void Form::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
    centreOnScreen(*this);
}

void Form::activate() { Form_Activate(); }

void Form::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ensureLoaded();
    if (!m_activatedOnShow) {
        m_activatedOnShow = true;
        activate();
    }
}

void Form::done(int r)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        return;
    m_activatedOnShow = false;
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
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        const QSize size = w.size().isValid() ? w.size() : w.sizeHint();
        w.move(g.center() - QPoint(size.width() / 2, size.height() / 2));
    }
}

} // namespace tqdt
