#pragma once

#include "condlogic/ModuleTransfer.h"

#include <QLabel>

namespace tqdt::cnd {

// The block counter of a module window: shown and repainted at once, since a transfer runs inside
// one handler without returning to the event loop; hidden by an empty text.
inline ModuleTransfer::Progress TransferLabel(QLabel* lblComPrg)
{
    return [lblComPrg](const QString& text) {
        lblComPrg->setText(text);
        lblComPrg->setVisible(!text.isEmpty());
        lblComPrg->repaint();
    };
}

} // namespace tqdt::cnd
