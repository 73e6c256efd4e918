#pragma once
// The main window, the frame around the seven tab pages: menus, toolbar, the side
// panel with the status light and the life cycle. The tab pages are TabPage classes,
// called through that interface in the order written in gui/TabPage.h; the floating
// panels (connection settings, read-all, send-all, language, please-wait) are classes
// behind PanelHost; the tab refresh and the status timer are TabRefresh's. The
// window's own state lives in WindowState and the Link; the widgets only show it.

#include "files/WorkingSet.h"
#include "gui/Captions.h"
#include "gui/Form1.h"
#include "gui/NumericEntry.h"
#include "gui/PanelHost.h"
#include "gui/Panels.h"
#include "gui/TabPage.h"
#include "gui/TabRefresh.h"
#include "gui/Widgets.h"
#include "gui/WindowState.h"
#include "link/Connect.h"
#include "link/Interfaces.h"
#include "link/Settings.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolBar;

namespace vx::gui {

class CompareDialog;

class BatchPanels;
class FileMenu;
class Lamp;
class LanguageFilePanel;
class Panel;
class ParameterPage;
class SettingsPanel;
class StatusPage;
class WaitPanel;

class AnaForm : public QMainWindow, public PageHost, private RefreshHost, private PanelHost {
    Q_OBJECT
public:
    // Outer size of the window in twips (15 twips a pixel).
    static constexpr int WidthTwips = 9795;
    static constexpr int HeightTwips = 9645;
    static constexpr int TwipsPerPixel = 15;
    static QSize OuterSize() { return {WidthTwips / TwipsPerPixel, HeightTwips / TwipsPerPixel}; }

    // Builds the page of a tab; nullptr builds the window's own page. Tests put a
    // page of their own in a tab this way.
    using PageFactory = std::function<TabPage *(int tab, PageHost &host)>;

    AnaForm(SerialPortIo &port, Clock &clock, Operator &op, SettingsStore &store, QWidget *parent = nullptr,
            const PageFactory &pages = {});
    ~AnaForm() override;

    // ---- life cycle ----
    // The start-up sequence. Waits, processing events, until a model is chosen in the
    // model dialog (or takes preselectedModel, "ZR1"/"ZR2", without asking).
    // Returns false when the dialog was closed without a choice: the program ends.
    bool FormLoad(const QString &preselectedModel = {});
    // Command3 "RESTART": disconnects and runs the start-up again with the model in use.
    void Command3_Click();
    bool isReady() const { return m_ready; }
    Form1 *form1() const { return m_form1; }  // only during start-up

    // ---- shared state ----
    WindowState &state() override { return m_state; }
    const WindowState &state() const { return m_state; }
    WorkingSet &workingSet() override { return *m_workingSet; }
    Link &link() override { return *m_link; }
    LinkSettings &settings() { return m_link->settings; }
    Operator &op();  // the operator the Link uses (drives the window's progress bars)
    const TextService &texts() const override { return m_texts; }

    // ---- status light and status line ----
    // Green while disconnected shows red.
    void setLight(Light colour);
    Light light() const;
    QString lightColour() const { return LightName(light()); }  // "yeşil", "kırmızı", "sarı", ""
    // The window's status line: how the last connect went, or why the link was lost.
    QString statusLine() const;
    // What the status line says, rendered from the texts in use: a language change says
    // it again in the new language.
    using StatusText = std::function<QString(const TextService &)>;
    // For a while (30 s) over the status line, which then comes back by itself.
    void showStatusNote(StatusText text);

    // ---- connecting ----
    void ConnectAction();               // the red light's click
    void DisconnectAction() override;   // the green light's click
    const VersionResult &lastVersion() const { return m_lastVersion; }

    // ---- tabs ----
    QTabWidget *tabs() const { return m_tabs; }
    TabPage *page(int tab) const { return m_pages.at(tab); }
    StatusPage &statusPage() const;
    // The parameter page, when the tab holds the window's own (tests may put another there).
    ParameterPage *parameterPage() const;
    void rangeFound(const IndicatorRange &range) override;

    // ---- menus, panels and the refresh ----
    void MnAyar_Click(int index);
    // The language panel, as its menu item opens it, and its accept button.
    void openLanguagePanel();
    void SSCommand9_Click();
    TabRefresh &refresher() { return *m_refresh; }
    FileMenu &fileMenu() { return *m_fileMenu; }
    // The compare dialog (File -> "Compare with indicator...", "Compare with file..."):
    // shown over the window for the file against the indicator (read now, into memory),
    // or for two files; nullptr, after the message, when the read or an open failed.
    // It deletes itself when closed.
    CompareDialog *compareFileWithIndicator(const QString &path);
    CompareDialog *compareFiles(const QString &pathA, const QString &pathB);
    BatchPanels &batchPanels() { return *m_batchPanels; }
    SettingsPanel &settingsPanel() { return *m_settingsPanel; }
    LanguageFilePanel &languagePanel() { return *m_languagePanel; }

    // Opens a help document; replaced by tests.
    std::function<bool(const QString &path)> openDocument;
    // Reads the [ComPorts] map of the settings again before the ports are listed
    // (RESTART, the connection panel); set by the program around its serial port.
    std::function<void()> reloadPortMap;

signals:
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    class FormOperator;

    // ---- PageHost: the frame of every operation that talks to the indicator ----
    void beginOperation() override;  // light yellow, tab set and side panel disabled
    void endOperation() override;    // enabled again, light green
    bool rangeReady() override;
    void refuseWithoutRange() override;
    NumericEntry &numericEntry() override { return *m_numericEntry; }
    void lockShell(bool locked) override;
    void showReadProgress(const QString &step) override;
    void hideReadProgress() override;
    void tickSendBoxes(const std::vector<int> &indexes) override;

    // ---- RefreshHost ----
    TabPage &pageOf(int tab) override { return *m_pages.at(tab); }
    bool shellLocked() const override { return m_shellLocked; }
    bool sendRunning() const override;
    bool mayReplace(int tab) override;
    void enterTab(int tab) override { SSTab1_Click(tab); }
    void refreshBegins() override;
    void refreshEnded(int portError) override;

    // ---- PanelHost ----
    SettingsStore &store() override { return m_store; }
    void putInFront(Panel *panel) override;
    void panelShown(Panel *panel) override;
    void panelClosed() override;
    void showBatchOutcome(BuiltIn text) override;
    QStringList listPorts() override;
    void addressChanged() override;
    void checkDataIndicator() override;
    void languageChosen() override { diloku(); }

    // Building (AnaFormLayout.cpp, MenusToolbar.cpp).
    void buildMenus();
    void buildToolbar();
    void buildCentral(const PageFactory &pages);
    void buildSidePanel(QWidget *parent);
    void buildTabs(QWidget *parent, const PageFactory &pages);

    // Start-up steps.
    void Portkontrol();
    void RegOku();
    // The model's features: the frame's own (HideUnlessZR2), then every page's.
    void HideUnlessZR2(const ModelFeatures &features);
    void applyModel();

    // Language (LanguageApply.cpp).
    void diloku();
    void applyTexts();
    void updateConnectCaption();
    void updateDrainCaption();
    void updateMonitorCaptions();  // the communication monitor's menu item and dock
    // Text of a line as the window shows it: the design caption while no language
    // file has been loaded.
    QString captionText(int line) const;

    // Connecting (AnaFormConnect.cpp).
    void connectMenuClick();  // the "connect" menu
    bool VersiyonOku();
    // The menus, the connect menu, the tab set, the side panel and the toolbar.
    void setShellEnabled(bool enabled);

    // The status line and the red light's tooltip after a connect or a lost link.
    static QString linkDescription(const TextService &texts, const LinkSettings &settings);
    static QString connectFailure(const TextService &texts, const VersionResult &result);
    static QString portFailure(const TextService &texts, int error);
    void setStatusLine(StatusText text);  // an empty one clears the line
    // "Connected: <line> — <version>", with "range unknown" while the range is not known.
    void showConnectedLine(bool rangeKnown);
    void showLinkProblem(StatusText line);
    void renderStatusLine();  // the line, its note and the red light's tooltip, in the texts in use

    // Keys, the tab change and the toolbar.
    void EscapeKey();
    void SSTab1_Click(int tab);  // the tab-change handler
    void Toolbar1_ButtonClick(QAction *button);
    QString helpFilePath() const;

    // The title marked with "*" while the working set holds changes no file has.
    void markTitle();
    // A key press seen by the window's filter as Qt hands it from a control to its
    // parents: true when it is the one already acted on, travelling up.
    bool sameKeyTravellingUp(QWidget *receiver, const QKeyEvent &key) const;

    void centrePanels();
    void enforceFixedSize();
    void forEachPage(const std::function<void(TabPage &)> &call);
    // connected() to every page, then rangeKnown() with the range read (or one a page
    // reported). During a connect the range message waits until the connect has ended.
    void tellPagesConnected(const std::optional<IndicatorRange> &range, bool connecting);
    bool m_tellingConnected = false;
    std::optional<IndicatorRange> m_rangeToTell;
    // The connected indicator's texts, once read for the check of another indicator's
    // data; the texts of data kept after that question (not asked again).
    std::optional<IdentificationTexts> m_connectedTexts;
    std::optional<IdentificationTexts> m_keptOtherData;

    // Services.
    SerialPortIo &m_port;
    Clock &m_clock;
    Operator &m_userOp;
    SettingsStore &m_store;
    std::unique_ptr<FormOperator> m_op;
    CommsLog m_log;
    std::unique_ptr<Link> m_link;

    WindowState m_state;
    std::unique_ptr<WorkingSet> m_workingSet;  // the pages show its models
    std::unique_ptr<FileMenu> m_fileMenu;
    TextService m_texts;
    VersionResult m_lastVersion;
    StatusText m_linkProblem;  // why the last connect failed or the link was lost
    StatusText m_statusText;   // what the status line says
    StatusText m_statusNote;   // what the status bar shows over it for a while
    bool m_ready = false;
    bool m_closing = false;
    bool m_abandoned = false;  // the model dialog was closed without a choice
    bool m_shellLocked = false;  // a panel or a page's adjustment in front
    bool m_rangeMessagePending = false;  // the range message, once the connect has ended
    QPointer<Form1> m_form1;
    // The key press the filter saw last, as far as it is the key's own: Qt builds
    // successive key events at one address, so the address alone tells nothing. A
    // release or a shortcut check of a key ends the chain.
    struct SeenKey {
        const QEvent *event = nullptr;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        quint64 timestamp = 0;
        QPointer<QWidget> receiver;  // the last control it was handed to
    };
    SeenKey m_seenKey;
    bool m_markingTitle = false;

    // The frame's controls.
    Captions m_captions;
    QMenu *m_mnDosya = nullptr;
    QMenu *m_mnAyar = nullptr;
    std::array<QAction *, 12> m_mnDosyaItems{};  // separators included
    std::array<QAction *, 7> m_mnAyarItems{};
    QAction *m_connect = nullptr;
    QToolBar *m_toolbar1 = nullptr;
    std::array<QAction *, 12> m_toolbarButtons{};  // Toolbar1 buttons 1..11, separators included
    QTabWidget *m_tabs = nullptr;
    std::array<TabPage *, Tab::Count> m_pages{};
    Panel *m_sidePanel = nullptr;  // SSPanel11
    std::array<Lamp *, 3> m_lamps{};  // Image2: red, green, yellow
    QLabel *m_modelLabel = nullptr;
    QProgressBar *m_progress3 = nullptr;
    QPushButton *m_command3 = nullptr;  // "RESTART"
    QLabel *m_statusLine = nullptr;
    QWidget *m_client = nullptr;

    // The floating panels and the refresh.
    std::unique_ptr<SettingsPanel> m_settingsPanel;      // SSPanel1
    std::unique_ptr<BatchPanels> m_batchPanels;          // SSPanel2, SSPanel3
    std::unique_ptr<LanguageFilePanel> m_languagePanel;  // SSPanel7
    std::unique_ptr<WaitPanel> m_waitPanel;              // SSPanel10
    std::unique_ptr<NumericEntry> m_numericEntry;        // SSPanel8
    std::unique_ptr<TabRefresh> m_refresh;
};

}  // namespace vx::gui
