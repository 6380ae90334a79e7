#pragma once

#include "host/Dialogs.h"

namespace tqdt {

// The real thing: QMessageBox, QFileDialog, QDialog::exec.
class QtDialogs final : public Dialogs {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void showModal(Form& form) override;
    bool choosePrinter(QPrinter& printer) override;

    // From now on nobody is there to answer (the program is being ended by the system): a message
    // box is not shown and gets the answer that gives nothing up (No, Cancel or Ok), a box already
    // open counts as answered so, and a file dialog is cancelled.
    void endUnattended() { m_unattended = true; }

private:
    bool m_unattended = false;
};

} // namespace tqdt
