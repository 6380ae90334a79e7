#include "ui/shell/QtDialogs.h"

#include "ui/shell/Form.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>

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
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
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

// "Text Log (*.txt)" -> "txt"; empty for a filter of several patterns or of wildcards.
QString singleExtension(const QString& filter)
{
    static const QRegularExpression one(QStringLiteral("\\(\\*\\.([A-Za-z0-9_]+)\\)$"));
    const QRegularExpressionMatch m = one.match(filter);
    return m.hasMatch() ? m.captured(1) : QString();
}

MsgAnswer unattendedAnswer(MsgButtons b)
{
    switch (b) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo: return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel: break;
    }
    return MsgAnswer::Cancel;
}

} // namespace

MsgAnswer QtDialogs::message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                             MsgDefault defaultButton)
{
    if (m_unattended)
        return unattendedAnswer(buttons);
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons));
    if (buttons == MsgButtons::YesNoDefaultNo ||
        (defaultButton == MsgDefault::No &&
         (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel)))
        box.setDefaultButton(QMessageBox::No);
    const int answer = box.exec();
    if (m_unattended)
        return unattendedAnswer(buttons);
    switch (answer) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default: return MsgAnswer::Ok;
    }
}

QString QtDialogs::openFile(const FileDialogRequest& r)
{
    if (m_unattended)
        return {};
    QFileDialog::Options opts;
    return QFileDialog::getOpenFileName(nullptr, r.title, r.fileName, qtFilter(r.filter), nullptr, opts);
}

QString QtDialogs::saveFile(const FileDialogRequest& r)
{
    QFileDialog dialog(QApplication::activeWindow(), r.title, r.fileName, qtFilter(r.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!r.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The dialog adds the suffix itself, before its overwrite question, so that the question is about
    // the file actually written. It belongs to the document's own filter: with another filter of one
    // extension chosen that one is added, with "All Files" none.
    dialog.setDefaultSuffix(r.defaultSuffix);
    const QString firstFilter = dialog.nameFilters().value(0);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &r, firstFilter](const QString& f) {
                         dialog.setDefaultSuffix(f == firstFilter ? r.defaultSuffix : singleExtension(f));
                     });
    if (m_unattended || dialog.exec() != QDialog::Accepted || m_unattended)
        return {};
    return dialog.selectedFiles().value(0);
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
