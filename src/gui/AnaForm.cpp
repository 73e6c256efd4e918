// The main window's life cycle: construction, start-up, the status light, the
// keys, the tab refresh, the status timer, the tab change, resizing and the end.

#include "gui/AnaForm.h"
#include "gui/StatusTab.h"
#include "link/ForwardingOperator.h"

#include "Version.h"
#include "gui/Form1.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"
#include "link/SerialPort.h"

#include <QAction>
#include <QApplication>
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

private:
    QProgressBar *barFor(ProgressId bar) const
    {
        return bar == ProgressId::Small ? m_form.m_progress3 : m_form.m_progress1;
    }
    AnaForm &m_form;
};

AnaForm::AnaForm(SerialPortIo &port, Clock &clock, Operator &op, SettingsStore &store, QWidget *parent)
    : QMainWindow(parent), m_port(port), m_clock(clock), m_userOp(op), m_store(store)
{
    setObjectName(QStringLiteral("AnaForm"));
    setWindowTitle(QStringLiteral("VEXTORA"));

    m_op = std::make_unique<FormOperator>(*this, op);
    m_log.setFilePath(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt")));
    m_link = std::make_unique<Link>(port, clock, *m_op, m_log);
    m_link->decode.currentTab = m_state.CurrentTab;

    openDocument = [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };

    buildMenus();
    buildToolbar();
    buildCentral();
    applyDesignCaptions();

    m_timer4 = std::make_unique<ClockTimer>(m_clock, StatusTimerMs, [this] { Timer4_Timer(); });
    m_statusTab = new StatusTab(*this);

    qApp->installEventFilter(this);
    enforceFixedSize();
    ışık(QStringLiteral("kırmızı"));
}

AnaForm::~AnaForm()
{
    qApp->removeEventFilter(this);
    if (m_form1)
        delete m_form1.data();
}

Operator &AnaForm::op() { return *m_op; }

// ---- start-up ----

bool AnaForm::FormLoad(const QString &preselectedModel)
{
    m_ready = false;
    // 1. The backup folder (an existing one is fine).
    QDir().mkpath(QDir(WritableFolder()).filePath(QStringLiteral("BACKUP")));

    // 2. The model dialog, without blocking.
    m_abandoned = false;
    if (preselectedModel.isEmpty()) {
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
    } else {
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

    // 5. and 10. Calibration lists and metrology profiles, by the tabs that own them.
    for (const auto &hook : m_startupHooks)
        hook();
    // 6. Address entries "00".."99" in front of the design-time ones.
    fillAddressList();
    // 7. The preset tare tab is never shown.
    m_tabs->setTabVisible(Tab::PresetTare, false);
    // 8. ProgramFolder() is known from AppPaths.
    // 9. The caption.
    setWindowTitle(QStringLiteral("VEXTORA v%1.%2").arg(vx::version::Major).arg(vx::version::Minor));
    // 11. The five grids.
    for (int i = 0; i <= 4; ++i)
        runGridDüzen(i);
    // 12. Model features.
    ZR2DeğilseGizle(m_state.isZR2());
    // 13. The model dialog goes away.
    if (m_form1) {
        m_form1->hide();
        m_form1->deleteLater();
    }

    m_modelLabel->setText(m_state.IndicatorModelText);
    m_ready = true;
    ışık(QStringLiteral("kırmızı"));
    return true;
}

void AnaForm::Portkontrol()
{
    m_listedPorts = vx::Portkontrol(m_port);
    auto *combo = control<QComboBox>(QStringLiteral("Combo6"));
    combo->clear();
    combo->addItems(m_listedPorts);
}

void AnaForm::RegOku() { m_link->settings = vx::RegOku(m_store); }

void AnaForm::fillAddressList()
{
    auto *combo = control<QComboBox>(QStringLiteral("Combo2"));
    if (combo->count() > 11)
        return;  // already in front (a second start-up)
    for (int i = 99; i >= 0; --i)
        combo->insertItem(0, PadLeftZeros(i, 2));
}

void AnaForm::runGridDüzen(int index)
{
    if (m_gridDüzen)
        m_gridDüzen(index);
}

// ---- status light ----

void AnaForm::ışık(const QString &colour)
{
    QString shown = colour;
    if (shown == QStringLiteral("yeşil") && !m_state.IsConnected)
        shown = QStringLiteral("kırmızı");
    for (Lamp *lamp : m_lamps)
        lamp->hide();
    if (shown == QStringLiteral("sarı"))
        m_lamps[2]->show();
    else if (shown == QStringLiteral("kırmızı"))
        m_lamps[0]->show();
    else if (shown == QStringLiteral("yeşil"))
        m_lamps[1]->show();
}

QString AnaForm::lightColour() const
{
    if (!m_lamps[0]->isHidden())
        return QStringLiteral("kırmızı");
    if (!m_lamps[1]->isHidden())
        return QStringLiteral("yeşil");
    if (!m_lamps[2]->isHidden())
        return QStringLiteral("sarı");
    return {};
}

// ---- operation frame ----

void AnaForm::beginOperation()
{
    ışık(QStringLiteral("sarı"));
    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
}

void AnaForm::endOperation()
{
    m_tabs->setEnabled(true);
    m_sidePanel->setEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

void AnaForm::setShellEnabled(bool enabled)
{
    m_mnAyar->menuAction()->setEnabled(enabled);
    m_connect->setEnabled(enabled);
    m_mnDosya->menuAction()->setEnabled(enabled);
    m_tabs->setEnabled(enabled);
    m_sidePanel->setEnabled(enabled);
    m_toolbar1->setEnabled(enabled);
}

// ---- tab refresh ----

void AnaForm::RefKatmaOlum()
{
    if (!m_state.IsConnected) {
        op().message(text(375), Icon::Critical);
        return;
    }
    if (!m_tabs->isEnabled())
        return;  // another operation runs
    const int tab = m_state.CurrentTab;
    const bool viaTabChange = (tab == Tab::Parameters || tab == Tab::Calibration) && m_tabEnterHooks.count(tab);
    if (!viaTabChange && !hasTabReader(tab))
        return;  // nothing on this tab reads from the indicator

    m_tabs->setEnabled(false);
    m_sidePanel->setEnabled(false);
    control<QPushButton>(QStringLiteral("SSCommand2_0"))->setEnabled(false);
    ışık(QStringLiteral("sarı"));
    m_link->AbortRequested = false;

    if (m_port.isOpen())
        m_port.close();
    if (PortAç(m_port, m_link->settings, *m_op) == PortErr::None) {
        m_link->AbortRequested = false;
        if (viaTabChange) {
            m_state.TabRefreshPending = true;
            SSTab1_Click(tab);
        } else {
            m_tabReaders[tab]();
        }
    }

    if (m_port.isOpen())
        m_port.close();
    m_link->AbortRequested = true;
    setShellEnabled(true);
    control<QPushButton>(QStringLiteral("SSCommand2_0"))->setEnabled(true);
    control<QPushButton>(QStringLiteral("SSCommand2_1"))->setEnabled(true);
    m_readPanel->hide();
    m_progress1->setValue(0);
    control<QLabel>(QStringLiteral("Label5"))->clear();
    ışık(QStringLiteral("yeşil"));
}

// ---- keys ----

bool AnaForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == m_client)
        centrePanels();
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);

    // The window sees every key first, and the control gets it afterwards as usual.
    // A key a control ignores travels on to its parents: act on it once.
    if (event == m_lastKeyEvent && m_lastKeyReceiver && widget != m_lastKeyReceiver
        && widget->isAncestorOf(m_lastKeyReceiver))
        return QMainWindow::eventFilter(watched, event);
    m_lastKeyEvent = event;
    m_lastKeyReceiver = widget;

    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key->key() == Qt::Key_R && (key->modifiers() & all) == all
        && widget->objectName() == QLatin1String("SSCommand1")) {
        readingTimeEntry();
        return true;
    }
    if (key->key() == Qt::Key_Escape)
        EscapeKey();
    else if (key->key() == Qt::Key_F5)
        F5Key();
    return QMainWindow::eventFilter(watched, event);
}

void AnaForm::EscapeKey()
{
    if (!m_sendPanel->isHidden() && m_progress2->value() > 0)
        return;  // a send-all in progress is not interrupted from the keyboard
    m_progress3->hide();
    m_connPanel->hide();
    m_readPanel->hide();
    m_sendPanel->hide();
    m_langPanel->hide();
    m_link->AbortRequested = true;
    setShellEnabled(true);
    control<QPushButton>(QStringLiteral("SSCommand2_0"))->setEnabled(true);
    control<QPushButton>(QStringLiteral("SSCommand4_0"))->setEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

void AnaForm::F5Key()
{
    if (!m_sendPanel->isHidden() && m_progress2->value() > 0)
        return;
    if (!m_state.RefreshKeyLatch) {
        m_state.RefreshKeyLatch = true;
        RefKatmaOlum();
    } else {
        m_state.RefreshKeyLatch = false;
    }
}

// ---- status timer ----

void AnaForm::Timer4_Timer()
{
    if (!m_state.IsConnected) {
        m_timer4->stop();
        return;
    }
    m_state.CurrentTab = Tab::Status;
    m_link->decode.currentTab = Tab::Status;
    RefKatmaOlum();
}

// ---- tab change ----

void AnaForm::SSTab1_Click(int tab)
{
    m_timer4->stop();
    m_state.CurrentTab = tab;
    m_link->decode.currentTab = tab;
    for (const auto &hook : m_tabChangeHooks)
        hook(tab);
    if (m_port.isOpen())
        m_port.close();
    if (auto it = m_tabEnterHooks.find(tab); it != m_tabEnterHooks.end() && it->second)
        it->second();
    if (m_state.IsConnected) {
        RefKatmaOlum();
        // The status keeps refreshing while its tab is shown, not only after a
        // connect made on it.
        if (tab == Tab::Status && m_state.IsConnected)
            m_timer4->start();
    }
}

// ---- hooks ----

void AnaForm::setTabReader(int tab, std::function<void()> reader)
{
    if (reader)
        m_tabReaders[tab] = std::move(reader);
    else
        m_tabReaders.erase(tab);
}

bool AnaForm::hasTabReader(int tab) const
{
    auto it = m_tabReaders.find(tab);
    return it != m_tabReaders.end() && it->second;
}

void AnaForm::setTabEnterHook(int tab, std::function<void()> hook)
{
    if (hook)
        m_tabEnterHooks[tab] = std::move(hook);
    else
        m_tabEnterHooks.erase(tab);
}

void AnaForm::addTabChangeHook(std::function<void(int)> hook) { m_tabChangeHooks.push_back(std::move(hook)); }
void AnaForm::setTaksimatBul(std::function<void()> fn) { m_taksimatBul = std::move(fn); }
void AnaForm::setGridDüzen(std::function<void(int)> fn) { m_gridDüzen = std::move(fn); }
void AnaForm::addLanguageHook(std::function<void()> hook) { m_languageHooks.push_back(std::move(hook)); }
void AnaForm::addStartupHook(std::function<void()> hook) { m_startupHooks.push_back(std::move(hook)); }

QWidget *AnaForm::tabPage(int tab) const { return m_tabs->widget(tab); }

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
    if (!m_client)
        return;
    const QSize area = m_client->size();
    for (QWidget *panel : m_client->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!panel->property("floating").toBool())
            continue;
        panel->move((area.width() - panel->width()) / 2, (area.height() - panel->height()) / 2);
    }
}

void AnaForm::showPanel(Panel *panel)
{
    centrePanels();
    panel->show();
    panel->raise();
}

// ---- end ----

void AnaForm::closeEvent(QCloseEvent *event)
{
    // Closing ends the program at once: nothing is saved, a running batch stops.
    m_closing = true;
    m_link->AbortRequested = true;
    m_timer4->stop();
    event->accept();
    emit exitRequested();
}

}  // namespace vx::gui
