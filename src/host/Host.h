#pragma once

#include "bus/MonitorRing.h"
#include "bus/ReplyStore.h"
#include "host/Clock.h"
#include "host/Dialogs.h"
#include "host/Paths.h"
#include "host/Stopwatch.h"
#include "ports/SerialPort.h"

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <typeinfo>

namespace tqdt {

struct Settings {
    qint16 DTComPort = 1;
    qint16 BTComPort = 1;
    qint16 ComSelIndex = -1;
};

// Set by a window's Cancel button, read by a long handler at the points where it yields. A new run
// clears it first; a request made before then is not carried into it.
//
//     CancelToken cancel;                        // a member of the window
//     cmdCancel -> cancel.request();             // the button
//     cancel.reset();                            // the handler starts
//     host.yieldToUser();                        // at each block boundary
//     if (cancel.requested()) { ...stop... }
class CancelToken {
public:
    void request() { m_requested = true; }
    void reset() { m_requested = false; }
    bool requested() const { return m_requested; }

private:
    bool m_requested = false;
};

// The technician's PC as the program sees it: the clock, the dialogs, the folders, the serial-port
// control of the main window and the state every window shares. main() builds one; each test
// builds its own.
class Host {
public:
    using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

    Host(Clock& clock, Dialogs& dialogs, Paths paths, PortFactory ports);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Clock& clock() const { return m_clock; }
    Stopwatch& stopwatch() { return m_stopwatch; }
    Dialogs& dialogs() const { return m_dialogs; }
    const Paths& paths() const { return m_paths; }

    // The main window's port control, used by every tool.
    SerialPort& comQV() { return *m_comQV; }
    // A port control of its own (the data logger, the Bluetooth tester), at "38400,n,8,1".
    std::unique_ptr<SerialPort> newPort() { return m_ports(); }

    void Delay(qint64 ms) { m_stopwatch.Delay(ms); }

    // Lets pending events run, so that a Cancel button can be clicked in the middle of a long
    // handler. Only handlers that are meant to yield call this (a gateway transfer at each block, a
    // link test between its steps); every other wait blocks. The real program processes the
    // application's events; a test installs a handler that presses a button at a chosen call.
    void yieldToUser();
    void setYieldHandler(std::function<void()> handler) { m_yield = std::move(handler); }

    // The unsaved-changes flag. It is program-wide: one document editor is open at a time and owns
    // it while open, and the value the last editor left is what the next one and an upload's
    // "Discard Changes?" see. Editors mark through their DocumentSession (a sub-window of an editor,
    // such as the notes, through these); no window keeps a flag of its own.
    void markModified() { m_modified = true; }
    void markSaved() { m_modified = false; }
    bool isModified() const { return m_modified; }

    // A document's arrays belong to the program, not to its editor window: they start empty, outlive
    // a closed window and are shared by the windows that work on them. Made on first use.
    template <typename T> T& document()
    {
        std::shared_ptr<void>& slot = m_documents[std::type_index(typeid(T))];
        if (!slot)
            slot = std::make_shared<T>();
        return *static_cast<T*>(slot.get());
    }

    Settings settings;
    ReplyStore reply;
    MonitorRing mon;

    // Set when the program is being ended with nobody there to answer (a logout, a shutdown, a
    // service manager stopping it). Windows then close as they would when closed by hand, except
    // that they never ask: a document with unsaved changes goes to its recovery copy instead.
    bool endingUnattended = false;
    // Whether "The Port Echoes What Is Sent" has been shown since the last answered exchange, so
    // that a window polling a looped-back line shows it once instead of at every poll.
    bool echoReported = false;

    // Called with a tool window's form name just before it opens; the simulated installation
    // uses it to put the matching device on the bench.
    std::function<void(const QString& formName)> onToolOpening;
    // Called with the form name once the tool window has closed; the simulated installation takes
    // away what it put there for the tool.
    std::function<void(const QString& formName)> onToolClosed;

private:
    Clock& m_clock;
    Dialogs& m_dialogs;
    Paths m_paths;
    PortFactory m_ports;
    Stopwatch m_stopwatch;
    std::unique_ptr<SerialPort> m_comQV;
    std::map<std::type_index, std::shared_ptr<void>> m_documents;
    std::function<void()> m_yield;
    bool m_modified = false;
};

} // namespace tqdt
