#pragma once

#include "ui/shell/ToolList.h"

namespace tqdt::app {

// Every tool window of this build, one entry each (see shell/ToolList.h).
const ToolList& toolList();

} // namespace tqdt::app
