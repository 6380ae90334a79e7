#include "app/common/Tools.h"

#include "condlogic/frmExpCndCustom.h"
#include "condlogic/frmExpCndFactory.h"
#include "condlogic/frmExpCndProfile.h"
#include "dmx/frmDMXMap.h"
#include "network/frmQVDTDataLogger.h"
#include "network/frmQVDTDiscover.h"
#include "network/frmQVDTLocalMonitor.h"
#include "network/frmQVDTLocalScan.h"
#include "network/frmQVDTNetworkMonitor.h"
#include "network/frmQVDTNetworkScan.h"
#include "shell/Form.h"

namespace tqdt::app {

const std::vector<ToolEntry>& toolEntries()
{
    // Every tool window of this build, by the main window's button that opens it.
    static const std::vector<ToolEntry> entries = {
        ToolEntry{"cmdDiscover", "frmQVDTDiscover",
                  [](Host& h) { return std::make_unique<frmQVDTDiscover>(h); }},
        ToolEntry{"cmdLocalMonitor", "frmQVDTLocalMonitor",
                  [](Host& h) { return std::make_unique<frmQVDTLocalMonitor>(h); }},
        ToolEntry{"cmdNetworkMonitor", "frmQVDTNetworkMonitor",
                  [](Host& h) { return std::make_unique<frmQVDTNetworkMonitor>(h); }},
        ToolEntry{"cmdDTDataLogger", "frmQVDTDataLogger",
                  [](Host& h) { return std::make_unique<frmQVDTDataLogger>(h); }},
        {QStringLiteral("cmdCndOcc(1)"), QStringLiteral("frmExpCndCustom"),
         [](Host& h) { return std::make_unique<frmExpCndCustom>(h); }},
        ToolEntry{"cmdNetworkScan", "frmQVDTNetworkScan",
                  [](Host& h) { return std::make_unique<frmQVDTNetworkScan>(h); }},
        ToolEntry{"cmdLocalScan", "frmQVDTLocalScan",
                  [](Host& h) { return std::make_unique<frmQVDTLocalScan>(h); }},
        ToolEntry{
            "cmdCndOcc(0)", "frmExpCndFactory",
            [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<cnd::frmExpCndFactory>(h); }},
        ToolEntry{
            "cmdCndOcc(2)", "frmExpCndProfile",
            [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<cnd::frmExpCndProfile>(h); }},
        ToolEntry{"cmdDMX", "frmDMXMap",
                  [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<dmx::frmDMXMap>(h); }},
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
