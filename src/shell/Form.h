#pragma once

#include <QDialog>

namespace tqdt {

class Host;

// A tool window. Load runs once before the window is first shown, Activate each time it becomes
// the active window; Unload may refuse the close (an editor with unsaved changes).
class Form : public QDialog {
    Q_OBJECT
public:
    Form(Host& host, QWidget* parent = nullptr);

    Host& host() const { return m_host; }

    // Runs Form_Load once (the first call) and centres the window.
    void ensureLoaded();
    // Runs Form_Activate; the modal show does this when the window appears.
    void activate();
    bool isLoaded() const { return m_loaded; }
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

    void showEvent(QShowEvent* e) override;
    // Close box, Escape, accept and reject all end here.
    void done(int r) override;

private:
    Host& m_host;
    bool m_loaded = false;
    bool m_activatedOnShow = false;
    bool m_open = false;
};

// Places a window in the middle of the primary screen.
void centreOnScreen(QWidget& w);

// Positions in the forms are kept in twips; 15 twips are one pixel at 96 dpi.
constexpr int tw(int twips) { return (twips + 7) / 15; }

} // namespace tqdt
