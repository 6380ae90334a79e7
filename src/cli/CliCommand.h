#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>
#include <utility>
#include <vector>

namespace tqdt {

// What a command of tqdt-cli works with: where results and messages go, and whether stderr is a
// terminal (for a progress line that overwrites itself). Every line the program writes on err goes
// through say(), so that each starts with the program's name.
class CliIo {
public:
    CliIo(QTextStream& out, QTextStream& err, bool progressTerminal = false)
        : out(out), err(err), progressTerminal(progressTerminal)
    {
    }

    QTextStream& out;
    QTextStream& err;
    bool progressTerminal = false;
    // The family now running ("mgw"); set by RunCliFamily.
    QString family;

    // One line on err: "tqdt-cli: " and the text.
    void say(const QString& text);
    // A value the command refuses before anything is sent: "tqdt-cli: FAMILY: why"; returns 2.
    int refuse(const QString& why);
    // A progress line that overwrites itself on a terminal; an empty text clears it. Nothing when
    // err is not a terminal: a script's log should hold results, not counters.
    void progress(const QString& text);

private:
    qsizetype m_progressWidth = 0;
};

// One option of a command. value names what follows it ("PORT"); a flag has none.
struct CliOption {
    CliOption() = default;
    CliOption(QString name, QString value, QString help, bool required = false, QStringList choices = {})
        : name(std::move(name)), value(std::move(value)), help(std::move(help)), required(required),
          choices(std::move(choices))
    {
    }

    QString name; // "--port", "-o"
    QString value;
    QString help;
    bool required = false;
    // When not empty, the value must be one of these (letter case aside).
    QStringList choices;
    // The value names a port: "COMn" that a settings file can hold, a device path, or a well-formed
    // rfc2217:// address.
    bool port = false;
    // What a blank value is told instead of the usual "... is empty".
    QString whenBlank;
};

// What the parser made of a command's words.
struct CliArgs {
    QString command;
    QStringList positional;
    QMap<QString, QString> options; // by name, flags with an empty value

    bool has(const QString& option) const { return options.contains(option); }
    QString value(const QString& option) const { return options.value(option); }
};

// One command of a family: its words, its options, the lines its help shows and what runs it.
// The parser, the usage lines and every --help are made from this one description.
struct CliCommand {
    using Run = int (*)(const CliArgs& args, CliIo& io);
    CliCommand(QString name, QStringList args, std::vector<CliOption> options, QString help, Run run)
        : name(std::move(name)), args(std::move(args)), options(std::move(options)), help(std::move(help)),
          run(run)
    {
    }

    QString name;
    QStringList args; // the positional arguments' names, each required: {"FILE.CDF"}; a last
                      // one ending in "..." takes one word or more
    std::vector<CliOption> options;
    QString help; // one or more lines, without indentation
    Run run = nullptr;
    // Drawing needs fonts: the program then runs a GUI application (on the offscreen platform unless
    // another is asked for).
    bool needsFonts = false;
};

// One family of tqdt-cli commands ("cdf", "mpd", ...), declared in its subsystem's own command file
// and listed once in main_cli.cpp's family table. run returns the exit status: 0 done, 1 the device or
// the port failed, 2 usage or a bad file.
struct CliFamily {
    QString name;
    QString help; // one line
    std::vector<CliCommand> commands;

    const CliCommand* find(const QString& command) const;
};

// The --port option every command that talks to a device takes.
CliOption CliPortOption(const QString& name = QStringLiteral("--port"),
                        const QString& value = QStringLiteral("PORT"));

// Parses the words after the family's name. Nothing, with *why set, when they do not fit the
// family's description; *help is set (and nothing returned) when they ask for help.
std::optional<CliArgs> ParseCli(const CliFamily& family, const QStringList& words, QString& why,
                                bool* help = nullptr);

// "mgw export-csv FILE.MGW [--points 350|750] [-o OUT.CSV]"
QString CliSynopsis(const CliFamily& family, const CliCommand& command);
// The lines a family adds to the program's help: each command's synopsis and what it does.
QString CliFamilySummary(const CliFamily& family);
// tqdt-cli FAMILY --help and tqdt-cli FAMILY COMMAND --help.
QString CliFamilyHelp(const CliFamily& family);
QString CliCommandHelp(const CliFamily& family, const CliCommand& command);

// Parses and runs the words after the family's name: help on out (exit 0), a usage error in one
// line (exit 2), or the command's own status.
int RunCliFamily(const CliFamily& family, const QStringList& words, CliIo& io);
// Whether the words name a command that draws.
bool CliNeedsFonts(const CliFamily& family, const QStringList& words);

// The number in "COMn" (letter case aside): nothing when the name is not "COMn", 0 when the number
// is beyond what a settings file can hold (COM0, COM99999999999).
std::optional<int> CliComNumber(const QString& port);
// Empty when the name can be given to --port, else why not (a usage error).
QString CliPortProblem(const QString& port);

// Where an export of the document INPUT goes: OUTPUT when given, else INPUT with its three-character
// extension replaced by CSV, or with ".CSV" added when it has none. Empty, with *why set, when that
// file is the document itself (compared as files, not as names).
QString CliExportPath(const QString& input, const QString& output, QString* why);

} // namespace tqdt
