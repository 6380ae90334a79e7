#pragma once

#include "ui/shell/Launcher.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace tqdt {

class Form;
class Host;
namespace sim {
class Site;
}

// One tool window of the program, described once: the main window's button that opens it, its form
// name (what --open takes), how the port is prepared before it opens, how to make it, and what the
// simulated installation puts on the bench for it and takes away after it. The main window, the
// launcher, --open and --simulate all read the same entry.
//
// The program's list is app::toolList() in src/app/common/Tools.cpp; a new tool window adds one
// entry there:
//
//     {"cmdDMX", "frmDMXMap", LaunchKind::SelfManaged,
//      [](Host& h) { return std::make_unique<dmx::frmDMXMap>(h); },
//      app::benchDmxGateway},                   // optional: prepare the simulated bench
using ToolFactory = std::function<std::unique_ptr<Form>(Host&)>;
using BenchHook = std::function<void(sim::Site&)>;

struct ToolEntry {
    ToolEntry(QString button, QString form, LaunchKind kind, ToolFactory make, BenchHook prepareBench = {},
              BenchHook clearBench = {})
        : button(std::move(button)), form(std::move(form)), kind(kind), make(std::move(make)),
          prepareBench(std::move(prepareBench)), clearBench(std::move(clearBench))
    {
    }

    QString button; // "cmdNetworkScan", "cmdCndOcc(1)", ...
    QString form;   // "frmQVDTNetworkScan", ...
    LaunchKind kind;
    ToolFactory make;
    BenchHook prepareBench; // --simulate: before the window opens
    BenchHook clearBench;   // --simulate: after it has closed
};

using ToolList = std::vector<ToolEntry>;

// The entry of a button or a form name; nullptr when the build has no such tool.
const ToolEntry* findToolByButton(const ToolList& tools, const QString& button);
const ToolEntry* findToolByForm(const ToolList& tools, const QString& form);

} // namespace tqdt
