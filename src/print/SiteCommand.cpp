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

int survey(const CliArgs& args, CliIo& io)
{
    QTextStream& err = io.err;
    const QString dir = args.value(QStringLiteral("-o"));
    const QPageSize::PageSizeId paper =
        !args.has(QStringLiteral("--paper"))                                     ? LocalePaper()
        : args.value(QStringLiteral("--paper")).toLower() == QLatin1String("a4") ? QPageSize::A4
                                                                                 : QPageSize::Letter;
    const auto cli = OpenCliHost(args.value(QStringLiteral("--port")), io);
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
    record.site = args.value(QStringLiteral("--site-name"));
    record.technician = args.value(QStringLiteral("--technician"));
    SiteSurvey s(host, cancel);
    s.onProgress = [&io](const SiteSurvey::Progress& p) {
        if (p.address < 0)
            io.say(QStringLiteral("site survey: ") + p.stage);
    };
    const SiteSurvey::Outcome outcome = s.run(record);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    host.setYieldHandler({});

    switch (outcome) {
    case SiteSurvey::Outcome::OtherMaster:
        io.say(AnotherMasterText(QStringLiteral("Scan")).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return 1;
    case SiteSurvey::Outcome::Stopped: err << "Survey stopped" << Qt::endl; return 1;
    case SiteSurvey::Outcome::PortGone:
    case SiteSurvey::Outcome::Complete: break;
    }
    if (const QString why = WriteSurveyFiles(dir, record, paper); !why.isEmpty()) {
        io.say(why);
        return 1;
    }
    if (!record.complete) {
        io.say(IncompleteLine(record));
        return 1;
    }
    io.say(QStringLiteral("site survey: %1 devices").arg(record.devices.size()));
    return 0;
}

int diff(const CliArgs& args, CliIo& io)
{
    SurveyRecord before, after;
    for (const auto& [path, record] :
         {std::pair{args.positional[0], &before}, std::pair{args.positional[1], &after}}) {
        if (const FileResult r = ReadSurveyFile(path, *record); !r) {
            io.say(r.line());
            return 2;
        }
    }
    const QStringList lines = DiffSurveys(before, after);
    for (const QString& l : lines)
        io.out << l << Qt::endl;
    return lines.isEmpty() ? 0 : 1;
}

} // namespace

CliFamily SiteCommands()
{
    CliCommand surveyCommand{
        QStringLiteral("survey"),
        {},
        {CliPortOption(),
         {QStringLiteral("--site-name"), QStringLiteral("NAME"),
          QStringLiteral("the site's name in the record")},
         {QStringLiteral("--technician"), QStringLiteral("NAME"), QStringLiteral("who surveyed it")},
         {QStringLiteral("--paper"),
          QStringLiteral("a4|letter"),
          QStringLiteral("the report's paper (by default the locale's)"),
          false,
          {QStringLiteral("a4"), QStringLiteral("letter")}},
         {QStringLiteral("-o"), QStringLiteral("DIR"), QStringLiteral("the folder the three files go in"),
          true}},
        QStringLiteral("record what is on the bus, changing nothing: survey.json, survey.csv, survey.pdf"),
        survey};
    surveyCommand.needsFonts = true;
    return {QStringLiteral("site"),
            QStringLiteral("Site surveys: what is on the bus, and what changed between two surveys."),
            {surveyCommand,
             {QStringLiteral("diff"),
              {QStringLiteral("OLD.json"), QStringLiteral("NEW.json")},
              {},
              QStringLiteral("print what changed between two surveys (exit 1 when something did)"),
              diff}}};
}

} // namespace tqdt::net
