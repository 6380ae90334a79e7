#include "ui/shell/QtDialogs.h"

#include "ui/shell/Form.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace tqdt {

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MsgButtons b)
{
    switch (b) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// "Conditional Data File (*.CDF)|*.CDF" -> "Conditional Data File (*.CDF)"
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + (parts[i].contains(QLatin1Char('(')) ? QString()
                                                               : QStringLiteral(" (%1)").arg(parts[i + 1]));
    return out.isEmpty() ? filter : out.join(QStringLiteral(";;"));
}

} // namespace

MsgAnswer QtDialogs::message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                             MsgDefault defaultButton)
{
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons));
    if (defaultButton == MsgDefault::No &&
        (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel))
        box.setDefaultButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default: return MsgAnswer::Ok;
    }
}

QString QtDialogs::openFile(const FileDialogRequest& r)
{
    QFileDialog::Options opts;
    return QFileDialog::getOpenFileName(nullptr, r.title, r.fileName, qtFilter(r.filter), nullptr, opts);
}

QString QtDialogs::saveFile(const FileDialogRequest& r)
{
    QFileDialog::Options opts;
    if (!r.overwritePrompt)
        opts |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(nullptr, r.title, r.fileName, qtFilter(r.filter), nullptr, opts);
}

void QtDialogs::showModal(Form& form)
{
    form.ensureLoaded();
    form.markShownModal();
    form.exec();
}

bool QtDialogs::choosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tqdt
