#include "ui/shell/DocumentMenu.h"

#include <QMenuBar>

namespace tqdt {

FileMenu AddFileMenu(QMenuBar* bar, const FileMenuHandlers& handlers, const std::vector<FileMenuItem>& own)
{
    FileMenu f;
    f.menu = bar->addMenu(QStringLiteral("File"));
    f.menu->setObjectName(QStringLiteral("mnuFile"));
    auto item = [&](const QString& name, const QString& text, const std::function<void()>& handler) {
        QAction* a = f.menu->addAction(text);
        a->setObjectName(name);
        if (handler)
            QObject::connect(a, &QAction::triggered, bar, [handler] { handler(); });
        return a;
    };
    f.mnuNew = item(QStringLiteral("mnuNew"), QStringLiteral("New"), handlers.onNew);
    f.mnuOpen = item(QStringLiteral("mnuOpen"), QStringLiteral("Open"), handlers.onOpen);
    f.mnuSave = item(QStringLiteral("mnuSave"), QStringLiteral("Save"), handlers.onSave);
    f.mnuSaveAs = item(QStringLiteral("mnuSaveAs"), QStringLiteral("Save As"), handlers.onSaveAs);
    f.menu->addSeparator();
    for (const FileMenuItem& i : own)
        f.own.push_back(item(i.name, i.text, i.handler));
    f.menu->addSeparator();
    f.mnuExit = item(QStringLiteral("mnuExit"), QStringLiteral("Exit"), handlers.onExit);
    return f;
}

void UseFileCommandNames(const FileMenu& menu)
{
    menu.mnuNew->setObjectName(QStringLiteral("mnuFileNew"));
    menu.mnuOpen->setObjectName(QStringLiteral("mnuFileOpen"));
    menu.mnuSave->setObjectName(QStringLiteral("mnuFileSave"));
    menu.mnuSaveAs->setObjectName(QStringLiteral("mnuFileSaveAs"));
}

} // namespace tqdt
