#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace tqdt {

class Form;
class Host;
struct ToolEntry;

// How the main window prepares the port before a tool window opens.
enum class LaunchKind {
    Monitor,     // open the port; a receive event for every character
    Scan,        // open the port; both channels must be quiet for a second each
    Discover,    // open the port; the Brown channel must be quiet for a second
    DataLogger,  // open and close the port as a test: the logger uses a port of its own
    Device,      // open the port
    SelfManaged, // the window opens and closes the port itself
};

// Listens for another master before a scan or the discovery. showCheck(true/false) shows and hides
// the "Checking Network Activity" label. Returns true when the network was quiet; otherwise shows
// the message and closes the port.
bool ActivityCheck(Host& host, LaunchKind kind, const std::function<void(bool)>& showCheck);

// Prepares the port, shows the tool window modally and closes the port after it.
// makeForm is called only when the preparation succeeded. Returns true when the window was shown.
bool LaunchTool(Host& host, LaunchKind kind, const std::function<std::unique_ptr<Form>()>& makeForm,
                const std::function<void(bool)>& showCheck = {});
// The same for a tool list entry: its launch kind and its factory.
bool LaunchTool(Host& host, const ToolEntry& tool, const std::function<void(bool)>& showCheck = {});

} // namespace tqdt
