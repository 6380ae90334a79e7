#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace tqdt {

// The "File" menu every document editor shows: New, Open, Save, Save As, a separator, the editor's
// own items (Factory Default, Export CSV, ...), a separator and Exit. Each action is named as the
// form's control (mnuNew, mnuOpen, ...) and calls the window's handler, which calls its
// DocumentSession.
//
//     const FileMenu f = AddFileMenu(menuBar, {[this] { mnuNew_Click(); }, ...},
//                                    {{"mnuExportCSV", "Export CSV", [this] { mnuExportCSV_Click(); }}});
struct FileMenuHandlers {
    std::function<void()> onNew, onOpen, onSave, onSaveAs, onExit;
};
struct FileMenuItem {
    QString name;
    QString text;
    std::function<void()> handler;
};
struct FileMenu {
    QMenu* menu = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    std::vector<QAction*> own; // the editor's items, in the order given
    QAction* mnuExit = nullptr;
};

FileMenu AddFileMenu(QMenuBar* bar, const FileMenuHandlers& handlers, const std::vector<FileMenuItem>& own);
// For the windows whose document commands are named mnuFileNew, mnuFileOpen, mnuFileSave and
// mnuFileSaveAs (the gateway windows).
void UseFileCommandNames(const FileMenu& menu);

} // namespace tqdt
