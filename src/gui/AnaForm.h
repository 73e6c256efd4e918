#pragma once
// The main window: menus, toolbar, the seven-page tab strip, the side panel with
// the status light, the floating panels (connection settings, read-all, send-all,
// language, please-wait) and the life cycle around them. The window's own state
// lives in AppState and the Link; the widgets only show it.

#include "link/ClockTimer.h"
#include "link/Connect.h"
#include "link/Interfaces.h"
#include "link/Settings.h"
#include "link/Transaction.h"
#include "shell/AppState.h"
#include "shell/LanguageTexts.h"
#include "gui/Form1.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class QToolBar;

namespace vx::gui {


class Lamp;
class Panel;
class StatusTab;

class AnaForm : public QMainWindow {
    Q_OBJECT
public:
    // Outer size of the window in twips (15 twips a pixel).
    static constexpr int WidthTwips = 9795;
    static constexpr int HeightTwips = 9645;
    static constexpr int TwipsPerPixel = 15;
    static QSize OuterSize() { return {WidthTwips / TwipsPerPixel, HeightTwips / TwipsPerPixel}; }
    static constexpr int StatusTimerMs = 5000;

    AnaForm(SerialPortIo &port, Clock &clock, Operator &op, SettingsStore &store, QWidget *parent = nullptr);
    ~AnaForm() override;

    // ---- life cycle ----
    // The start-up sequence. Waits, processing events, until a model is chosen in the
    // model dialog (or takes preselectedModel, "ZR1"/"ZR2", without asking).
    // Returns false when the dialog was closed without a choice: the program ends.
    bool FormLoad(const QString &preselectedModel = {});
    bool isReady() const { return m_ready; }
    Form1 *form1() const { return m_form1; }  // only during start-up

    // ---- shared state ----
    AppState &state() { return m_state; }
    const AppState &state() const { return m_state; }
    Link &link() { return *m_link; }
    LinkSettings &settings() { return m_link->settings; }
    SettingsStore &store() { return m_store; }
    Operator &op();  // the operator the Link uses (drives the window's progress bars)
    const LanguageTexts &texts() const { return m_texts; }
    QString text(int line) const { return m_texts.text(line); }
    // Text of a line as the window shows it: the design caption while no language
    // file has been loaded.
    QString captionText(int line) const;
    QStringList listedPorts() const { return m_listedPorts; }

    // ---- status light ----
    // "yeşil" green, "kırmızı" red, "sarı" yellow; anything else hides all three.
    void ışık(const QString &colour);
    QString lightColour() const;  // the colour shown, "" when none

    // ---- connecting ----
    void ConnectAction();     // the red light's click
    void DisconnectAction();  // the green light's click
    void connectMenuClick();  // the "connect" menu
    bool VersiyonOku();
    const VersionResult &lastVersion() const { return m_lastVersion; }
    void ZR2DeğilseGizle(bool visible);

    // ---- refresh, keys, timer, tabs ----
    void RefKatmaOlum();
    void EscapeKey();
    void F5Key();
    void Timer4_Timer();
    // The 5-second status timer; it runs on the clock, so tests drive it in virtual time.
    ClockTimer *timer4() const { return m_timer4.get(); }
    void SSTab1_Click(int tab);  // the tab-change handler

    // ---- connection settings panel ----
    void openConnectionPanel();
    void SSCommand1_Click();  // accept
    void SSCommand7_Click();  // cancel
    void Combo9_Click();      // parity chosen: data bits follow
    void readingTimeEntry();  // Shift+Ctrl+Alt+R on the accept button

    // ---- language ----
    void diloku();
    void openLanguagePanel();
    void SSCommand9_Click();  // apply the chosen language file
    void SSCommand8_Click();  // close the language panel

    // ---- menus and toolbar ----
    void MnAyar_Click(int index);
    void Toolbar1_ButtonClick(QAction *button);
    QString helpFilePath() const;
    // Opens a help document; replaced by tests.
    std::function<bool(const QString &path)> openDocument;

    // ---- the frame of every operation that talks to the indicator ----
    void beginOperation();  // light yellow, tab set and side panel disabled
    void endOperation();    // enabled again, light green
    // The menus, the connect menu, the tab set, the side panel and the toolbar.
    void setShellEnabled(bool enabled);

    // ---- hooks filled by the tabs built on top of this window ----
    // Reader of a tab for the refresh (F5, refresh button, status timer). Runs with the
    // port open and the window dimmed; a tab without reader is not refreshed.
    void setTabReader(int tab, std::function<void()> reader);
    bool hasTabReader(int tab) const;
    // Runs when a tab is entered (after the port is closed, before the refresh); tabs 4
    // and 5 use it for their deferred reads (TabRefreshPending).
    void setTabEnterHook(int tab, std::function<void()> hook);
    // Runs on every tab change, after CurrentTab is stored: stop the tab's timers, end
    // an analog adjustment, reset the grids' current cells.
    void addTabChangeHook(std::function<void(int tab)> hook);
    // Capacity and division of the connected indicator (runs with the port open,
    // after a connect and after a change of device address).
    void setTaksimatBul(std::function<void()> fn);
    // Lays out grid `index` (0..4): at start-up, after a model change (2, 3) and after
    // a language change.
    void setGridDüzen(std::function<void(int index)> fn);
    // Runs after a language file has been applied (language-dependent lists).
    void addLanguageHook(std::function<void()> hook);
    // Runs once at start-up, as soon as the model is known: calibration lists,
    // metrology profiles.
    void addStartupHook(std::function<void()> hook);
    QWidget *tabPage(int tab) const;
    // The "Status" tab: its grid, reader and the hardware flags calibration consults.
    StatusTab &statusTab() { return *m_statusTab; }
    QTabWidget *tabs() const { return m_tabs; }

signals:
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    class FormOperator;

    // Building (AnaFormLayout.cpp, MenusToolbar.cpp, SettingsPanel.cpp).
    void buildMenus();
    void buildToolbar();
    void buildCentral();
    void buildSidePanel(QWidget *parent);
    void buildTabs(QWidget *parent);
    void buildHeaderTab(QWidget *page);
    void buildIdTab(QWidget *page);
    void buildPresetTareTab(QWidget *page);
    void buildSetpointTab(QWidget *page);
    void buildParameterTab(QWidget *page);
    void buildCalibrationTab(QWidget *page);
    void buildStatusTab(QWidget *page);
    void buildConnectionPanel(QWidget *parent);
    void buildLanguagePanel(QWidget *parent);
    void buildReadAllPanel(QWidget *parent);
    void buildSendAllPanel(QWidget *parent);
    QProgressBar *fillBatchPanel(Panel *panel, const QString &checks, int lastCheck, const QString &stepLabel,
                                 const QString &progressName, const QString &buttons);
    void buildWaitPanel(QWidget *parent);
    void buildEntryPanel(QWidget *parent);

    // Start-up steps.
    void Portkontrol();
    void RegOku();
    bool waitForModel(const QString &preselectedModel);
    void fillAddressList();

    // Language (LanguageApply.cpp).
    void applyDesignCaptions();
    void applyTexts();
    void updateConnectCaption();
    void updateDrainCaption();

    void centrePanels();
    void enforceFixedSize();
    void runGridDüzen(int index);
    void showPanel(Panel *panel);

    template <typename T = QWidget>
    T *control(const QString &name) const { return findChild<T *>(name); }

    // Services.
    SerialPortIo &m_port;
    Clock &m_clock;
    Operator &m_userOp;
    SettingsStore &m_store;
    std::unique_ptr<FormOperator> m_op;
    CommsLog m_log;
    std::unique_ptr<Link> m_link;

    AppState m_state;
    LanguageTexts m_texts;
    VersionResult m_lastVersion;
    QStringList m_listedPorts;
    bool m_ready = false;
    bool m_closing = false;
    bool m_abandoned = false;
    bool m_connecting = false;  // the model dialog was closed without a choice
    QPointer<Form1> m_form1;
    const QEvent *m_lastKeyEvent = nullptr;  // the key press last acted on
    QPointer<QWidget> m_lastKeyReceiver;

    // Hooks.
    std::map<int, std::function<void()>> m_tabReaders;
    std::map<int, std::function<void()>> m_tabEnterHooks;
    std::vector<std::function<void(int)>> m_tabChangeHooks;
    std::vector<std::function<void()>> m_languageHooks;
    std::vector<std::function<void()>> m_startupHooks;
    std::function<void()> m_taksimatBul;
    std::function<void(int)> m_gridDüzen;

    // Controls the code talks to often.
    QMenu *m_mnDosya = nullptr;
    QMenu *m_mnAyar = nullptr;
    QAction *m_connect = nullptr;
    QToolBar *m_toolbar1 = nullptr;
    QTabWidget *m_tabs = nullptr;
    Panel *m_sidePanel = nullptr;  // SSPanel11
    Lamp *m_lamps[3] = {nullptr, nullptr, nullptr};
    QLabel *m_modelLabel = nullptr;
    QProgressBar *m_progress1 = nullptr;
    QProgressBar *m_progress2 = nullptr;
    QProgressBar *m_progress3 = nullptr;
    Panel *m_connPanel = nullptr;   // SSPanel1
    Panel *m_readPanel = nullptr;   // SSPanel2
    Panel *m_sendPanel = nullptr;   // SSPanel3
    Panel *m_langPanel = nullptr;   // SSPanel7
    Panel *m_waitPanel = nullptr;   // SSPanel10
    std::unique_ptr<ClockTimer> m_timer4;
    StatusTab *m_statusTab = nullptr;  // a child object of the window
    QWidget *m_client = nullptr;
};

}  // namespace vx::gui
