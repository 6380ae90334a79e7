#include "app/common/Tools.h"

#include "network/frmQVDTLocalScan.h"
#include "network/frmQVDTNetworkScan.h"
#include "shell/Form.h"

namespace tqdt::app {

const std::vector<ToolEntry>& toolEntries()
{
    // Every tool window of this build, by the main window's button that opens it.
    static const std::vector<ToolEntry> entries = {
        ToolEntry{"cmdNetworkScan", "frmQVDTNetworkScan", [](Host& h) { return std::make_unique<frmQVDTNetworkScan>(h); }},
        ToolEntry{"cmdLocalScan", "frmQVDTLocalScan", [](Host& h) { return std::make_unique<frmQVDTLocalScan>(h); }},
    };
    return entries;
}

ToolCatalog toolCatalog()
{
    ToolCatalog catalog;
    for (const ToolEntry& e : toolEntries())
        catalog[e.button] = e.make;
    return catalog;
}

} // namespace tqdt::app
