#include "gui/RestorePointsDialog.h"

#include "gui/Widgets.h"
#include "service/HistoryText.h"
#include "shell/TextService.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vx::gui {

RestorePointsDialog::RestorePointsDialog(const TextService &texts, const IdentificationTexts &indicator,
                                         std::vector<RestorePointEntry> entries, const QString &folder,
                                         QWidget *parent)
    : QDialog(parent), m_entries(std::move(entries))
{
    setObjectName(QStringLiteral("RestorePointsDialog"));
    setWindowTitle(texts.builtIn(BuiltIn::RestorePointsTitle).arg(indicator.model, indicator.second));
    auto *layout = new QVBoxLayout(this);

    m_list = Named<QTreeWidget>(QStringLiteral("RestorePointList"), this);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {texts.builtIn(BuiltIn::RestorePointsTimeColumn), texts.builtIn(BuiltIn::RestorePointsFileColumn)});
    // The time in this computer's local time with its offset, the file named whole (its
    // folder in the tooltip); the columns can be widened.
    for (const RestorePointEntry &entry : m_entries) {
        auto *item = new QTreeWidgetItem({HistoryLocalTime(entry.time), entry.fileName});
        item->setToolTip(0, item->text(0));
        item->setToolTip(1, QDir::toNativeSeparators(entry.path));
        m_list->addTopLevelItem(item);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    layout->addWidget(m_list, 1);

    m_none = Named<QLabel>(QStringLiteral("RestorePointNone"), this,
                           texts.builtIn(BuiltIn::RestorePointsNone).arg(QDir::toNativeSeparators(folder)));
    m_none->setWordWrap(true);
    m_none->setVisible(m_entries.empty());
    layout->addWidget(m_none);

    auto *buttons = new QHBoxLayout;
    m_send = Named<QPushButton>(QStringLiteral("RestorePointSend"), this, texts.builtIn(BuiltIn::RestorePointsSend));
    m_compare = Named<QPushButton>(QStringLiteral("RestorePointCompare"), this,
                                   texts.builtIn(BuiltIn::RestorePointsCompare));
    auto *close = Named<QPushButton>(QStringLiteral("RestorePointClose"), this,
                                     texts.builtIn(BuiltIn::RestorePointsClose));
    buttons->addWidget(m_send);
    buttons->addWidget(m_compare);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(640, 320);

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { sendChosen(); });
    connect(m_send, &QPushButton::clicked, this, [this] { sendChosen(); });
    connect(m_compare, &QPushButton::clicked, this, [this] { compareChosen(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    if (!m_entries.empty())
        choose(0);  // the newest
    updateButtons();
}

void RestorePointsDialog::showEvent(QShowEvent *event)
{
    updateButtons();  // the frame sets the compare after building the dialog
    QDialog::showEvent(event);
}

QString RestorePointsDialog::chosenPath() const
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < int(m_entries.size()) ? m_entries[std::size_t(row)].path : QString();
}

void RestorePointsDialog::choose(int row)
{
    if (QTreeWidgetItem *item = m_list->topLevelItem(row))
        m_list->setCurrentItem(item);
}

void RestorePointsDialog::updateButtons()
{
    const bool chosen = !chosenPath().isEmpty();
    m_send->setEnabled(chosen && sendRestorePoint);
    m_compare->setEnabled(chosen && compareWithIndicator);
}

void RestorePointsDialog::sendChosen()
{
    const QString path = chosenPath();
    if (path.isEmpty() || !sendRestorePoint)
        return;
    const auto send = sendRestorePoint;  // the dialog may be gone once it is closed
    accept();
    send(path);
}

void RestorePointsDialog::compareChosen()
{
    const QString path = chosenPath();
    if (!path.isEmpty() && compareWithIndicator)
        compareWithIndicator(path);
}

}  // namespace vx::gui
