#pragma once

#include <QStringList>
#include <QTextStream>

namespace tqdt {

// What a command of tqdt-cli works with: the words after its family name, where results and
// messages go, and whether stderr is a terminal (for a progress line that overwrites itself).
struct CliIo {
    QTextStream& out;
    QTextStream& err;
    bool progressTerminal = false;
};

// One family of tqdt-cli commands ("cdf", "mpd", ...), declared in its subsystem's own command
// file. main_cli.cpp lists each family once; that entry both dispatches the family and adds its
// help text:
//
//     // src/gateway/GatewayCommands.h
//     CliFamily GatewayCommands();   // {"mgw", runMgw, mgwHelp}
//     // src/app/main_cli.cpp, the family table
//     tqdt::gw::GatewayCommands(),
//
// run returns the exit status: 0 done, 1 the device or the port failed, 2 usage or a bad file.
struct CliFamily {
    const char* name;
    int (*run)(const QStringList& args, CliIo& io);
    QString (*help)();
};

} // namespace tqdt
