#pragma once

#include <QDialog>
#include <QPoint>

namespace tqdt {

class Host;

// A tool window. Load runs once before the window is first shown, Activate each time it becomes
// the active window; Unload may refuse the close (an editor with unsaved changes).
class Form : public QDialog {
    Q_OBJECT
public:
    Form(Host& host, QWidget* parent = nullptr);

    Host& host() const { return m_host; }

    // Runs Form_Load once (the first call) and centres the window at its final size.
    void ensureLoaded();
    // Runs Form_Activate. A window that is shown runs it by itself once it is on the screen and has
    // painted; a scripted modal show calls it directly.
    void activate();
    // Between a modal show and the close that ends it.
    bool isShownModal() const { return m_open; }
    void markShownModal() { m_open = true; }
    // Asks the window to close the way its close box does; false when Form_Unload refused.
    bool requestClose();

protected:
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // Set cancel to keep the window open.
    virtual void Form_Unload(bool& cancel) { (void)cancel; }

    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Escape closes nothing here: a tool or an editor window stays until it is closed on purpose.
    // The small pickers give Escape the meaning "no choice" themselves.
    void keyPressEvent(QKeyEvent* e) override;
    // Close box, Escape, accept and reject all end here.
    void done(int r) override;

private:
    void activateOnScreen();
    void queueActivation();

    Host& m_host;
    bool m_loaded = false;
    bool m_activationDue = false;
    bool m_activationQueued = false;
    bool m_watchingWindow = false;
    bool m_placedWithFrame = false;
    bool m_waitingForMove = false;
    bool m_open = false;
    // Where load centred the window; a window its opener moved elsewhere keeps that place.
    QPoint m_centredAt;
};

// Places a window in the middle of the available area of its screen (the primary one when it has
// none yet) at the size it will be shown with, its frame included where it is known, and keeps it
// on that screen.
void centreOnScreen(QWidget& w);

// Repaints a widget at once, for handlers that run without yielding: the new state reaches the screen
// before the handler goes on, while clicks and keys wait until the handler is done.
void repaintNow(QWidget& w);

// Repaints a window a message box has just been closed over, before a handler that does not yield
// goes on: otherwise the box's picture stays over the window until the handler ends. Lets the window
// handle what the window system reports about it, but no clicks, keys or port events. Only for
// windows without timers of their own, which would otherwise run in between.
void repaintAfterDialog(QWidget& window);

// Positions in the forms are kept in twips; 15 twips are one pixel at 96 dpi.
constexpr int tw(int twips) { return (twips + 7) / 15; }

} // namespace tqdt
