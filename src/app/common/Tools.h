#pragma once

#include "shell/frmQVDTMain.h"

#include <vector>

namespace tqdt::app {

// A tool window the main window can open: its button, its form name and how to make it.
struct ToolEntry {
    QString button;
    QString form;
    ToolFactory make;
};

const std::vector<ToolEntry>& toolEntries();
ToolCatalog toolCatalog();

} // namespace tqdt::app
