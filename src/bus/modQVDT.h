#pragma once

// The bus routines the diagnostic windows share, one header per device family. A new family's
// senders go into a model class of its own subsystem (cnd::FactoryModule is the pattern), built on
// BusLink; these stay for the scans and monitors that talk to every family.
#include "bus/LoadCommands.h"
#include "bus/PanelCommands.h"
#include "bus/TouchScreenCommands.h"
#include "bus/WallStationCommands.h"
