#pragma once
// What a floating panel of the main window (connection settings, read-all, send-all,
// language, please-wait) may ask of the window around it. Each panel is a class that
// owns its controls and what they do; the window centres them and answers this.

#include "shell/TextService.h"

#include <QStringList>

namespace vx {
class Link;
class SettingsStore;
class WorkingSet;
}  // namespace vx

namespace vx::gui {

class Panel;
class TabPage;
struct WindowState;

class PanelHost {
public:
    virtual Link &link() = 0;
    virtual const TextService &texts() const = 0;
    virtual WindowState &state() = 0;
    virtual WorkingSet &workingSet() = 0;
    virtual SettingsStore &store() = 0;
    virtual TabPage &pageOf(int tab) = 0;
    // A panel centred over the client area and raised.
    virtual void putInFront(Panel *panel) = 0;
    // A panel put in front: the shell locked and the light yellow; and, when it goes,
    // the shell unlocked and the light green.
    virtual void panelShown(Panel *panel) = 0;
    virtual void panelClosed() = 0;
    // The frame of an operation on the line (light yellow, tab strip and side panel off).
    virtual void beginOperation() = 0;
    virtual void endOperation() = 0;
    virtual void DisconnectAction() = 0;
    // Whether the connected indicator's range is known, read again when it is not.
    virtual bool rangeReady() = 0;
    // The outcome of a read-all or send-all, stamped with the time, in the status bar.
    virtual void showBatchOutcome(BuiltIn text) = 0;
    // The serial ports there are now (the settings' port map read again first).
    virtual QStringList listPorts() = 0;
    // The device address changed while connected: the pages read what they need anew.
    virtual void addressChanged() = 0;
    // Before a read replaces data: when the data in the window came from another
    // indicator than the connected one, says so and asks whether to keep or clear it.
    virtual void checkDataIndicator() {}
    // The language file in the settings was changed: the texts are read and applied.
    virtual void languageChosen() = 0;

protected:
    ~PanelHost() = default;
};

// SSPanel10 "PLEASE WAIT", over the window while a connect runs.
class WaitPanel {
public:
    explicit WaitPanel(QWidget *parent);
    Panel *panel() const { return m_panel; }
    void show(PanelHost &host);
    void hide();

private:
    Panel *m_panel;
};

}  // namespace vx::gui
