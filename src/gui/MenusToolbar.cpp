// The File and Settings menus, the connect menu and the main toolbar.

#include "gui/AnaForm.h"

#include "gui/Widgets.h"
#include "link/AppPaths.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <algorithm>

namespace vx::gui {
namespace {

// Indexes of the File menu that hold commands; the others are separators.
const int FileItems[] = {0, 1, 3, 4, 8, 9, 11};
const int FileItemCount = 12;
const int SettingsItems[] = {0, 1, 3, 4, 6};
const int SettingsItemCount = 7;

bool contains(const int *first, const int *last, int value) { return std::find(first, last, value) != last; }

// The main toolbar: buttons 1-11, with separators at 3, 6 and 9. A button's tooltip
// line says what it does; the click looks the tooltip up in this table, in order.
struct ToolbarButton {
    int button;
    QStyle::StandardPixmap icon;
};
const ToolbarButton ToolbarButtons[] = {
    {1, QStyle::SP_FileIcon},          {2, QStyle::SP_DirOpenIcon},      {4, QStyle::SP_DialogSaveButton},
    {5, QStyle::SP_DriveFDIcon},       {7, QStyle::SP_ArrowUp},          {8, QStyle::SP_ArrowDown},
    {10, QStyle::SP_DialogResetButton}, {11, QStyle::SP_BrowserReload},
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

// Which File item a toolbar button repeats (its enabled state follows the item's).
int fileItemOfButton(int button)
{
    switch (button) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 3;
    case 5: return 4;
    case 7: return 8;
    case 8: return 9;
    default: return -1;
    }
}

}  // namespace

void AnaForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));

    m_mnDosya = bar->addMenu(QString());
    m_mnDosya->setObjectName(QStringLiteral("MnDosya1"));
    for (int i = 0; i < FileItemCount; ++i) {
        QAction *item = contains(std::begin(FileItems), std::end(FileItems), i) ? m_mnDosya->addAction(QString())
                                                                               : m_mnDosya->addSeparator();
        item->setObjectName(QStringLiteral("MnDosya_%1").arg(i));
    }
    // New, open, save, save-as, send-all and read-all come with the file and batch
    // work; until then they are shown but cannot be chosen.
    for (int i : FileItems) {
        if (i != 11)
            findChild<QAction *>(QStringLiteral("MnDosya_%1").arg(i))->setEnabled(false);
    }
    connect(findChild<QAction *>(QStringLiteral("MnDosya_11")), &QAction::triggered, this, [this] { close(); });

    m_mnAyar = bar->addMenu(QString());
    m_mnAyar->setObjectName(QStringLiteral("MnAyar1"));
    for (int i = 0; i < SettingsItemCount; ++i) {
        const bool command = contains(std::begin(SettingsItems), std::end(SettingsItems), i);
        QAction *item = command ? m_mnAyar->addAction(QString()) : m_mnAyar->addSeparator();
        item->setObjectName(QStringLiteral("MnAyar_%1").arg(i));
        if (command)
            connect(item, &QAction::triggered, this, [this, i] { MnAyar_Click(i); });
    }

    m_connect = bar->addAction(QStringLiteral("Bağlan"));
    m_connect->setObjectName(QStringLiteral("connect"));
    connect(m_connect, &QAction::triggered, this, [this] { connectMenuClick(); });
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
            m_toolbar1->addSeparator()->setObjectName(QStringLiteral("Toolbar1_%1").arg(n));
            continue;
        }
        QStyle::StandardPixmap pixmap = QStyle::SP_CustomBase;
        for (const ToolbarButton &b : ToolbarButtons)
            if (b.button == n)
                pixmap = b.icon;
        QAction *button = m_toolbar1->addAction(style()->standardIcon(pixmap), QString());
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(n));
        const int item = fileItemOfButton(n);
        if (item >= 0) {
            QAction *menuItem = findChild<QAction *>(QStringLiteral("MnDosya_%1").arg(item));
            button->setEnabled(menuItem->isEnabled());
            connect(menuItem, &QAction::changed, button, [button, menuItem] { button->setEnabled(menuItem->isEnabled()); });
        }
        if (n == 10)
            button->setEnabled(false);  // clearing a page comes with the file work
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
            if (QAction *item = findChild<QAction *>(QStringLiteral("MnDosya_%1").arg(d.fileItem)); item && item->isEnabled())
                item->trigger();
            break;
        case ToolAction::Refresh:
            RefKatmaOlum();
            break;
        case ToolAction::Clear:
            break;  // clearing a page comes with the file work
        }
        return;
    }
}

void AnaForm::MnAyar_Click(int index)
{
    switch (index) {
    case 0:
        openConnectionPanel();
        break;
    case 1:
        // The program's own setting beside the connection panel: the reading time.
        readingTimeEntry();
        break;
    case 3:
        openLanguagePanel();
        break;
    case 4: {
        const QString path = helpFilePath();
        const bool turkish = m_link->settings.LanguageFileName == QStringLiteral("Türkçe.txt");
        if (!QFileInfo::exists(path)) {
            op().message((turkish ? QStringLiteral("Yardım belgesi bulunamadı:\n%1")
                                   : QStringLiteral("The help document was not found:\n%1"))
                              .arg(QDir::toNativeSeparators(path)),
                          Icon::Critical);
        } else if (!openDocument || !openDocument(path)) {
            op().message((turkish ? QStringLiteral("Yardım belgesi açılamadı:\n%1")
                                   : QStringLiteral("The help document could not be opened:\n%1"))
                              .arg(QDir::toNativeSeparators(path)),
                          Icon::Critical);
        }
        break;
    }
    case 6:
        op().message(text(299) + QLatin1Char('\n') + text(300), Icon::Information);
        break;
    default:
        break;
    }
}

QString AnaForm::helpFilePath() const
{
    const QString file = m_link->settings.LanguageFileName == QStringLiteral("Türkçe.txt")
                             ? QStringLiteral("VextoraTR.pdf")
                             : QStringLiteral("VextoraENG.pdf");
    return QDir(ProgramFolder()).filePath(QStringLiteral("Help/") + file);
}

}  // namespace vx::gui
