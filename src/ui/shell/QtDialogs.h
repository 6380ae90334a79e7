#pragma once

#include "host/Dialogs.h"

namespace tqdt {

// The real thing: QMessageBox, QFileDialog, QDialog::exec.
class QtDialogs final : public Dialogs {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons,
                      MsgDefault defaultButton) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    void showModal(Form& form) override;
    bool choosePrinter(QPrinter& printer) override;
};

} // namespace tqdt
