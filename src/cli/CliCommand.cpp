#include "cli/CliCommand.h"

#include "documents/CsvPath.h"
#include "ports/Rfc2217Protocol.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <filesystem>
#include <limits>
#include <system_error>

namespace tqdt {

namespace {

// The one place the program's name starts a line.
const QString kProgram = QStringLiteral("tqdt-cli");

bool isHelp(const QString& word) { return word == QLatin1String("--help") || word == QLatin1String("-h"); }

bool blank(const QString& s) { return s.trimmed().isEmpty(); }

QString optionSynopsis(const CliOption& o)
{
    const QString text = o.value.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.value;
    return o.required ? text : QLatin1Char('[') + text + QLatin1Char(']');
}

QString indented(const QString& text, int indent)
{
    QString out;
    const QString pad(indent, QLatin1Char(' '));
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        out += pad + line + QLatin1Char('\n');
    return out;
}

// Two columns: what is typed, then what it means.
QString table(const std::vector<std::pair<QString, QString>>& rows)
{
    qsizetype width = 0;
    for (const auto& [left, right] : rows)
        width = std::max(width, left.size());
    QString out;
    for (const auto& [left, right] : rows) {
        const QStringList lines = right.split(QLatin1Char('\n'));
        out += QStringLiteral("  ") + left.leftJustified(width + 2) + lines.value(0) + QLatin1Char('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            out += QString(width + 4, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
    }
    return out;
}

const QString kEndOfOptions =
    QStringLiteral("end the options: every word after it is an argument\n(a file named -dash.MGW)");

} // namespace

void CliIo::say(const QString& text) { err << kProgram << ": " << text << Qt::endl; }

int CliIo::refuse(const QString& why)
{
    say(family.isEmpty() ? why : family + QStringLiteral(": ") + why);
    return 2;
}

void CliIo::progress(const QString& text)
{
    if (!progressTerminal)
        return;
    m_progressWidth = std::max(m_progressWidth, text.size());
    err << '\r' << text.leftJustified(m_progressWidth) << (text.isEmpty() ? "\r" : "");
    err.flush();
    if (text.isEmpty())
        m_progressWidth = 0;
}

const CliCommand* CliFamily::find(const QString& command) const
{
    for (const CliCommand& c : commands)
        if (c.name == command)
            return &c;
    return nullptr;
}

CliOption CliPortOption(const QString& name, const QString& value)
{
    CliOption o;
    o.name = name;
    o.value = value;
    o.help = QStringLiteral("COMn (mapped in the settings file's [Ports]), a device path or\n"
                            "rfc2217://HOST:PORT[?ign_set_control&ign_purge&timeout=SECONDS]");
    o.required = true;
    o.port = true;
    return o;
}

std::optional<CliArgs> ParseCli(const CliFamily& family, const QStringList& words, QString& why, bool* help)
{
    why.clear();
    if (help)
        *help = false;
    QStringList names;
    for (const CliCommand& c : family.commands)
        names << c.name;
    if (words.isEmpty()) {
        why = QStringLiteral("%1 %2?").arg(family.name, names.join(QLatin1Char('|')));
        return std::nullopt;
    }
    if (isHelp(words[0])) {
        if (help)
            *help = true;
        return std::nullopt;
    }
    const CliCommand* command = family.find(words[0]);
    if (!command) {
        why = QStringLiteral("unknown command '%1 %2'").arg(family.name, words[0]);
        return std::nullopt;
    }
    CliArgs parsed;
    parsed.command = command->name;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!optionsEnded && word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            parsed.positional << word;
            continue;
        }
        if (isHelp(word)) {
            if (help)
                *help = true;
            return std::nullopt;
        }
        // "--port=COM3" as well as "--port COM3".
        const qsizetype eq = word.startsWith(QLatin1String("--")) ? word.indexOf(QLatin1Char('=')) : -1;
        const QString name = eq > 0 ? word.left(eq) : word;
        const auto option = std::find_if(command->options.begin(), command->options.end(),
                                         [&](const CliOption& o) { return o.name == name; });
        if (option == command->options.end() || (eq > 0 && option->value.isEmpty())) {
            why = QStringLiteral("unexpected '%1'").arg(word);
            return std::nullopt;
        }
        if (parsed.options.contains(name)) {
            why = QStringLiteral("%1 is given twice").arg(name);
            return std::nullopt;
        }
        QString value;
        if (eq > 0) {
            value = word.mid(eq + 1);
        } else if (!option->value.isEmpty()) {
            if (i + 1 >= words.size()) {
                why = QStringLiteral("%1 needs %2").arg(name, option->value);
                return std::nullopt;
            }
            value = words[++i];
        }
        parsed.options.insert(name, value);
    }
    // A last argument named "FILE.TXT..." takes one word or more.
    const bool variadic = !command->args.isEmpty() && command->args.last().endsWith(QLatin1String("..."));
    if (!variadic && parsed.positional.size() > command->args.size()) {
        why = QStringLiteral("unexpected '%1'").arg(parsed.positional[command->args.size()]);
        return std::nullopt;
    }
    if (parsed.positional.size() < command->args.size()) {
        why = QStringLiteral("%1 is needed").arg(command->args[parsed.positional.size()]);
        return std::nullopt;
    }
    // An empty word is never taken for "no file" or "the default": it reaches no device and no disk.
    for (qsizetype i = 0; i < parsed.positional.size(); ++i)
        if (blank(parsed.positional[i])) {
            why = QStringLiteral("%1 is empty").arg(command->args[std::min(i, command->args.size() - 1)]);
            return std::nullopt;
        }
    for (const CliOption& o : command->options) {
        const auto given = parsed.options.constFind(o.name);
        if (given == parsed.options.cend()) {
            if (o.required) {
                why = QStringLiteral("%1 %2 is needed").arg(o.name, o.value);
                return std::nullopt;
            }
            continue;
        }
        if (o.value.isEmpty())
            continue;
        if (blank(*given)) {
            why = o.whenBlank.isEmpty() ? QStringLiteral("%1 is given an empty %2").arg(o.name, o.value)
                                        : o.whenBlank;
            return std::nullopt;
        }
        if (!o.choices.isEmpty() && !o.choices.contains(*given, Qt::CaseInsensitive)) {
            why = QStringLiteral("%1 must be one of %2, not '%3'")
                      .arg(o.name, o.choices.join(QLatin1Char('|')), *given);
            return std::nullopt;
        }
        if (o.port) {
            if (const QString problem = CliPortProblem(*given); !problem.isEmpty()) {
                why = problem;
                return std::nullopt;
            }
        }
    }
    return parsed;
}

QString CliSynopsis(const CliFamily& family, const CliCommand& command)
{
    QStringList words{family.name, command.name};
    words << command.args;
    for (const CliOption& o : command.options)
        words << optionSynopsis(o);
    return words.join(QLatin1Char(' '));
}

QString CliFamilySummary(const CliFamily& family)
{
    QString out;
    for (const CliCommand& c : family.commands)
        out += QStringLiteral("  ") + CliSynopsis(family, c) + QLatin1Char('\n') + indented(c.help, 14);
    return out;
}

QString CliFamilyHelp(const CliFamily& family)
{
    return QStringLiteral("Usage: %1 %2 COMMAND ...\n\n%3\n\nCommands:\n")
               .arg(kProgram, family.name, family.help) +
           CliFamilySummary(family) +
           QStringLiteral("\nEach command's options: %1 %2 COMMAND --help. \"--\" ends the options,\n"
                          "so that a file whose name starts with \"-\" can be given.\n")
               .arg(kProgram, family.name);
}

QString CliCommandHelp(const CliFamily& family, const CliCommand& command)
{
    std::vector<std::pair<QString, QString>> rows;
    for (const CliOption& o : command.options)
        rows.emplace_back(o.value.isEmpty() ? o.name : o.name + QLatin1Char(' ') + o.value, o.help);
    rows.emplace_back(QStringLiteral("-h, --help"), QStringLiteral("show this text"));
    rows.emplace_back(QStringLiteral("--"), kEndOfOptions);
    return QStringLiteral("Usage: %1 %2\n\n").arg(kProgram, CliSynopsis(family, command)) + command.help +
           QStringLiteral("\n\nOptions:\n") + table(rows);
}

int RunCliFamily(const CliFamily& family, const QStringList& words, CliIo& io)
{
    io.family = family.name;
    QString why;
    bool help = false;
    const std::optional<CliArgs> args = ParseCli(family, words, why, &help);
    const CliCommand* command = words.isEmpty() ? nullptr : family.find(words[0]);
    if (help) {
        io.out << (command ? CliCommandHelp(family, *command) : CliFamilyHelp(family));
        io.out.flush();
        return 0;
    }
    if (!args) {
        io.say(
            QStringLiteral("usage: %1 (see %2 %3 --help)")
                .arg(why, kProgram, command ? family.name + QLatin1Char(' ') + command->name : family.name));
        return 2;
    }
    return command->run(*args, io);
}

bool CliNeedsFonts(const CliFamily& family, const QStringList& words)
{
    const CliCommand* command = words.isEmpty() ? nullptr : family.find(words[0]);
    // Only a command that will run: help and usage errors start no GUI application.
    QString why;
    return command && command->needsFonts && ParseCli(family, words, why);
}

std::optional<int> CliComNumber(const QString& port)
{
    static const QRegularExpression re(QStringLiteral("^COM([0-9]+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(port);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const int n = m.captured(1).toInt(&ok);
    return ok && n >= 1 && n <= std::numeric_limits<qint16>::max() ? n : 0;
}

QString CliPortProblem(const QString& port)
{
    if (CliComNumber(port) == 0)
        return QStringLiteral("%1 is not a port: COM1 to COM%2, or a device path")
            .arg(port)
            .arg(std::numeric_limits<qint16>::max());
    if (QString why; rfc2217::isAddress(port) && !rfc2217::parseAddress(port, &why))
        return port + QStringLiteral(": ") + why;
    return {};
}

QString CliExportPath(const QString& input, const QString& output, QString* why)
{
    QString target = output;
    if (target.isEmpty()) {
        const QString name = QFileInfo(input).fileName();
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        target = dot >= 0 && name.size() - dot - 1 == 3 ? CsvPathFor(input) : input + QStringLiteral(".CSV");
    }
    // The same file under another spelling (a case-insensitive disk, a link) is still the document.
    std::error_code ec;
    if (std::filesystem::equivalent(QFile::encodeName(input).toStdString(),
                                    QFile::encodeName(target).toStdString(), ec)) {
        if (why)
            *why = QStringLiteral("%1: is the document being listed; name another file with -o").arg(target);
        return {};
    }
    return target;
}

} // namespace tqdt
