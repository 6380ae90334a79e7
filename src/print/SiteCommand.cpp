#include "print/SiteCommand.h"

#include "bus/ActivityCheck.h"
#include "cli/CliHost.h"
#include "host/Host.h"
#include "network/SiteSurvey.h"
#include "print/SurveyReport.h"

#include <atomic>
#include <csignal>
#include <optional>

namespace tqdt::net {

namespace {

// Set by SIGINT or SIGTERM; the survey looks at it before its next request.
std::atomic<bool> g_stopRequested{false};

extern "C" void onStopSignal(int) { g_stopRequested = true; }

struct SurveyArgs {
    QString port, site, technician, dir;
    QPageSize::PageSizeId paper = LocalePaper();
};

// The options of "site survey"; why says what is wrong when it returns nothing.
std::optional<SurveyArgs> parseSurvey(const QStringList& args, QString& why)
{
    SurveyArgs a;
    for (int i = 0; i < args.size(); ++i) {
        const QString& w = args[i];
        QString* target = w == QLatin1String("--port")         ? &a.port
                          : w == QLatin1String("--site-name")  ? &a.site
                          : w == QLatin1String("--technician") ? &a.technician
                          : w == QLatin1String("-o")           ? &a.dir
                                                               : nullptr;
        const bool paper = w == QLatin1String("--paper");
        if (!target && !paper) {
            why = QStringLiteral("unexpected '%1'").arg(w);
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            why = QStringLiteral("%1 needs a value").arg(w);
            return std::nullopt;
        }
        const QString value = args[++i];
        if (paper) {
            if (value != QLatin1String("a4") && value != QLatin1String("letter")) {
                why = QStringLiteral("--paper is a4 or letter, not '%1'").arg(value);
                return std::nullopt;
            }
            a.paper = value == QLatin1String("a4") ? QPageSize::A4 : QPageSize::Letter;
        } else {
            *target = value;
        }
    }
    if (a.port.isEmpty())
        why = QStringLiteral("--port PORT is needed");
    else if (a.dir.isEmpty())
        why = QStringLiteral("-o DIR is needed");
    return why.isEmpty() ? std::optional<SurveyArgs>(a) : std::nullopt;
}

int survey(const SurveyArgs& a, QTextStream& err)
{
    const auto cli = OpenCliHost(a.port, err);
    if (!cli)
        return 1;
    Host& host = *cli->host;
    CancelToken cancel;
    g_stopRequested = false;
    auto previousInt = std::signal(SIGINT, onStopSignal);
    auto previousTerm = std::signal(SIGTERM, onStopSignal);
    host.setYieldHandler([&cancel] {
        if (g_stopRequested)
            cancel.request();
    });

    SurveyRecord record;
    record.tool = QStringLiteral("tqdt-cli " TQDT_VERSION);
    record.port = cli->portName;
    record.site = a.site;
    record.technician = a.technician;
    SiteSurvey s(host, cancel);
    s.onProgress = [&err](const SiteSurvey::Progress& p) {
        if (p.address < 0)
            err << "tqdt-cli: site survey: " << p.stage << Qt::endl;
    };
    const SiteSurvey::Outcome outcome = s.run(record);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    host.setYieldHandler({});

    switch (outcome) {
    case SiteSurvey::Outcome::OtherMaster:
        err << "tqdt-cli: "
            << AnotherMasterText(QStringLiteral("Scan")).replace(QLatin1String("\r\n"), QLatin1String(" "))
            << Qt::endl;
        return 1;
    case SiteSurvey::Outcome::Stopped: err << "Survey stopped" << Qt::endl; return 1;
    case SiteSurvey::Outcome::PortGone:
    case SiteSurvey::Outcome::Complete: break;
    }
    if (const QString why = WriteSurveyFiles(a.dir, record, a.paper); !why.isEmpty()) {
        err << "tqdt-cli: " << why << Qt::endl;
        return 1;
    }
    if (!record.complete) {
        err << "tqdt-cli: " << IncompleteLine(record) << Qt::endl;
        return 1;
    }
    err << "tqdt-cli: site survey: " << record.devices.size() << " devices" << Qt::endl;
    return 0;
}

int diff(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2 || args[0].isEmpty() || args[1].isEmpty()) {
        err << "tqdt-cli: site diff: OLD.json NEW.json are needed" << Qt::endl;
        return 2;
    }
    SurveyRecord before, after;
    for (const auto& [path, record] : {std::pair{args[0], &before}, std::pair{args[1], &after}}) {
        if (const FileResult r = ReadSurveyFile(path, *record); !r) {
            err << "tqdt-cli: " << r.line() << Qt::endl;
            return 2;
        }
    }
    const QStringList lines = DiffSurveys(before, after);
    for (const QString& l : lines)
        out << l << Qt::endl;
    return lines.isEmpty() ? 0 : 1;
}

} // namespace

bool IsSiteSurveyCommand(const QStringList& args)
{
    return !args.isEmpty() && args[0] == QLatin1String("survey");
}

int RunSiteCommand(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString verb = args.value(0);
    if (verb == QLatin1String("diff"))
        return diff(args.mid(1), out, err);
    if (verb != QLatin1String("survey")) {
        err << "tqdt-cli: site: "
            << (verb.isEmpty() ? QStringLiteral("survey or diff?")
                               : QStringLiteral("unknown command 'site %1'").arg(verb))
            << Qt::endl;
        return 2;
    }
    QString why;
    const std::optional<SurveyArgs> a = parseSurvey(args.mid(1), why);
    if (!a) {
        err << "tqdt-cli: site survey: " << why << Qt::endl;
        return 2;
    }
    return survey(*a, err);
}

QString SiteCommandHelp()
{
    return QStringLiteral(
        "  site survey --port PORT [--site-name NAME] [--technician NAME] [--paper a4|letter] -o DIR\n"
        "              record what is on the bus, changing nothing: survey.json, survey.csv, survey.pdf\n"
        "  site diff OLD.json NEW.json\n"
        "              print what changed between two surveys (exit 1 when something did)\n");
}

namespace {
int runSite(const QStringList& args, CliIo& io) { return RunSiteCommand(args, io.out, io.err); }
} // namespace

CliFamily SiteCommands() { return {"site", runSite, SiteCommandHelp}; }

} // namespace tqdt::net
