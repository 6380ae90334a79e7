#pragma once

#include "condlogic/ModuleTransfer.h"
#include "ui/shell/Form.h"

#include <QLabel>

namespace tqdt::cnd {

// The block counter of a module window: shown and repainted at once, since a transfer runs inside
// one handler without returning to the event loop; hidden by an empty text. With its first text the
// whole window is repainted once: the question answered just before left its box painted over the
// diagram, and nothing else would clear it until the transfer ends.
inline ModuleTransfer::Progress TransferLabel(QLabel* lblComPrg)
{
    return [lblComPrg, first = true](const QString& text) mutable {
        lblComPrg->setText(text);
        lblComPrg->setVisible(!text.isEmpty());
        if (first) {
            first = false;
            repaintAfterDialog(*lblComPrg->window());
        } else {
            repaintNow(*lblComPrg);
        }
    };
}

} // namespace tqdt::cnd
