#pragma once

#include "condlogic/ModuleTransfer.h"
#include "ui/shell/Form.h"

#include <QLabel>

#include <memory>

namespace tqdt::cnd {

// The block counter of a module window: shown and repainted at once, since a transfer runs inside
// one handler without returning to the event loop; hidden, and cleared, when the transfer is over.
// With its first text the whole window is repainted once: the question answered just before left its
// box painted over the diagram, and nothing else would clear it until the transfer ends.
inline TransferView TransferLabel(QLabel* lblComPrg)
{
    auto first = std::make_shared<bool>(true);
    TransferView view;
    view.label = [lblComPrg, first](const QString& text) {
        lblComPrg->setText(text);
        lblComPrg->setVisible(!text.isEmpty());
        if (*first) {
            *first = false;
            repaintAfterDialog(*lblComPrg->window());
        } else {
            repaintNow(*lblComPrg);
        }
    };
    view.hide = [label = view.label] { label(QString()); };
    return view;
}

} // namespace tqdt::cnd
