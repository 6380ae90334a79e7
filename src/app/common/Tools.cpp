#include "app/common/Tools.h"

#include "app/common/Simulation.h"
#include "ui/condlogic/frmExpCndCustom.h"
#include "ui/condlogic/frmExpCndFactory.h"
#include "ui/condlogic/frmExpCndProfile.h"
#include "ui/devices/frmQVDTKestrixTestCnf.h"
#include "ui/devices/frmQVDTWSDualTechCnf.h"
#include "ui/devices/frmQVDTWSDualTechWallCnf.h"
#include "ui/devices/frmQVDTWSG3TestCnf.h"
#include "ui/devices/frmQVDTWSTestCnf.h"
#include "ui/dmx/frmDMXMap.h"
#include "ui/gateway/frmMGW.h"
#include "ui/network/frmQVDTDataLogger.h"
#include "ui/network/frmQVDTDiscover.h"
#include "ui/network/frmQVDTLocalMonitor.h"
#include "ui/network/frmQVDTLocalScan.h"
#include "ui/network/frmQVDTNetworkMonitor.h"
#include "ui/network/frmQVDTNetworkScan.h"
#include "ui/network/frmSiteSurvey.h"
#include "ui/shell/Form.h"

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
        {"cmdLocalMonitor", "frmQVDTLocalMonitor", LaunchKind::Monitor, make<net::frmQVDTLocalMonitor>(),
         startOtherMaster, stopOtherMaster},
        {"cmdLocalScan", "frmQVDTLocalScan", LaunchKind::Scan, make<net::frmQVDTLocalScan>()},
        {"cmdNetworkMonitor", "frmQVDTNetworkMonitor", LaunchKind::Monitor,
         make<net::frmQVDTNetworkMonitor>(), startOtherMaster, stopOtherMaster},
        {"cmdNetworkScan", "frmQVDTNetworkScan", LaunchKind::Scan, make<net::frmQVDTNetworkScan>()},
        {"cmdDiscover", "frmQVDTDiscover", LaunchKind::Discover, make<net::frmQVDTDiscover>()},
        {"cmdDTDataLogger", "frmQVDTDataLogger", LaunchKind::DataLogger, make<net::frmQVDTDataLogger>(),
         startOtherMaster, stopOtherMaster},
        {"cmdCndOcc(0)", "frmExpCndFactory", LaunchKind::SelfManaged, make<cnd::frmExpCndFactory>(),
         benchCondModule},
        {"cmdCndOcc(1)", "frmExpCndCustom", LaunchKind::SelfManaged, make<cnd::frmExpCndCustom>(),
         benchCondModule},
        {"cmdCndOcc(2)", "frmExpCndProfile", LaunchKind::SelfManaged, make<cnd::frmExpCndProfile>(),
         benchCondModule},
        {"cmdMGW", "frmMGW", LaunchKind::SelfManaged, make<gw::frmMGW>()},
        {"cmdWSG3Test", "frmQVDTWSG3TestCnf", LaunchKind::Device, make<ws::frmQVDTWSG3TestCnf>(),
         benchG3Station},
        {"cmdDualTechWall", "frmQVDTWSDualTechWallCnf", LaunchKind::Device,
         make<ws::frmQVDTWSDualTechWallCnf>(), benchWallSensor},
        {"cmdDualTech", "frmQVDTWSDualTechCnf", LaunchKind::Device, make<ws::frmQVDTWSDualTechCnf>(),
         benchCeilingSensor},
        {"cmdKestrix", "frmQVDTKestrixTestCnf", LaunchKind::Device, make<ws::frmQVDTKestrixTestCnf>(),
         benchKestrixSwitch},
        // Its button stays hidden; the window opens through --open and the tests.
        {"cmdWSTest", "frmQVDTWSTestCnf", LaunchKind::Device, make<ws::frmQVDTWSTestCnf>(),
         benchLegacyStation},
        // The DMX gateway hangs on the simulated panel network for the whole session.
        {"cmdDMX", "frmDMXMap", LaunchKind::SelfManaged, make<dmx::frmDMXMap>()},
        // Reached from the port label's menu; it checks for another master itself before each survey.
        // The module the module tools use sits on the bench, so a survey finds every kind.
        {"mnuSiteSurvey", "frmSiteSurvey", LaunchKind::SelfManaged, make<net::frmSiteSurvey>(),
         benchCondModule},
    };
    return tools;
}

} // namespace tqdt::app
