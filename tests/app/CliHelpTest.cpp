#include "support/RunCli.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tqdt;
using tqdt::test::CliRun;

namespace {

const QStringList kFamilies{"cdf", "mpd", "mgw", "qdm", "log", "ws", "bt", "site"};

// The synopsis lines of a help text: "  mgw export-csv FILE.MGW [--points 350|750] [-o OUT.CSV]".
QStringList synopses(const QByteArray& help, const QString& family)
{
    QStringList out;
    for (const QString& line : QString::fromUtf8(help).split('\n'))
        if (line.startsWith("  " + family + ' '))
            out << line.trimmed();
    return out;
}

// A word that fits where the synopsis names VALUE: every file and port is one that does not exist,
// so that the command gets past its parser and then fails on the file or the port.
QString valueFor(const QString& value, const QTemporaryDir& dir)
{
    if (value.contains('|'))
        return value.section('|', 0, 0);
    if (value == "PORT" || value == "PORT2")
        return dir.filePath("no-such-" + value.toLower());
    if (value == "HH")
        return "10";
    if (value == "BTA")
        return "0012F3A4B5C6";
    if (value == "NAME")
        return "Tarvik-1";
    return dir.filePath(value); // FILE.CDF, OUT.CSV, ...
}

// The words of a synopsis with every argument and option filled in.
QStringList wordsOf(const QString& synopsis, const QTemporaryDir& dir)
{
    static const QRegularExpression item(R"(\[([^\]]+)\]|(\S+))");
    QStringList words;
    QStringList parts;
    for (auto it = item.globalMatch(synopsis); it.hasNext();) {
        const auto m = it.next();
        parts << (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
    }
    words << parts.mid(0, 2); // family and command
    for (const QString& part : parts.mid(2)) {
        const QStringList option = part.split(' ');
        if (option[0].startsWith('-')) {
            words << option[0];
            if (option.size() > 1)
                words << valueFor(option[1], dir);
        } else {
            words << valueFor(part, dir);
        }
    }
    return words;
}

bool isUsageError(const CliRun& r) { return r.exitCode == 2 && r.err.startsWith("tqdt-cli: usage: "); }

} // namespace

// The program's help, each family's and each command's are written from the table the parser reads:
// each lists exactly its own commands, and whatever a help lists gets past the parser.
TEST(CliHelp, EveryHelpListsWhatTheParserAccepts)
{
    QTemporaryDir dir;
    const CliRun program = test::RunCli({"--help"}, {dir.path()});
    ASSERT_EQ(program.exitCode, 0);
    for (const QString& family : kFamilies) {
        SCOPED_TRACE(family.toStdString());
        const CliRun help = test::RunCli({family, "--help"}, {dir.path()});
        EXPECT_EQ(help.exitCode, 0) << help.err.constData();
        const QStringList commands = synopses(help.out, family);
        ASSERT_FALSE(commands.isEmpty()) << help.out.constData();
        // The program's help holds the same lines, and no family's help holds another's.
        EXPECT_EQ(synopses(program.out, family), commands);
        for (const QString& other : kFamilies) {
            if (other != family) {
                EXPECT_TRUE(synopses(help.out, other).isEmpty()) << other.toStdString();
            }
        }

        for (const QString& synopsis : commands) {
            SCOPED_TRACE(synopsis.toStdString());
            const QString command = synopsis.section(' ', 1, 1);
            const CliRun own = test::RunCli({family, command, "--help"}, {dir.path()});
            EXPECT_EQ(own.exitCode, 0);
            EXPECT_TRUE(own.out.startsWith(("Usage: tqdt-cli " + synopsis + "\n").toUtf8()))
                << own.out.constData();
            // Each option of the command's own help is in its synopsis.
            for (const QString& line : QString::fromUtf8(own.out).split('\n')) {
                const QString option = line.trimmed().section(' ', 0, 0);
                if (line.startsWith("  -") && option != "-h," && option != "--") {
                    EXPECT_TRUE(synopsis.contains(option)) << option.toStdString();
                }
            }

            const QStringList words = wordsOf(synopsis, dir);
            const CliRun accepted = test::RunCli(words, {dir.path()});
            EXPECT_FALSE(isUsageError(accepted)) << words.join(' ').toStdString() << "\n"
                                                 << accepted.err.constData();
            EXPECT_NE(accepted.exitCode, 0) << "nothing it names exists";

            const CliRun unlisted = test::RunCli(words + QStringList{"--unlisted"}, {dir.path()});
            EXPECT_TRUE(isUsageError(unlisted)) << unlisted.err.constData();
            EXPECT_TRUE(unlisted.err.contains("'--unlisted'")) << unlisted.err.constData();
            EXPECT_EQ(unlisted.err.count('\n'), 1) << unlisted.err.constData();
        }
    }
}

// The same mistake is the same usage error, with exit status 2, in every family; nothing is opened.
TEST(CliHelp, UsageErrorsAreTheSameInEveryFamily)
{
    QTemporaryDir dir;
    const QString map = dir.filePath("SITE.MGW");
    const QStringList cases[] = {
        // COM numbers no settings file can hold
        {"cdf", "download", "X.CDF", "--port", "COM0"},
        {"mgw", "download", map, "--port", "COM0"},
        {"qdm", "firmware", "--port", "COM99999999999"},
        {"ws", "find", "--family", "g3", "--port", "COM0"},
        {"bt", "configure", "--port", "COM0"},
        {"bt", "test", "--port", "COM3", "--tester", "COM0", "--address", "0012F3A4B5C6"},
        // addresses of a device server that cannot be used
        {"mgw", "upload", map, "--port", "rfc2217://"},
        {"ws", "find", "--family", "g3", "--port", "rfc2217://host"},
        {"cdf", "download", "X.CDF", "--port", "rfc2217://host:4000?timeout=nan"},
        {"mpd", "download", "X.MPD", "--port", "rfc2217://host:4000?timeout=inf"},
        {"qdm", "firmware", "--port", "rfc2217://host:4000?bogus"},
        // an empty or blank word is never "no file" or a default
        {"qdm", "download", "", "--port", "COM1"},
        {"qdm", "checksum", ""},
        {"qdm", "export-csv", " "},
        {"qdm", "export-csv", map, "-o", ""},
        {"mgw", "export-csv", map, "-o", ""},
        {"mpd", "export-csv", "X.MPD", "-o", ""},
        {"cdf", "compile", "X.CDF", "-o", ""},
        {"cdf", "print", "X.CDF", "-o", ""},
        {"log", "decode", ""},
        {"mgw", "upload", map, "--port", ""},
        {"bt", "configure", "--port", "COM3", "--name", ""},
        // a value given twice, a missing one, an option's value left out
        {"mgw", "export-csv", map, "-o", "A.CSV", "-o", "B.CSV"},
        {"mgw", "export-csv", map, "-o"},
        {"cdf", "checksum"},
        {"ws", "identify", "--family", "g3"},
    };
    for (const QStringList& args : cases) {
        const CliRun r = test::RunCli(args, {dir.path()});
        EXPECT_TRUE(isUsageError(r)) << args.join(' ').toStdString() << " => " << r.exitCode << " "
                                     << r.err.constData();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("A.CSV")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0) << "nothing is written";
}

// "--" ends the options, so a file whose name starts with "-" can be named; before it, such a word
// is an option the command does not have.
TEST(CliHelp, DoubleDashEndsTheOptions)
{
    QTemporaryDir dir;
    QFile map(dir.filePath("-dash.MGW"));
    ASSERT_TRUE(map.open(QIODevice::WriteOnly));
    map.write(QByteArray(262144, '\0'));
    map.close();
    test::CliOptions options(dir.path());
    options.workingDirectory = dir.path();
    const QDir here(dir.path());
    const CliRun plain = test::RunCli({"mgw", "checksum", "-dash.MGW"}, options);
    const CliRun ended = test::RunCli({"mgw", "checksum", "--", "-dash.MGW"}, options);
    const CliRun exported = test::RunCli({"mgw", "export-csv", "--", "-dash.MGW"}, options);
    EXPECT_TRUE(isUsageError(plain)) << plain.err.constData();
    EXPECT_EQ(ended.exitCode, 0) << ended.err.constData();
    EXPECT_EQ(ended.out.count('\n'), 2);
    EXPECT_EQ(exported.exitCode, 0) << exported.err.constData();
    EXPECT_TRUE(here.exists("-dash.CSV"));
}
