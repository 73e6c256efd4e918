#include "gui/ParameterPage.h"

#include "files/WorkingSet.h"
#include "gui/Widgets.h"
#include "link/ClockTimer.h"
#include "link/Connect.h"
#include "link/LineLease.h"
#include "link/Transaction.h"
#include "memory/Transfers.h"
#include "params/BlockCodec.h"
#include "params/IndicatorClock.h"
#include "params/Range.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

using params::Editor;
using params::Kind;

// Language lines of the page.
constexpr int kTextReading = 256;
constexpr int kTextBadDate = 385;
constexpr int kTextPortWarning1 = 373;
constexpr int kTextPortWarning2 = 374;
constexpr int kTextPortWarningTitle = 379;
constexpr int kClockRow = 1;
constexpr int kTextNotConnected = 375;

// Grid geometry: columns of 4000 and 4500 twips, rows of 280 twips (15 twips a pixel).
constexpr int kCaptionColumnWidth = 4000 / 15;
constexpr int kRowHeight = 280 / 15 + 3;

// Header and section rows: background &HF1C5B1 and, for section titles, text &HFF0000
// (the colours are blue-green-red).
const QColor kBand(0xB1, 0xC5, 0xF1);
const QColor kSectionText(0x00, 0x00, 0xFF);

// Bold captions, coloured and centred section rows.
class GridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto kind = Kind(index.data(ParameterSet::KindRole).toInt());
        if (index.column() == 0)
            option->font.setBold(true);
        if (kind == Kind::Section || kind == Kind::Header) {
            option->backgroundBrush = kBand;
            option->palette.setColor(QPalette::Text, kSectionText);
            option->palette.setColor(QPalette::HighlightedText, kSectionText);
            option->displayAlignment = Qt::AlignCenter;
            option->font.setBold(true);
        } else {
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        }
    }
};

bool isEnter(const QKeyEvent *key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

}  // namespace

ParameterPage::ParameterPage(PageHost &host, QWidget *parent)
    : TabPage(Tab::Parameters, host, parent), m_set(host.workingSet().parameters())
{
    m_timer2 = std::make_unique<ClockTimer>(host.link().clock(), Timer2IntervalMs, [this] { Timer2_Timer(); });
    buildGrid();
    buildEditors();
    buildDatePanel();
    m_captions.applyDesign();
}

ParameterPage::~ParameterPage() = default;

Model ParameterPage::model() const { return host().state().IndicatorModel; }
const LanguageTexts &ParameterPage::lines() const { return host().texts().lines(); }

// ---- building -----------------------------------------------------------------

void ParameterPage::buildGrid()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    QFrame *area = MakeGridArea(2, this);
    layout->addWidget(area);

    m_grid = Named<QTableView>(QStringLiteral("Grid1_2"), area);
    m_grid->setModel(&m_set);
    m_grid->setItemDelegate(new GridDelegate(m_grid));
    // The cells are not edited in place: the page lays its editors over column 1.
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(false);
    // Tab does not walk the cells: a hidden editor hands the focus on with a Tab, which
    // would move the current row once more.
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(qMax(kRowHeight, m_grid->fontMetrics().height() + 6));
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setSectionsClickable(false);
    m_grid->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background: #B1C5F1; color: black; font-weight: bold;"
                       " border: 1px solid #8fa6d6; padding: 2px; }"));
    m_grid->setColumnWidth(0, kCaptionColumnWidth);
    area->layout()->addWidget(m_grid);

    // Row 0 is the caption row: the view shows it as the column header.
    m_grid->setRowHidden(0, true);
    connect(&m_set, &ParameterSet::hiddenChanged, this, [this](int row, bool hidden) {
        m_grid->setRowHidden(row, row == 0 || hidden);
        if (hidden && row == m_editorRow)
            hideEditors();
        placeEditors();
    });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    openEditor(current.row());
            });
    // A click on the row whose editor was closed opens it again.
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() != m_editorRow)
            openEditor(index.row());
    });
    // The editors follow the grid when it scrolls or a column changes.
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditors(); });
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEditors(); });
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { placeEditors(); });
}

void ParameterPage::buildEditors()
{
    QWidget *viewport = m_grid->viewport();
    m_text1 = Named<QLineEdit>(QStringLiteral("Text1"), viewport);
    m_text1->setFrame(false);
    m_text1->setContextMenuPolicy(Qt::NoContextMenu);  // no paste around the character filter
    m_text1->setDragEnabled(false);
    m_text1->setAcceptDrops(false);
    m_text1->hide();
    m_text1->installEventFilter(this);
    connect(m_text1, &QLineEdit::textChanged, this, [this](const QString &text) { text1Changed(text); });

    m_combo1 = Named<QComboBox>(QStringLiteral("Combo1"), viewport);
    m_combo1->setMaxVisibleItems(12);
    m_combo1->hide();
    m_combo1->installEventFilter(this);
    connect(m_combo1, &QComboBox::activated, this, [this](int index) { combo1Activated(index); });
}

void ParameterPage::buildDatePanel()
{
    m_ssPanel9 = new Panel(QStringLiteral("SSPanel9"), QString(), m_grid->viewport());
    m_ssPanel9->setFixedSize(300, 150);
    m_ssPanel9->hide();
    QWidget *body = m_ssPanel9->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(4);
    m_label16 = Named<QLabel>(QStringLiteral("Label16"), body);
    QFont bold = m_label16->font();
    bold.setBold(true);
    m_label16->setFont(bold);
    layout->addWidget(m_label16);

    auto *fields = new QHBoxLayout;
    const char *const frames[2] = {"Frame10", "Frame12"};
    const char *const separators[2] = {"-", ":"};
    for (int f = 0; f < 2; ++f) {
        m_frames[f] = Named<QGroupBox>(QString::fromLatin1(frames[f]), body);
        auto *row = new QHBoxLayout(m_frames[f]);
        row->setContentsMargins(6, 2, 6, 4);
        row->setSpacing(2);
        for (int i = 0; i < 3; ++i) {
            const int index = f * 3 + i;
            if (i > 0)
                row->addWidget(new QLabel(QString::fromLatin1(separators[f]), m_frames[f]));
            QLineEdit *&field = m_text13[index];
            field = Named<QLineEdit>(QStringLiteral("Text13_%1").arg(index), m_frames[f]);
            field->setMaxLength(2);
            field->setFixedWidth(30);
            field->setAlignment(Qt::AlignCenter);
            field->setContextMenuPolicy(Qt::NoContextMenu);
            field->installEventFilter(this);
            row->addWidget(field);
        }
        fields->addWidget(m_frames[f]);
    }
    auto *buttons = new QVBoxLayout;
    m_image1[0] = Named<QPushButton>(QStringLiteral("Image1_0"), body, QStringLiteral("✔"));
    m_image1[1] = Named<QPushButton>(QStringLiteral("Image1_1"), body, QStringLiteral("✘"));
    for (int i = 0; i < 2; ++i) {
        m_image1[i]->setFixedSize(28, 24);
        m_image1[i]->setAutoDefault(false);
        buttons->addWidget(m_image1[i]);
        connect(m_image1[i], &QPushButton::clicked, this, [this, i] { Image1_Click(i); });
    }
    fields->addLayout(buttons);
    layout->addLayout(fields);
    // The indicator's clock set at once from this PC's, beside the fields typed by hand.
    m_clockFromPc = Named<QPushButton>(QStringLiteral("ClockFromPc"), body);
    m_clockFromPc->setAutoDefault(false);
    connect(m_clockFromPc, &QPushButton::clicked, this, [this] { setClockFromPc(); });
    layout->addWidget(m_clockFromPc);

    m_captions.add(364, m_label16, "Tarih - Saat Ayarı");
    m_captions.add(344, m_frames[0], "Tarih");
    m_captions.add(380, m_frames[1], "Saat");
}

// ---- the page interface -----------------------------------------------------------

void ParameterPage::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    m_clockFromPc->setText(texts.builtIn(BuiltIn::ClockFromPc));
}

void ParameterPage::layOutGrids()
{
    LayOutGrid(m_set, lines(), model());
    for (int row = 0; row < ParameterSet::RowCount; ++row)
        m_grid->setRowHidden(row, row == 0 || m_set.isHidden(row));
    placeEditors();
}

void ParameterPage::modelChanged(Model)
{
    hideEditors();
    layOutGrids();
}

void ParameterPage::entered()
{
    // A reload (the refresh of this tab) reads the parameters once the tab is shown.
    if (host().state().TabRefreshPending)
        m_timer2->start();
}

void ParameterPage::left() { m_timer2->stop(); }

void ParameterPage::rangeKnown(const IndicatorRange &range) { m_set.weight = range.format; }

void ParameterPage::rangeLost() { m_set.weight = {}; }

void ParameterPage::clearPage()
{
    hideEditors();
    m_set.clearValues();
    layOutGrids();
}

// ---- reading and writing ----------------------------------------------------------

void ParameterPage::Timer2_Timer()
{
    m_timer2->stop();
    Link &link = host().link();
    if (link.lineHeld())
        return;  // another operation holds the line: this reload is skipped
    host().beginOperation();
    host().showReadProgress(lines().text(kTextReading));
    if (host().state().IsConnected) {
        const LineLease lease(link);
        if (lease)
            read();
    }
    host().hideReadProgress();
    host().endOperation();
}

ParameterReadResult ParameterPage::read()
{
    hideEditors();
    // Weight rows read at a guessed scale would be saved and sent back wrong.
    if (!host().rangeReady()) {
        host().refuseWithoutRange();
        return {};
    }
    const ParameterReadResult result =
        ParametreHostOku(host().link(), m_set, host().texts(), model(), [this] { host().DisconnectAction(); });
    host().tickSendBoxes(result.sendBoxesToTick);
    ReportRead(host().workingSet(), DataGroup::Parameters,
               result.completed ? TransferResult::Completed : TransferResult::Refused);
    return result;
}

ParameterWriteResult ParameterPage::write(const WriteGroups &groups)
{
    hideEditors();
    return ParametreHostYaz(host().link(), m_set, host().texts(), groups);
}

// ---- the editors ------------------------------------------------------------------

void ParameterPage::hideEditors()
{
    // The grid keeps the focus an editor had.
    QWidget *focus = QApplication::focusWidget();
    if (focus && (focus == m_text1 || focus == m_combo1 || m_ssPanel9->isAncestorOf(focus)))
        m_grid->setFocus();
    m_text1->hide();
    m_combo1->hide();
    m_ssPanel9->hide();
    m_editorRow = -1;
}

void ParameterPage::openEditor(int row)
{
    hideEditors();
    const Editor editor = params::EditorFor(row, model());
    if (editor == Editor::None || m_set.isHidden(row))
        return;
    m_editorRow = row;
    m_settingEditor = true;
    switch (editor) {
    case Editor::Text: {
        const QString text = m_set.value(row);
        m_text1->setMaxLength(qMax(params::TextLimit(row, text), int(text.size())));
        m_text1->setText(text);
        m_text1->show();
        m_text1->setFocus(Qt::TabFocusReason);
        m_text1->selectAll();  // typing replaces the value...

        break;
    }
    case Editor::List: {
        // The list is built afresh each time: [200] and the model decide what it offers.
        m_combo1->clear();
        m_combo1->addItems(params::EditorItems(row, m_set, lines(), model()));
        const QString text = m_set.value(row);
        int index = m_combo1->findText(text);
        if (index < 0 && !text.trimmed().isEmpty()) {
            // A cell such as [120]'s "5 " stands for the item of its code.
            for (int i = 0; i < m_combo1->count() && index < 0; ++i)
                if (CellCode(m_combo1->itemText(i)) == CellCode(text))
                    index = i;
        }
        m_combo1->setCurrentIndex(index);
        m_combo1->show();
        m_combo1->setFocus();
        break;
    }
    case Editor::DateTime:
        openDatePanel();
        break;
    case Editor::None:
        break;
    }
    m_settingEditor = false;
    placeEditors();
}

void ParameterPage::placeEditors()
{
    if (m_editorRow < 0)
        return;
    const QRect cell = m_grid->visualRect(m_set.index(m_editorRow, 1));
    m_text1->setGeometry(cell);
    m_combo1->setGeometry(cell.adjusted(0, -1, 0, 1));
    // The date panel opens below the value cell (above it near the bottom), inside the grid.
    const QRect area = m_grid->viewport()->rect();
    QPoint at = cell.bottomLeft() + QPoint(0, 1);
    if (at.y() + m_ssPanel9->height() > area.height())
        at.setY(cell.top() - m_ssPanel9->height());
    at.setX(qMax(0, qMin(at.x(), area.width() - m_ssPanel9->width())));
    at.setY(qMax(0, qMin(at.y(), area.height() - m_ssPanel9->height())));
    m_ssPanel9->move(at);
    m_ssPanel9->raise();
}

void ParameterPage::setText1Limit()
{
    // A new limit puts the text in again (selection and cursor go): only when it changes.
    const QString text = m_text1->text();
    const int limit = qMax(params::TextLimit(m_editorRow, text), int(text.size()));
    if (m_text1->maxLength() != limit)
        m_text1->setMaxLength(limit);
}

void ParameterPage::moveEditor(int step)
{
    const int from = m_editorRow >= 0 ? m_editorRow : m_grid->currentIndex().row();
    const int to = params::NextEditorRow(m_set, from, step, model());
    if (to == from)
        return;
    const QModelIndex index = m_set.index(to, 1);
    m_grid->scrollTo(index);
    m_grid->setCurrentIndex(index);
}

void ParameterPage::text1Changed(const QString &text)
{
    if (m_settingEditor || m_editorRow < 0)
        return;
    const int row = m_editorRow;
    const params::TextChange change = params::ApplyText(m_set, row, text);
    m_settingEditor = true;
    if (!change.refused)
        host().workingSet().edited(DataGroup::Parameters, row);
    if (change.refused) {
        // The value would not fit its field: the text goes back to what the cell holds.
        const QString kept = m_set.value(row);
        host().link().op().message(host().texts().builtIn(BuiltIn::WordTooLarge).arg(text), Icon::Critical);
        m_text1->setText(kept);
    } else if (change.editorText) {
        m_text1->setMaxLength(qMax(m_text1->maxLength(), int(change.editorText->size())));
        m_text1->setText(*change.editorText);
    }
    setText1Limit();
    m_settingEditor = false;
}

void ParameterPage::combo1Activated(int index)
{
    if (m_editorRow < 0 || index < 0)
        return;
    const params::ChoiceEffect effect =
        params::ApplyChoice(m_set, m_portWatch, m_editorRow, m_combo1->itemText(index), lines());
    host().workingSet().edited(DataGroup::Parameters, m_editorRow);
    if (effect.portFunctionWarning)
        host().link().op().message(lines().text(kTextPortWarning1) + QLatin1Char('\n') + lines().text(kTextPortWarning2),
                                   Icon::Critical, lines().text(kTextPortWarningTitle));
}

// ---- the date and time panel ------------------------------------------------------

void ParameterPage::openDatePanel()
{
    const params::ClockFields fields =
        params::sspanel9_Default(m_set.value(kClockRow), host().link().clock().now().date());
    for (std::size_t i = 0; i < fields.size(); ++i)
        m_text13[i]->setText(fields[i]);
    m_ssPanel9->show();
    m_ssPanel9->raise();
    m_text13[0]->setFocus(Qt::TabFocusReason);
}

void ParameterPage::setClockFromPc()
{
    const TextService &texts = host().texts();
    Link &link = host().link();
    Operator &op = link.op();
    if (!host().state().IsConnected) {
        op.message(lines().text(kTextNotConnected), Icon::Critical);
        return;
    }
    if (link.lineHeld())
        return;  // another operation holds the line
    std::optional<ClockSetting> setting;
    host().beginOperation();
    {
        const LineLease lease(link);
        if (lease) {
            link.AbortRequested = false;
            setting = SetIndicatorClockToPc(link, texts);
        }
    }
    host().endOperation();
    if (!setting)
        return;
    // The cell shows what the indicator holds now, as a read shows it.
    if (setting->readBack.valid()) {
        m_set.setClock(setting->readBack.text, link.decode.weekdayText);
    }
    if (!setting->ok()) {
        op.message(ClockSettingProblem(*setting, texts), Icon::Critical);
        return;
    }
    m_ssPanel9->hide();
    m_grid->setFocus();
    op.message(texts.builtIn(BuiltIn::ClockSetDone).arg(setting->readBack.text), Icon::Information);
}

void ParameterPage::Image1_Click(int index)
{
    if (index == 1) {
        m_ssPanel9->hide();
        m_grid->setFocus();
        return;
    }
    params::ClockFields fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = m_text13[i]->text();
    const TextService &texts = host().texts();
    Operator &op = host().link().op();
    switch (params::sspanel9_Kontrol(fields)) {
    case params::ClockCheck::Ok:
        m_set.setValue(kClockRow, params::sspanel9_gelen(fields));
        host().workingSet().edited(DataGroup::Parameters, kClockRow);
        m_ssPanel9->hide();
        m_grid->setFocus();
        return;
    case params::ClockCheck::BadRange:
        op.message(lines().text(kTextBadDate), Icon::Critical);
        break;
    case params::ClockCheck::NotInCalendar:
        op.message(texts.builtIn(BuiltIn::DateNotInCalendar)
                       .arg(PadLeftZeros(fields[0], 2), PadLeftZeros(fields[1], 2), PadLeftZeros(fields[2], 2)),
                   Icon::Critical);
        break;
    case params::ClockCheck::BadTime:
        op.message(texts.builtIn(BuiltIn::TimeInvalid), Icon::Critical);
        break;
    }
}

// ---- keys -------------------------------------------------------------------------

bool ParameterPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return TabPage::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_text1)
        return text1Key(key);
    if (watched == m_combo1 && isEnter(key)) {
        moveEditor(1);
        return true;
    }
    for (int i = 0; i < int(m_text13.size()); ++i)
        if (watched == m_text13[std::size_t(i)])
            return text13Key(i, key);
    return TabPage::eventFilter(watched, event);
}

bool ParameterPage::text1Key(QKeyEvent *key)
{
    if (isEnter(key) || key->key() == Qt::Key_Down) {
        moveEditor(1);
        return true;
    }
    if (key->key() == Qt::Key_Up) {
        moveEditor(-1);
        return true;
    }
    if (key->matches(QKeySequence::Paste))
        return true;
    const QString current = m_text1->text();
    setText1Limit();
    const QString typed = key->text();
    // Editing keys (Backspace, Delete, the arrows) pass; a typed character is filtered.
    if (typed.size() != 1 || !typed.at(0).isPrint())
        return false;
    const std::optional<QChar> passed = params::FilterCharacter(typed.at(0), current);
    if (!passed)
        return true;
    if (*passed != typed.at(0)) {
        m_text1->insert(QString(*passed));
        return true;
    }
    return false;
}

bool ParameterPage::text13Key(int field, QKeyEvent *key)
{
    if (key->key() == Qt::Key_Escape) {
        Image1_Click(1);
        return true;
    }
    if (isEnter(key)) {
        // Enter in the minutes or the seconds is OK; elsewhere it moves on.
        if (field >= 4)
            Image1_Click(0);
        else
            m_text13[std::size_t(field + 1)]->setFocus(Qt::TabFocusReason);  // its text selected
        return true;
    }
    if (key->matches(QKeySequence::Paste))
        return true;
    if (key->matches(QKeySequence::SelectAll))
        return false;
    const QString typed = key->text();
    if (typed.size() != 1 || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete
        || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;  // editing keys, the focus keys and keys without a character
    const QChar c = typed.at(0);
    return !(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

}  // namespace vx::gui
