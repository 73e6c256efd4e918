#include "gui/RowEntry.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

namespace vx::gui {
namespace {

int g_beeps = 0;
// Set on a box that got the keys from a press of the mouse button; its press selects.
constexpr const char *SelectOnPress = "vxSelectOnPress";

bool takes(BoxKeys keys, QChar c)
{
    if (keys == BoxKeys::Any)
        return true;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return keys == BoxKeys::DigitsAndComma && c == QLatin1Char(',');
}

}  // namespace

void Beep()
{
    ++g_beeps;
    QApplication::beep();
}

int BeepCount() { return g_beeps; }

// ---------------------------------------------------------------------------

BoxKeyFilter::BoxKeyFilter(QLineEdit *box, BoxKeys keys) : QObject(box), m_keys(keys)
{
    box->installEventFilter(this);
    // A paste (or anything else that is no key press) that brings in characters the
    // box does not take loses them; the box's owners hear of the text that stays.
    connect(box, &QLineEdit::textEdited, this, [this, box](const QString &text) {
        if (accepts(m_keys, text))
            return;
        QString kept;
        for (QChar c : text)
            if (takes(m_keys, c))
                kept += c;
        box->setText(kept);
        Beep();
        emit box->textEdited(kept);
    });
}

bool BoxKeyFilter::accepts(BoxKeys keys, const QString &text)
{
    for (QChar c : text)
        if (!takes(keys, c))
            return false;
    return true;
}

bool BoxKeyFilter::acceptsKey(BoxKeys keys, const QKeyEvent &event)
{
    const QString text = event.text();
    // Control keys (arrows, Backspace, Delete, Tab, shortcuts) carry no printable text.
    if (text.isEmpty() || event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    for (QChar c : text)
        if (c.category() != QChar::Other_Control && !takes(keys, c))
            return false;
    return true;
}

bool BoxKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !acceptsKey(m_keys, *static_cast<QKeyEvent *>(event))) {
        Beep();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

RowEntry::RowEntry(QTableView *view) : QObject(view), m_view(view), m_viewport(view->viewport())
{
    QAbstractItemModel *m = view->model();
    Q_ASSERT(m);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { follow(); });
    connect(m, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                // A cell changed from elsewhere (a read, an open) ends its edit.
                if (!m_writing)
                    for (Before &before : m_before)
                        if (before.row >= topLeft.row() && before.row <= bottomRight.row())
                            before = {};
                const int row = currentRow();
                if (row >= topLeft.row() && row <= bottomRight.row())
                    refreshTexts();
            });
    connect(m, &QAbstractItemModel::modelReset, this, [this] {
        for (Before &before : m_before)
            before = {};
        follow();
    });
    connect(view, &QAbstractItemView::clicked, this, &RowEntry::clicked);
    connect(m, &QAbstractItemModel::layoutChanged, this, [this] { place(); });
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { place(); });
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { place(); });
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { place(); });
    connect(view->verticalHeader(), &QHeaderView::sectionResized, this, [this] { place(); });
    m_viewport->installEventFilter(this);
}

QAbstractItemModel *RowEntry::model() const { return m_view->model(); }

QLineEdit *RowEntry::addBox(const QString &objectName, int column, BoxKeys keys, int maxLength)
{
    auto *edit = new QLineEdit(m_view->viewport());
    edit->setObjectName(objectName);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    if (keys != BoxKeys::Any)
        new BoxKeyFilter(edit, keys);
    edit->installEventFilter(this);
    m_boxes.push_back({edit, column, keys});
    m_before.emplace_back();
    const Box box = m_boxes.back();
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString &text) { edited(box, text); });
    follow();
    return edit;
}

int RowEntry::currentRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void RowEntry::setCurrentRow(int row)
{
    if (row < 0 || row >= model()->rowCount())
        return;
    const int column = m_boxes.empty() ? 0 : m_boxes.front().column;
    const QModelIndex index = model()->index(row, column);
    m_view->setCurrentIndex(index);
    m_view->scrollTo(index);
    follow();
}

void RowEntry::follow()
{
    // Another row: the edits of the one left are over.
    const int row = currentRow();
    for (Before &before : m_before)
        if (before.row != row)
            before = {};
    refreshTexts();
    place();
}

void RowEntry::refreshTexts()
{
    const int row = currentRow();
    for (const Box &box : m_boxes) {
        if (!box.edit)
            continue;
        const QString text = row < 0 ? QString() : model()->index(row, box.column).data(Qt::EditRole).toString();
        if (box.edit->text() != text)
            box.edit->setText(text);
    }
}

void RowEntry::place()
{
    const int row = currentRow();
    for (const Box &box : m_boxes) {
        if (!box.edit)
            continue;
        const QRect cell = row < 0 ? QRect() : m_view->visualRect(model()->index(row, box.column));
        box.edit->setVisible(cell.isValid() && cell.height() > 0);
        if (cell.isValid())
            box.edit->setGeometry(cell);
        box.edit->raise();
    }
}

void RowEntry::edited(const Box &box, const QString &text)
{
    if (!BoxKeyFilter::accepts(box.keys, text))
        return;  // the key filter passes on what stays of it
    if (accept && !accept(box.column, text)) {
        // Back to the cell's text, the last one taken.
        const int cursor = box.edit->cursorPosition();
        const int row = currentRow();
        box.edit->setText(row < 0 ? QString() : model()->index(row, box.column).data(Qt::EditRole).toString());
        box.edit->setCursorPosition(qMax(0, cursor - 1));
        if (refused)
            refused(box.column, text);
        return;
    }
    int row = currentRow();
    if (row < m_firstRow) {
        // The selection leaves the hidden rows first; the text goes into the row it lands on.
        const int cursor = box.edit->cursorPosition();
        setCurrentRow(m_firstRow);
        row = m_firstRow;
        box.edit->setText(text);
        box.edit->setCursorPosition(cursor);
    }
    const QModelIndex cell = model()->index(row, box.column);
    if (Before *before = beforeOf(box.edit); before && before->row != row)
        *before = {row, cell.data(Qt::EditRole).toString()};
    m_writing = true;
    const bool written = model()->setData(cell, text, Qt::EditRole);
    m_writing = false;
    if (written)
        emit typed(row, box.column);
}

RowEntry::Before *RowEntry::beforeOf(QObject *edit)
{
    for (size_t i = 0; i < m_boxes.size(); ++i)
        if (m_boxes[i].edit == edit)
            return &m_before[i];
    return nullptr;
}

bool RowEntry::cancelEdit(QObject *edit)
{
    Before *before = beforeOf(edit);
    if (!before || before->row < 0 || before->row != currentRow())
        return false;
    const Before restore = *before;
    *before = {};
    for (const Box &box : m_boxes) {
        if (box.edit != edit)
            continue;
        model()->setData(model()->index(restore.row, box.column), restore.text, Qt::EditRole);
        box.edit->setText(restore.text);
        box.edit->selectAll();
    }
    return true;
}

void RowEntry::clicked(const QModelIndex &index)
{
    if (!index.isValid() || index.row() < m_firstRow || m_boxes.empty())
        return;
    if (index.row() != currentRow())
        setCurrentRow(index.row());
    // The box over the clicked cell, or the first one for the caption column.
    QLineEdit *target = m_boxes.front().edit;
    for (const Box &box : m_boxes)
        if (box.column == index.column())
            target = box.edit;
    if (!target)
        return;
    target->setFocus(Qt::MouseFocusReason);
    target->selectAll();  // typing replaces the cell's text, as in the parameter grid
}

void RowEntry::move(int step)
{
    int row = currentRow();
    do {
        row += step;
    } while (row >= m_firstRow && row < model()->rowCount() && m_view->isRowHidden(row));
    if (row < m_firstRow || row >= model()->rowCount()) {
        Beep();
        return;
    }
    setCurrentRow(row);
}

bool RowEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport) {
        // Resized or shown only while the view stands whole.
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            place();
        return QObject::eventFilter(watched, event);
    }
    // A click into a box that did not have the keys selects its text, as Tab does: the
    // digits typed next replace the value instead of landing before or after it. The
    // box gets the keys as the button goes down, before it sees the press.
    if (event->type() == QEvent::FocusIn && beforeOf(watched)
        && static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason
        && (QApplication::mouseButtons() & Qt::LeftButton))
        watched->setProperty(SelectOnPress, true);
    if (event->type() == QEvent::MouseButtonPress && watched->property(SelectOnPress).toBool()) {
        watched->setProperty(SelectOnPress, false);
        static_cast<QLineEdit *>(watched)->selectAll();
        return true;
    }
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        if (Before *before = beforeOf(watched))
            *before = {};  // the edit is over when the box is left
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            if (cancelEdit(watched))
                return true;
            break;
        case Qt::Key_Up:
            move(-1);
            return true;
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            move(1);
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vx::gui
