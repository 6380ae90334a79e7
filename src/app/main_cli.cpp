// tqdt-cli: the diagnostic tool's headless companion.
#include "condlogic/CndCommands.h"
#include "dmx/QdmCommand.h"
#include "shell/CliCommand.h"
#include "shell/Pty.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

// Every command family, once: its entry dispatches it and adds its lines to the help.
const tqdt::CliFamily kFamilies[] = {
    tqdt::cnd::CdfCommands(),
    tqdt::cnd::MpdCommands(),
    tqdt::dmx::QdmCommands(),
};

void usage(FILE* out)
{
    std::fputs("Usage: tqdt-cli [--help] [--version] | COMMAND ...\n"
               "\n"
               "Headless companion of the Tarvik Quorvel Diagnostic Tool.\n"
               "  --help      show this text\n"
               "  --version   show the version\n"
               "\n"
               "Commands:\n",
               out);
    for (const tqdt::CliFamily& f : kFamilies)
        std::fputs(qPrintable(f.help()), out);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "--help") == 0 || std::strcmp(cmd, "-h") == 0) {
        usage(stdout);
        return 0;
    }
    if (std::strcmp(cmd, "--version") == 0) {
        std::printf("tqdt-cli %s\n", TQDT_VERSION);
        return 0;
    }
    for (const tqdt::CliFamily& f : kFamilies) {
        if (std::strcmp(cmd, f.name) != 0)
            continue;
        QTextStream out(stdout), err(stderr);
        tqdt::CliIo io{out, err, tqdt::StandardErrorIsTerminal()};
        return f.run(QCoreApplication::arguments().mid(2), io);
    }
    std::fprintf(stderr, "tqdt-cli: unknown command '%s' (see --help)\n", cmd);
    return 2;
}
