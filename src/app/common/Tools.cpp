#include "app/common/Tools.h"

#include "app/common/Simulation.h"
#include "condlogic/frmExpCndCustom.h"
#include "condlogic/frmExpCndFactory.h"
#include "condlogic/frmExpCndProfile.h"
#include "devices/frmQVDTKestrixTestCnf.h"
#include "devices/frmQVDTWSDualTechCnf.h"
#include "devices/frmQVDTWSDualTechWallCnf.h"
#include "devices/frmQVDTWSG3TestCnf.h"
#include "devices/frmQVDTWSTestCnf.h"
#include "dmx/frmDMXMap.h"
#include "gateway/frmMGW.h"
#include "network/frmQVDTDataLogger.h"
#include "network/frmQVDTDiscover.h"
#include "network/frmQVDTLocalMonitor.h"
#include "network/frmQVDTLocalScan.h"
#include "network/frmQVDTNetworkMonitor.h"
#include "network/frmQVDTNetworkScan.h"
#include "shell/Form.h"

namespace tqdt::app {

namespace {
template <typename W> ToolFactory make()
{
    return [](Host& h) -> std::unique_ptr<Form> { return std::make_unique<W>(h); };
}
} // namespace

const ToolList& toolList()
{
    // One entry per tool: button, form name, launch kind, factory, simulated bench.
    static const ToolList tools = {
        {"cmdLocalMonitor", "frmQVDTLocalMonitor", LaunchKind::Monitor, make<frmQVDTLocalMonitor>(),
         startOtherMaster, stopOtherMaster},
        {"cmdLocalScan", "frmQVDTLocalScan", LaunchKind::Scan, make<frmQVDTLocalScan>()},
        {"cmdNetworkMonitor", "frmQVDTNetworkMonitor", LaunchKind::Monitor, make<frmQVDTNetworkMonitor>(),
         startOtherMaster, stopOtherMaster},
        {"cmdNetworkScan", "frmQVDTNetworkScan", LaunchKind::Scan, make<frmQVDTNetworkScan>()},
        {"cmdDiscover", "frmQVDTDiscover", LaunchKind::Discover, make<frmQVDTDiscover>()},
        {"cmdDTDataLogger", "frmQVDTDataLogger", LaunchKind::DataLogger, make<frmQVDTDataLogger>(),
         startOtherMaster, stopOtherMaster},
        {"cmdCndOcc(0)", "frmExpCndFactory", LaunchKind::SelfManaged, make<cnd::frmExpCndFactory>(),
         benchCondModule},
        {"cmdCndOcc(1)", "frmExpCndCustom", LaunchKind::SelfManaged, make<frmExpCndCustom>(),
         benchCondModule},
        {"cmdCndOcc(2)", "frmExpCndProfile", LaunchKind::SelfManaged, make<cnd::frmExpCndProfile>(),
         benchCondModule},
        {"cmdMGW", "frmMGW", LaunchKind::SelfManaged, make<gw::frmMGW>()},
        {"cmdWSG3Test", "frmQVDTWSG3TestCnf", LaunchKind::Device, make<frmQVDTWSG3TestCnf>(), benchG3Station},
        {"cmdDualTechWall", "frmQVDTWSDualTechWallCnf", LaunchKind::Device, make<frmQVDTWSDualTechWallCnf>(),
         benchWallSensor},
        {"cmdDualTech", "frmQVDTWSDualTechCnf", LaunchKind::Device, make<frmQVDTWSDualTechCnf>(),
         benchCeilingSensor},
        {"cmdKestrix", "frmQVDTKestrixTestCnf", LaunchKind::Device, make<frmQVDTKestrixTestCnf>(),
         benchKestrixSwitch},
        // Its button stays hidden; the window opens through --open and the tests.
        {"cmdWSTest", "frmQVDTWSTestCnf", LaunchKind::Device, make<frmQVDTWSTestCnf>(), benchLegacyStation},
        // The DMX gateway hangs on the simulated panel network for the whole session.
        {"cmdDMX", "frmDMXMap", LaunchKind::SelfManaged, make<dmx::frmDMXMap>()},
    };
    return tools;
}

} // namespace tqdt::app
