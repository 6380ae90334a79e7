#include "app/common/Tools.h"

#include "condlogic/frmExpCndCustom.h"
#include "condlogic/frmExpCndFactory.h"
#include "condlogic/frmExpCndProfile.h"
#include "shell/Form.h"

namespace tqdt::app {

const std::vector<ToolEntry>& toolEntries()
{
    // Every tool window of this build, by the main window's button that opens it.
    static const std::vector<ToolEntry> entries = {
        {QStringLiteral("cmdCndOcc(1)"), QStringLiteral("frmExpCndCustom"),
         [](Host& h) { return std::make_unique<frmExpCndCustom>(h); }},
        ToolEntry{"cmdCndOcc(0)", "frmExpCndFactory",
                  [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<cnd::frmExpCndFactory>(h); }},
        ToolEntry{"cmdCndOcc(2)", "frmExpCndProfile",
                  [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<cnd::frmExpCndProfile>(h); }},
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
