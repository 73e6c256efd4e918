// The main window's life cycle: construction, start-up, the status light, the
// keys, the tab refresh, the status timer, the tab change, resizing and the end.

#include "gui/AnaForm.h"

#include "files/ConfigFile.h"
#include "gui/CommunicationMonitor.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/Form1.h"
#include "gui/LanguageFilePanel.h"
#include "gui/ParameterPage.h"
#include "gui/SettingsPanel.h"
#include "gui/StatusPage.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"
#include "link/ForwardingOperator.h"
#include "link/SerialPort.h"
#include "params/Range.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace vx::gui {

// The operator the Link talks to: questions and messages go to the injected
// operator, progress also moves the window's own bars.
class AnaForm::FormOperator : public ForwardingOperator {
public:
    FormOperator(AnaForm &form, Operator &inner) : ForwardingOperator(inner), m_form(form) {}

    void showProgress(ProgressId bar, bool visible) override
    {
        if (QProgressBar *p = barFor(bar))
            p->setVisible(visible);
        ForwardingOperator::showProgress(bar, visible);
    }
    void setProgress(ProgressId bar, int value, int maximum) override
    {
        if (QProgressBar *p = barFor(bar)) {
            if (maximum >= 0)
                p->setMaximum(std::max(1, maximum));
            p->setValue(std::clamp(value, p->minimum(), p->maximum()));
        }
        ForwardingOperator::setProgress(bar, value, maximum);
    }
    void showStep(const QString &text, Tone tone) override
    {
        // The step caption of the batch panel in front.
        m_form.m_batchPanels->showStep(text);
        ForwardingOperator::showStep(text, tone);
    }

private:
    QProgressBar *barFor(ProgressId bar) const
    {
        return bar == ProgressId::Small ? m_form.m_progress3 : m_form.m_batchPanels->progressBar(bar);
    }
    AnaForm &m_form;
};

AnaForm::AnaForm(SerialPortIo &port, Clock &clock, Operator &op, SettingsStore &store, QWidget *parent,
                 const PageFactory &pages)
    : QMainWindow(parent), m_port(port), m_clock(clock), m_userOp(op), m_store(store)
{
    setObjectName(QStringLiteral("AnaForm"));
    setWindowTitle(QStringLiteral("VEXTORA"));

    m_op = std::make_unique<FormOperator>(*this, op);
    m_log.setFilePath(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt")));
    m_link = std::make_unique<Link>(port, clock, *m_op, m_log);
    m_link->transactionErrorText = m_texts.transactionErrorText();

    openDocument = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };

    m_workingSet = std::make_unique<WorkingSet>();
    m_workingSet->unsavedChanged = [this](bool) { markTitle(); };
    m_workingSet->provenanceChanged = [this] { markTitle(); };
    buildMenus();
    buildToolbar();
    buildCentral(pages);
    m_fileMenu = std::make_unique<FileMenu>(*this);
    // A restore point is compared with the indicator in the compare view.
    m_fileMenu->compareWithIndicator = [this](const QString &path) { compareFileWithIndicator(path); };
    m_refresh = std::make_unique<TabRefresh>(static_cast<RefreshHost &>(*this), m_clock);
    m_captions.applyDesign();
    updateConnectCaption();
    updateDrainCaption();

    qApp->installEventFilter(this);
    enforceFixedSize();
    setLight(Light::Red);
}

AnaForm::~AnaForm()
{
    qApp->removeEventFilter(this);
    if (m_form1)
        delete m_form1.data();
    delete takeCentralWidget();  // the pages go before the working set they show
    delete findChild<CommunicationMonitor *>();  // it lets go of the link before the link goes
}

Operator &AnaForm::op() { return *m_op; }

StatusPage &AnaForm::statusPage() const { return *static_cast<StatusPage *>(m_pages[Tab::Status]); }

ParameterPage *AnaForm::parameterPage() const { return qobject_cast<ParameterPage *>(m_pages[Tab::Parameters]); }

void AnaForm::forEachPage(const std::function<void(TabPage &)> &call)
{
    for (TabPage *page : m_pages)
        call(*page);
}

// ---- start-up ----

bool AnaForm::FormLoad(const QString &preselectedModel)
{
    m_ready = false;
    // 1. The backup folder (an existing one is fine).
    QDir().mkpath(QDir(WritableFolder()).filePath(QStringLiteral("BACKUP")));

    // 2. The model dialog, without blocking. A restart already knows the model: the
    // wait for it ends at once, so the dialog is not put up.
    m_abandoned = false;
    const bool ask = preselectedModel.isEmpty() && m_state.IndicatorModel == Model::None;
    if (ask) {
        m_form1 = new Form1(nullptr);
        connect(m_form1, &Form1::modelChosen, this, [this](const QString &model) {
            m_state.setModel(ModelFromText(model));
        });
        connect(m_form1, &Form1::closedWithoutChoice, this, [this] { m_abandoned = true; });
        m_form1->show();
        QCoreApplication::processEvents();
    }

    // 3. Ports, settings, language.
    Portkontrol();
    RegOku();
    diloku();

    // 4. Wait for the model.
    if (!preselectedModel.isEmpty()) {
        m_state.setModel(ModelFromText(preselectedModel));
    } else if (ask) {
        QEventLoop loop;
        connect(m_form1, &Form1::modelChosen, &loop, &QEventLoop::quit);
        connect(m_form1, &Form1::closedWithoutChoice, &loop, &QEventLoop::quit);
        connect(this, &AnaForm::exitRequested, &loop, &QEventLoop::quit);
        if (m_state.IndicatorModel == Model::None && !m_abandoned && !m_closing)
            loop.exec();
    }
    if (m_state.IndicatorModel == Model::None) {
        if (m_form1) {
            m_form1->hide();
            m_form1->deleteLater();
        }
        return false;
    }

    // 5. and 10. Calibration lists and metrology profiles, by the pages that own them.
    forEachPage([](TabPage &p) { p.startUp(); });
    // 6. Address entries "00".."99" in front of the design-time ones.
    m_settingsPanel->fillAddressList();
    // 7. The preset tare tab is never shown.
    m_tabs->setTabVisible(Tab::PresetTare, false);
    // 8. ProgramFolder() is known from AppPaths.
    // 9. The caption.
    setWindowTitle(WindowTitle());
    // 11. The five grids.
    forEachPage([](TabPage &p) { p.layOutGrids(); });
    // 12. Model features.
    applyModel();
    // 13. The model dialog goes away.
    if (m_form1) {
        m_form1->hide();
        m_form1->deleteLater();
    }

    m_modelLabel->setText(m_state.IndicatorModelText);
    m_ready = true;
    setLight(Light::Red);
    return true;
}

void AnaForm::Command3_Click()
{
    // The start-up ends ready and disconnected; a link standing now would not match it.
    m_refresh->timer4().stop();
    if (m_state.IsConnected)
        DisconnectAction();
    FormLoad();
}

QStringList AnaForm::listPorts()
{
    // A port plugged in, or mapped in the settings file, since the last listing counts.
    m_store.sync();
    if (reloadPortMap)
        reloadPortMap();
    return vx::Portkontrol(m_port);
}

void AnaForm::Portkontrol() { m_settingsPanel->showPorts(listPorts()); }

void AnaForm::RegOku() { m_link->settings = vx::RegOku(m_store); }

// ---- status light ----

void AnaForm::setLight(Light colour)
{
    if (colour == Light::Green && !m_state.IsConnected)
        colour = Light::Red;
    for (Lamp *lamp : m_lamps)
        lamp->hide();
    if (colour == Light::Red)
        m_lamps[0]->show();
    else if (colour == Light::Green)
        m_lamps[1]->show();
    else if (colour == Light::Yellow)
        m_lamps[2]->show();
}

Light AnaForm::light() const
{
    const Light colours[3] = {Light::Red, Light::Green, Light::Yellow};
    for (int i = 0; i < 3; ++i)
        if (!m_lamps[i]->isHidden())
            return colours[i];
    return Light::None;
}

// ---- operation frame ----

void AnaForm::beginOperation()
{
    setLight(Light::Yellow);
    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
}

void AnaForm::endOperation()
{
    m_tabs->setEnabled(true);
    m_sidePanel->setEnabled(true);
    setLight(Light::Green);
}

void AnaForm::setShellEnabled(bool enabled)
{
    m_shellLocked = !enabled;
    m_mnAyar->menuAction()->setEnabled(enabled);
    m_connect->setEnabled(enabled);
    m_mnDosya->menuAction()->setEnabled(enabled);
    m_tabs->setEnabled(enabled);
    m_tabs->tabBar()->setEnabled(enabled);
    m_sidePanel->setEnabled(enabled);
    m_toolbar1->setEnabled(enabled);
}

void AnaForm::lockShell(bool locked)
{
    m_shellLocked = locked;
    m_mnAyar->menuAction()->setEnabled(!locked);
    m_connect->setEnabled(!locked);
    m_mnDosya->menuAction()->setEnabled(!locked);
    m_tabs->tabBar()->setEnabled(!locked);
    m_sidePanel->setEnabled(!locked);
    m_toolbar1->setEnabled(!locked);
    setLight(locked ? Light::Yellow : Light::Green);
}

void AnaForm::rangeFound(const IndicatorRange &range)
{
    m_state.weight = range.format;
    // Reported while the pages learn of the connection: told to them once all know.
    if (m_tellingConnected) {
        m_rangeToTell = range;
        return;
    }
    forEachPage([&](TabPage &p) { p.rangeKnown(range); });
}

void AnaForm::tellPagesConnected(const std::optional<IndicatorRange> &range, bool connecting)
{
    // The range of the indicator before (another address, another cable) is not this one's.
    m_state.weight = {};
    forEachPage([](TabPage &p) { p.rangeLost(); });
    m_tellingConnected = true;
    m_rangeToTell = range;
    forEachPage([](TabPage &p) { p.connected(); });
    m_tellingConnected = false;
    if (m_rangeToTell) {
        const IndicatorRange told = *m_rangeToTell;
        m_rangeToTell.reset();
        m_state.weight = told.format;
        forEachPage([&](TabPage &p) { p.rangeKnown(told); });
    } else if (m_state.IsConnected) {
        // The link stands, but no weight may be shown or sent at a guessed scale: said
        // at once, or once the connect has ended (not over its wait panel).
        if (connecting) {
            showConnectedLine(false);
            m_rangeMessagePending = true;
        } else {
            refuseWithoutRange();
        }
    }
}

void AnaForm::addressChanged()
{
    // The capacity and division of the indicator at the new address, on a line of its own.
    tellPagesConnected(TaksimatBul(*m_link), false);
}

bool AnaForm::rangeReady()
{
    if (m_state.weight.known())
        return true;
    if (!m_state.IsConnected)
        return false;
    // Read again: on the line of the operation that asks, or taking it as a connect does.
    const std::optional<IndicatorRange> range = TaksimatBul(*m_link);
    if (!range)
        return false;
    rangeFound(*range);
    showConnectedLine(true);
    return true;
}

void AnaForm::refuseWithoutRange()
{
    showConnectedLine(false);
    op().message(m_texts.builtIn(BuiltIn::RangeUnknown), Icon::Critical);
}

void AnaForm::showReadProgress(const QString &step) { m_batchPanels->showReadProgress(step); }

void AnaForm::hideReadProgress() { m_batchPanels->hideReadProgress(FeaturesOf(m_state.IndicatorModel)); }

void AnaForm::tickSendBoxes(const std::vector<int> &indexes) { m_batchPanels->tickSendBoxes(indexes); }

// ---- tab refresh ----

bool AnaForm::sendRunning() const { return m_batchPanels->sendRunning(); }

void AnaForm::refreshBegins()
{
    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
    m_batchPanels->refreshBegins();
    setLight(Light::Yellow);
}

void AnaForm::refreshEnded(int portError)
{
    setShellEnabled(true);
    m_batchPanels->refreshEnded();
    // A port that cannot be opened any more (an adapter pulled) ends the connection,
    // as a refresh without an answer does: its message once, no green light, no timer.
    if (portError != PortErr::None) {
        m_refresh->timer4().stop();
        DisconnectAction();
        showLinkProblem([settings = m_link->settings, portError](const TextService &texts) {
            return texts.builtIn(BuiltIn::LinkLost).arg(linkDescription(texts, settings), portFailure(texts, portError));
        });
    }
    setLight(Light::Green);
}

// ---- keys ----

bool AnaForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_client)
        centrePanels();
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ShortcutOverride)
        m_seenKey = {};  // a key press after this one is another key
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);

    // The window sees every key first, and the control gets it afterwards as usual.
    // A key a control ignores travels on to its parents: act on it once.
    auto *key = static_cast<QKeyEvent *>(event);
    const bool travelling = sameKeyTravellingUp(widget, *key);
    m_seenKey = {event, key->key(), key->modifiers(), key->timestamp(), widget};
    if (travelling)
        return QMainWindow::eventFilter(watched, event);

    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key->key() == Qt::Key_R && (key->modifiers() & all) == all && m_settingsPanel->isAcceptButton(widget)) {
        m_settingsPanel->readingTimeEntry();
        return true;
    }
    if (key->key() == Qt::Key_Escape)
        EscapeKey();
    else if (key->key() == Qt::Key_F5)
        m_refresh->F5Key();
    return QMainWindow::eventFilter(watched, event);
}

bool AnaForm::sameKeyTravellingUp(QWidget *receiver, const QKeyEvent &key) const
{
    // Qt hands a key a control leaves to the control's parent, the same event at each
    // step; a new key may come at the address of the last one, so that alone proves
    // nothing. Travelling up, it is the same key, and it comes to the parent of the
    // control it was handed to last.
    const SeenKey &seen = m_seenKey;
    return seen.event == &key && seen.key == key.key() && seen.modifiers == key.modifiers()
        && seen.timestamp == key.timestamp() && seen.receiver && seen.receiver->parentWidget() == receiver;
}

void AnaForm::EscapeKey()
{
    if (m_batchPanels->sendRunning())
        return;  // a send-all in progress is not interrupted from the keyboard
    m_progress3->hide();
    m_settingsPanel->hide();
    m_batchPanels->escape();
    m_languagePanel->hide();
    m_link->AbortRequested = true;
    setShellEnabled(true);
    setLight(Light::Green);
}

// ---- tab change ----

bool AnaForm::mayReplace(int tab)
{
    checkDataIndicator();
    const std::optional<DataGroup> group = GroupOfTab(tab);
    if (!group || !m_workingSet->notOnIndicator(*group))
        return true;
    return op().yesNo(m_texts.builtIn(BuiltIn::ReplaceUnsentData), Icon::Question) == Choice::Yes;
}

void AnaForm::SSTab1_Click(int tab)
{
    m_refresh->timer4().stop();
    m_pages[m_state.CurrentTab]->left();
    m_state.CurrentTab = tab;
    m_pages[tab]->entered();
    m_state.TabRefreshPending = false;  // asked of this tab change only
    if (m_state.IsConnected) {
        m_refresh->refresh();
        // The status keeps refreshing while its tab is shown, not only after a
        // connect made on it.
        if (tab == Tab::Status && m_state.IsConnected)
            m_refresh->timer4().start();
    }
}

// ---- title ----

void AnaForm::markTitle()
{
    QString title = windowTitle();
    if (title.startsWith(QLatin1Char('*')))
        title.remove(0, 1);
    // Once the window is built: the file the set is bound to and the indicator its data
    // came from.
    if (m_fileMenu && m_ready) {
        const std::optional<IdentificationTexts> from = m_workingSet->dataIndicator();
        title = WindowTitle(m_fileMenu->boundFileName(), from ? from->shown() : QString());
    }
    if (m_workingSet && m_workingSet->unsaved())
        title.prepend(QLatin1Char('*'));
    if (title == windowTitle())
        return;
    m_markingTitle = true;
    setWindowTitle(title);
    m_markingTitle = false;
}

void AnaForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Whoever sets the title (the File menu, the start-up), the mark stays right.
    if (event->type() == QEvent::WindowTitleChange && !m_markingTitle)
        markTitle();
}

// ---- geometry ----

void AnaForm::enforceFixedSize()
{
    if (windowState() & Qt::WindowMinimized)
        return;
    const QSize decorations = frameGeometry().size() - geometry().size();
    const QSize target = OuterSize() - decorations;
    if (minimumSize() != target || maximumSize() != target)
        setFixedSize(target);
    if (size() != target)
        resize(target);
}

void AnaForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    enforceFixedSize();
    centrePanels();
}

void AnaForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    enforceFixedSize();
    centrePanels();
    // The window manager's frame is known only once the window is up.
    QTimer::singleShot(0, this, [this] {
        enforceFixedSize();
        centrePanels();
    });
}

void AnaForm::centrePanels()
{
    if (!m_client || !m_numericEntry)
        return;  // not built yet
    const QSize area = m_client->size();
    for (Panel *panel : {m_settingsPanel->panel(), m_batchPanels->readPanel(), m_batchPanels->sendPanel(),
                         m_languagePanel->panel(), m_waitPanel->panel(), m_numericEntry->panel()})
        panel->move((area.width() - panel->width()) / 2, (area.height() - panel->height()) / 2);
}

void AnaForm::putInFront(Panel *panel)
{
    centrePanels();
    panel->show();
    panel->raise();
}

void AnaForm::panelShown(Panel *panel)
{
    setShellEnabled(false);
    setLight(Light::Yellow);
    putInFront(panel);
}

void AnaForm::panelClosed()
{
    setShellEnabled(true);
    setLight(Light::Green);
}

void AnaForm::openLanguagePanel() { m_languagePanel->open(); }

void AnaForm::SSCommand9_Click() { m_languagePanel->SSCommand9_Click(); }

// ---- end ----

void AnaForm::closeEvent(QCloseEvent *event)
{
    // Closing ends the program at once: nothing is saved, a running batch stops.
    m_closing = true;
    m_link->AbortRequested = true;
    m_refresh->timer4().stop();
    event->accept();
    emit exitRequested();
}

}  // namespace vx::gui
