// The File and Settings menus, the connect menu and the main toolbar.

#include "gui/AnaForm.h"
#include "gui/CompareDialog.h"

#include "gui/CommunicationMonitor.h"
#include "gui/FileMenu.h"
#include "gui/FilePanels.h"
#include "gui/HistoryDialog.h"
#include "gui/SettingsPanel.h"
#include "gui/TrendView.h"
#include "gui/VerificationDialog.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"
#include "verify/VerifyTexts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <map>

namespace vx::gui {
namespace {

// The main toolbar: buttons 1-11, with separators at 3, 6 and 9. A button's tooltip
// line says what it does; the click looks the tooltip up in ToolbarTable, in order.
struct ToolbarButton {
    int button;
    QStyle::StandardPixmap icon;
    int line;          // tooltip
    const char *design;
    int fileItem;      // the File item it repeats (its enabled state follows the item's), or -1
};
const ToolbarButton ToolbarButtons[] = {
    {1, QStyle::SP_FileIcon, 288, "Yeni", 0},
    {2, QStyle::SP_DirOpenIcon, 289, "Aç", 1},
    {4, QStyle::SP_DialogSaveButton, 290, "Kaydet", 3},
    {5, QStyle::SP_DriveFDIcon, 291, "Farklı Kaydet", 4},
    {7, QStyle::SP_ArrowUp, 292, "İndikatöre Yükle", 8},
    {8, QStyle::SP_ArrowDown, 293, "İndikatörü Oku", 9},
    {10, QStyle::SP_DialogResetButton, 294, "Sayfayı Temizle", -1},
    {11, QStyle::SP_BrowserReload, 324, "Yenile (F5)", -1},
};

enum class ToolAction { FileItem, Refresh, Clear };
struct ToolbarDispatch {
    int line;  // tooltip text
    ToolAction action;
    int fileItem;
};
const ToolbarDispatch ToolbarTable[] = {
    {288, ToolAction::FileItem, 0}, {289, ToolAction::FileItem, 1}, {290, ToolAction::FileItem, 3},
    {291, ToolAction::FileItem, 4}, {292, ToolAction::FileItem, 8}, {293, ToolAction::FileItem, 9},
    {324, ToolAction::Refresh, -1}, {294, ToolAction::Clear, -1},
};

}  // namespace

void AnaForm::buildMenus()
{
    // Captions of the File and Settings menu items, by index; separators have none.
    struct Item {
        int line;
        const char *design;
    };
    const std::map<int, Item> fileItems = {{0, {2, "&Yeni"}},          {1, {3, "&Aç"}},
                                           {3, {4, "&Kaydet"}},        {4, {5, "&Farklı Kaydet"}},
                                           {8, {6, "İndikatöre &Yükle"}}, {9, {7, "İndikatörü &Oku"}},
                                           {11, {8, "&Çıkış"}}};
    const std::map<int, Item> settingsItems = {{0, {10, "&Bağlantı Ayarları"}}, {1, {11, "&Program Ayarları"}},
                                               {3, {12, "&Dil Ayarları"}},      {4, {13, "Yardım"}},
                                               {6, {14, "Hakkında"}}};
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    m_mnDosya = bar->addMenu(QString());
    m_mnDosya->setObjectName(QStringLiteral("MnDosya1"));
    m_captions.add(1, m_mnDosya, "&Dosya");
    for (int i = 0; i < int(m_mnDosyaItems.size()); ++i) {
        auto it = fileItems.find(i);
        QAction *item = it != fileItems.end() ? m_mnDosya->addAction(QString()) : m_mnDosya->addSeparator();
        item->setObjectName(QStringLiteral("MnDosya_%1").arg(i));
        m_mnDosyaItems[i] = item;
        if (it == fileItems.end())
            continue;
        m_captions.add(it->second.line, item, it->second.design);
    }
    // The usual keys of these items (F5, the refresh, and Escape are the window's own).
    // A key works only while the menu does: not during an operation.
    const std::pair<int, QKeySequence> fileKeys[] = {{0, QKeySequence(Qt::CTRL | Qt::Key_N)},
                                                     {1, QKeySequence(Qt::CTRL | Qt::Key_O)},
                                                     {3, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                                     {4, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}};
    for (const auto &[index, key] : fileKeys)
        m_mnDosyaItems[std::size_t(index)]->setShortcut(key);
    auto whileFileMenuWorks = [this](std::function<void()> action) {
        return [this, action] {
            if (m_mnDosya->menuAction()->isEnabled())
                action();
        };
    };
    connect(m_mnDosyaItems[0], &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->New(); }));
    connect(m_mnDosyaItems[1], &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->Open(); }));
    connect(m_mnDosyaItems[3], &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->SaveCommand(3); }));
    connect(m_mnDosyaItems[4], &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->SaveCommand(4); }));
    connect(m_mnDosyaItems[8], &QAction::triggered, this, [this] { m_batchPanels->openSendPanel(); });
    connect(m_mnDosyaItems[9], &QAction::triggered, this, [this] { m_batchPanels->openReadPanel(); });
    connect(m_mnDosyaItems[11], &QAction::triggered, this, [this] { close(); });
    // The compares, after the read-all item.
    QAction *compareIndicator = new QAction(m_texts.builtIn(BuiltIn::CompareWithIndicatorMenu), m_mnDosya);
    compareIndicator->setObjectName(QStringLiteral("MnDosyaCompareIndicator"));
    QAction *compareFile = new QAction(m_texts.builtIn(BuiltIn::CompareWithFileMenu), m_mnDosya);
    compareFile->setObjectName(QStringLiteral("MnDosyaCompareFile"));
    m_mnDosya->insertActions(m_mnDosyaItems[10], {compareIndicator, compareFile});
    connect(compareIndicator, &QAction::triggered, this,
            whileFileMenuWorks([this] { m_fileMenu->CompareWithIndicator(); }));
    connect(compareFile, &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->CompareWithFile(); }));
    // "Restore points…" after the batch items; its caption is a built-in text.
    QAction *restorePoints = new QAction(m_mnDosya);
    restorePoints->setObjectName(QStringLiteral("MnDosyaRestorePoints"));
    m_mnDosya->insertAction(m_mnDosyaItems[10], restorePoints);
    auto restorePointsCaption = [this, restorePoints] {
        restorePoints->setText(m_texts.builtIn(BuiltIn::RestorePointsMenu));
    };
    restorePointsCaption();
    connect(m_mnDosya, &QMenu::aboutToShow, this, restorePointsCaption);
    connect(restorePoints, &QAction::triggered, this,
            whileFileMenuWorks([this] { m_fileMenu->RestorePoints(); }));
    // "Print configuration sheet…" after it, likewise.
    QAction *printSheet = new QAction(m_mnDosya);
    printSheet->setObjectName(QStringLiteral("MnDosyaPrintSheet"));
    m_mnDosya->insertAction(m_mnDosyaItems[10], printSheet);
    auto printSheetCaption = [this, printSheet] { printSheet->setText(m_texts.builtIn(BuiltIn::SheetMenu)); };
    printSheetCaption();
    connect(m_mnDosya, &QMenu::aboutToShow, this, printSheetCaption);
    connect(printSheet, &QAction::triggered, this, whileFileMenuWorks([this] { m_fileMenu->PrintSheet(); }));

    m_mnAyar = bar->addMenu(QString());
    m_mnAyar->setObjectName(QStringLiteral("MnAyar1"));
    m_captions.add(9, m_mnAyar, "&Ayarlar ve Yardım");
    for (int i = 0; i < int(m_mnAyarItems.size()); ++i) {
        auto it = settingsItems.find(i);
        QAction *item = it != settingsItems.end() ? m_mnAyar->addAction(QString()) : m_mnAyar->addSeparator();
        item->setObjectName(QStringLiteral("MnAyar_%1").arg(i));
        m_mnAyarItems[i] = item;
        if (it == settingsItems.end())
            continue;
        m_captions.add(it->second.line, item, it->second.design);
        connect(item, &QAction::triggered, this, [this, i] {
            if (m_mnAyar->menuAction()->isEnabled())
                MnAyar_Click(i);
        });
    }

    m_mnAyarItems[4]->setShortcut(QKeySequence(Qt::Key_F1));  // the user guide

    // The communication monitor: a dock made on first use, listening while open.
    QAction *monitor = m_mnAyar->addAction(m_texts.builtIn(BuiltIn::MonitorTitle));
    monitor->setObjectName(QStringLiteral("MnAyar_Monitor"));
    connect(monitor, &QAction::triggered, this, [this] {
        auto *dock = findChild<CommunicationMonitor *>();
        if (!dock) {
            dock = new CommunicationMonitor(*m_link, m_texts, op(), this);
            addDockWidget(Qt::BottomDockWidgetArea, dock);
            // The frame keeps its size (its pages are laid out for it): the monitor
            // floats beside it, never docked into it.
            dock->setAllowedAreas(Qt::NoDockWidgetArea);
            dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                              | QDockWidget::DockWidgetFloatable);
            dock->setFloating(true);
            dock->resize(760, 360);
        }
        dock->open();
    });

    // The weight trend: a floating window of its own, made when first opened. Its item
    // has no language line: the built-in text is put up as the menu opens.
    m_mnAyar->addSeparator();
    QAction *trend = m_mnAyar->addAction(m_texts.builtIn(BuiltIn::TrendMenu));
    trend->setObjectName(QStringLiteral("MnAyar_Trend"));
    connect(m_mnAyar, &QMenu::aboutToShow, trend, [this, trend] { trend->setText(m_texts.builtIn(BuiltIn::TrendMenu)); });
    connect(trend, &QAction::triggered, this, [this] {
        if (!m_mnAyar->menuAction()->isEnabled())
            return;
        auto *view = findChild<TrendView *>(QStringLiteral("TrendView"), Qt::FindDirectChildrenOnly);
        if (!view) {
            view = new TrendView(*this, this);
            addDockWidget(Qt::BottomDockWidgetArea, view);
            // The frame keeps its size: the view floats beside it, never docked into it.
            view->setAllowedAreas(Qt::NoDockWidgetArea);
            view->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                              | QDockWidget::DockWidgetFloatable);
            view->setFloating(true);
            view->resize(760, 620);
        }
        view->show();
        view->raise();
        if (!view->sampling())
            view->startSampling();
    });

    // The verification test: a dialog of its own, made when first opened; its caption
    // is the verification's own text in the language in use.
    QAction *verify = m_mnAyar->addAction(VerifyTextOf(VerifyText::DialogMenu, m_texts));
    verify->setObjectName(QStringLiteral("MnAyar_Verify"));
    connect(m_mnAyar, &QMenu::aboutToShow, verify,
            [this, verify] { verify->setText(VerifyTextOf(VerifyText::DialogMenu, m_texts)); });
    connect(verify, &QAction::triggered, this, [this] {
        if (!m_mnAyar->menuAction()->isEnabled())
            return;
        auto *dialog = findChild<VerificationDialog *>(QStringLiteral("VerificationDialog"), Qt::FindDirectChildrenOnly);
        if (!dialog)
            dialog = new VerificationDialog(*this, this);
        dialog->applyLanguage();
        dialog->show();
        dialog->raise();
    });

    // The service history: every send, calibration and analog trim, newest first. Its
    // caption is a built-in text (applyTexts says it in the language in use).
    m_mnAyar->addSeparator();
    QAction *history = m_mnAyar->addAction(m_texts.builtIn(BuiltIn::HistoryMenuItem));
    history->setObjectName(QStringLiteral("MnHistory"));
    connect(history, &QAction::triggered, this, [this] {
        if (!m_mnAyar->menuAction()->isEnabled())
            return;
        auto *dialog = new HistoryDialog(m_texts, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    });

    m_connect = bar->addAction(QStringLiteral("Bağlan"));
    m_connect->setObjectName(QStringLiteral("connect"));
    connect(m_connect, &QAction::triggered, this, [this] { connectMenuClick(); });
}

void AnaForm::updateMonitorCaptions()
{
    if (auto *item = findChild<QAction *>(QStringLiteral("MnAyar_Monitor")))
        item->setText(m_texts.builtIn(BuiltIn::MonitorTitle));
    if (auto *dock = findChild<CommunicationMonitor *>())
        dock->applyTexts(m_texts);
}

void AnaForm::buildToolbar()
{
    m_toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setIconSize(QSize(20, 20));
    m_toolbar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    for (int n = 1; n <= 11; ++n) {
        if (n == 3 || n == 6 || n == 9) {
            m_toolbarButtons[n] = m_toolbar1->addSeparator();
            m_toolbarButtons[n]->setObjectName(QStringLiteral("Toolbar1_%1").arg(n));
            continue;
        }
        const ToolbarButton *b = std::find_if(std::begin(ToolbarButtons), std::end(ToolbarButtons),
                                              [n](const ToolbarButton &t) { return t.button == n; });
        QAction *button = m_toolbar1->addAction(style()->standardIcon(b->icon), QString());
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(n));
        m_toolbarButtons[n] = button;
        m_captions.add(b->line, button, b->design, Captions::Kind::ToolTip);
        if (b->fileItem >= 0) {
            QAction *menuItem = m_mnDosyaItems[b->fileItem];
            button->setEnabled(menuItem->isEnabled());
            connect(menuItem, &QAction::changed, button, [button, menuItem] { button->setEnabled(menuItem->isEnabled()); });
        }
    }
    connect(m_toolbar1, &QToolBar::actionTriggered, this, [this](QAction *a) { Toolbar1_ButtonClick(a); });
}

void AnaForm::Toolbar1_ButtonClick(QAction *button)
{
    const QString tip = button->toolTip();
    if (tip.isEmpty())
        return;
    for (const ToolbarDispatch &d : ToolbarTable) {
        if (tip != captionText(d.line))
            continue;
        switch (d.action) {
        case ToolAction::FileItem:
            if (QAction *item = m_mnDosyaItems[d.fileItem]; item->isEnabled())
                item->trigger();
            break;
        case ToolAction::Refresh:
            m_refresh->refresh();
            break;
        case ToolAction::Clear:
            m_fileMenu->SilEm();
            break;
        }
        return;
    }
}

void AnaForm::MnAyar_Click(int index)
{
    switch (index) {
    case 0:
        m_settingsPanel->open();
        break;
    case 1:
        // The program's own setting beside the connection panel: the reading time.
        m_settingsPanel->readingTimeEntry();
        break;
    case 3:
        openLanguagePanel();
        break;
    case 4: {
        const QString path = helpFilePath();
        if (!QFileInfo::exists(path))
            op().message(m_texts.builtIn(BuiltIn::HelpMissing).arg(QDir::toNativeSeparators(path)), Icon::Critical);
        else if (!openDocument || !openDocument(path))
            op().message(m_texts.builtIn(BuiltIn::HelpNotOpened).arg(QDir::toNativeSeparators(path)), Icon::Critical);
        break;
    }
    case 6:
        op().message(m_texts.line(299) + QLatin1Char('\n') + m_texts.line(300), Icon::Information);
        break;
    default:
        break;
    }
}

QString AnaForm::helpFilePath() const
{
    return QDir(ProgramFolder()).filePath(QStringLiteral("Help/") + m_texts.helpDocument());
}

CompareDialog *AnaForm::compareFileWithIndicator(const QString &path)
{
    auto *dialog = new CompareDialog(*this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!dialog->compareWithIndicator(path)) {
        delete dialog;
        return nullptr;
    }
    dialog->setModal(true);
    dialog->show();
    return dialog;
}

CompareDialog *AnaForm::compareFiles(const QString &pathA, const QString &pathB)
{
    auto *dialog = new CompareDialog(*this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!dialog->compareFiles(pathA, pathB)) {
        delete dialog;
        return nullptr;
    }
    dialog->setModal(true);
    dialog->show();
    return dialog;
}

}  // namespace vx::gui
