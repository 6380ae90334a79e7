// tqdt: the diagnostic tool's windows.
#include "app/common/Tools.h"
#include "condlogic/CdfFile.h"
#include "documents/Settings.h"
#include "host/EndSignals.h"
#include "host/Host.h"
#include "ports/DevicePort.h"
#include "sim/SimSerialPort.h"
#include "sim/Site.h"
#include "ui/shell/Form.h"
#include "ui/shell/QtDialogs.h"
#include "ui/shell/frmQVDTMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QTimer>

#include <cstdio>
#include <cstring>

using namespace tqdt;

namespace {

// Lets a window settle, grabs it to a PNG and reports where it went.
bool grab(QWidget& w, const QString& file)
{
    // Half a second of the window's own timers, so a window that shows live traffic has some to show.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const bool ok = w.grab().save(file, "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "Saved" : "Could not save", qPrintable(file));
    return ok;
}

// For unattended screenshots: a modal window is shown without blocking, grabbed and closed again;
// message boxes are printed and answered with their first button.
class ScreenshotDialogs final : public Dialogs {
public:
    explicit ScreenshotDialogs(QString file) : m_file(std::move(file)) {}
    MsgAnswer message(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override
    {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(QString(text).replace("\r\n", " ")));
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                                  : MsgAnswer::Ok;
    }
    QString openFile(const FileDialogRequest&) override { return {}; }
    QString saveFile(const FileDialogRequest&) override { return {}; }
    void showModal(Form& form) override
    {
        form.ensureLoaded();
        form.markShownModal();
        form.show();
        grabbed = grab(form, m_file);
        form.requestClose();
    }
    bool grabbed = false;

private:
    QString m_file;
};

} // namespace

namespace {

void describeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Tarvik Quorvel Diagnostic Tool"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {QStringLiteral("simulate"), QStringLiteral("Work on the built-in simulated installation.")});
    parser.addOption({QStringLiteral("open"), QStringLiteral("Open the window FORM as its button would."),
                      QStringLiteral("FORM")});
    parser.addOption({QStringLiteral("screenshot"),
                      QStringLiteral("Save the opened window to FILE.png and exit."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("document"),
                      QStringLiteral("Start with the conditional data file FILE.CDF as the ladder document."),
                      QStringLiteral("FILE")});
}

// --help and --version are answered before any window exists, so they work without a display.
bool asksOnlyForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* word : {"--help", "-h", "-?", "--help-all", "--version", "-v"})
            if (std::strcmp(argv[i], word) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("tqdt"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TQDT_VERSION));
        QCommandLineParser parser;
        describeOptions(parser);
        parser.process(app); // prints the text and exits
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tqdt"));
    QApplication::setApplicationVersion(QStringLiteral(TQDT_VERSION));
    // The icon is compiled in, so a build that was never installed shows it in every title bar too;
    // the desktop file name lets a desktop match the windows to the installed menu entry.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tqdt-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("tqdt"));
    // The forms are laid out for Calibri; Carlito has the same metrics where Calibri is missing.
    QFont::insertSubstitution(QStringLiteral("Calibri"), QStringLiteral("Carlito"));
    QFont font(QStringLiteral("Calibri"));
    font.setPointSize(10);
    QApplication::setFont(font);

    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);

    const bool simulate = parser.isSet(QStringLiteral("simulate"));
    const QString openForm = parser.value(QStringLiteral("open"));
    const QString shotFile = parser.value(QStringLiteral("screenshot"));

    SteadyClock clock;
    QtDialogs qtDialogs;
    ScreenshotDialogs shotDialogs(shotFile);
    Dialogs& dialogs = shotFile.isEmpty() ? static_cast<Dialogs&>(qtDialogs) : shotDialogs;
    Paths paths;
    std::unique_ptr<sim::Site> site = simulate ? sim::Site::builtIn() : nullptr;
    Host::PortFactory ports;
    if (site)
        ports = [&] { return std::make_unique<sim::SimSerialPort>(*site, clock); };
    else
        ports = [&] { return std::make_unique<DevicePort>([&](int n) { return ComDevice(paths, n); }); };
    Host host(clock, dialogs, paths, ports);
    const ToolList& tools = app::toolList();
    if (site) {
        auto bench = [&](const QString& form, BenchHook ToolEntry::*hook) {
            if (const ToolEntry* tool = findToolByForm(tools, form); tool && tool->*hook)
                (tool->*hook)(*site);
        };
        host.onToolOpening = [=](const QString& form) { bench(form, &ToolEntry::prepareBench); };
        host.onToolClosed = [=](const QString& form) { bench(form, &ToolEntry::clearBench); };
    }

    if (const QString cdf = parser.value(QStringLiteral("document")); !cdf.isEmpty()) {
        if (const FileResult r = cnd::CdfRead(cdf, host.document<cnd::CndDocument>()); !r) {
            std::fprintf(stderr, "%s\n", qPrintable(r.line()));
            return 2;
        }
    }

    frmQVDTMain main(host, tools);
    // A logout, a shutdown or a service manager ends the program as closing its windows would, but
    // nobody is asked anything.
    WatchEndSignals(&main, [&] {
        qtDialogs.endUnattended();
        main.endUnattended([] { QApplication::quit(); });
    });
    if (simulate) {
        main.setWindowTitle(main.windowTitle() + QStringLiteral(" (Simulated)"));
        // The Bluetooth tester's adapter sits on a port of its own; both settings start at COM1.
        Settings& s = host.settings;
        if (s.BTComPort == s.DTComPort)
            s.BTComPort = qint16(s.DTComPort % 16 + 1);
        site->pluggedPort = [&s] { return s.BTComPort != s.DTComPort ? int(s.BTComPort) : 0; };
    }

    if (!openForm.isEmpty()) {
        main.show();
        if (openForm == QLatin1String("frmQVDTMain")) {
            if (!shotFile.isEmpty())
                return grab(main, shotFile) ? 0 : 1;
        } else if (openForm == QLatin1String("frmComSel")) {
            main.lblComPort_Click();
        } else {
            const ToolEntry* tool = findToolByForm(tools, openForm);
            if (!tool) {
                std::fprintf(stderr, "Unknown window: %s\n", qPrintable(openForm));
                return 2;
            }
            main.launch(tool->button);
        }
        if (!shotFile.isEmpty())
            return shotDialogs.grabbed ? 0 : 1;
        // Ended while the window was open: the event loop that would run next has been told to quit
        // before it started.
        if (host.endingUnattended)
            return 0;
    }
    main.show();
    return app.exec();
}
