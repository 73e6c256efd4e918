#pragma once
// The entry boxes of a memory grid: line edits that stand over the cells of the
// selected row (the grid itself is not typed into). Every change of a box goes at
// once into its cell of the model; Up moves to the previous row, Down and Enter to
// the next, with a beep at the ends; the boxes follow the selection and the grid
// scrolls so that they stay over it. A click on a row puts the typing into the box
// over the clicked cell; Escape puts back what the cell held before its box was
// typed into. Also the key filter of the memory boxes:
// digits only, or digits and the decimal comma.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

class QAbstractItemModel;
class QKeyEvent;
class QModelIndex;
class QLineEdit;
class QTableView;
class QWidget;

namespace vx::gui {

// Which keys a memory box takes, control keys always.
enum class BoxKeys { Any, Digits, DigitsAndComma };

// Drops the keys a box does not take, with a beep, and undoes a paste that brings
// such characters in.
class BoxKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs itself on `box`.
    BoxKeyFilter(QLineEdit *box, BoxKeys keys);
    static bool accepts(BoxKeys keys, const QString &text);
    static bool acceptsKey(BoxKeys keys, const QKeyEvent &event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    BoxKeys m_keys;
};

// The beep of a refused key or of a move past the ends; counted for the tests.
void Beep();
int BeepCount();

class RowEntry : public QObject {
    Q_OBJECT
public:
    explicit RowEntry(QTableView *view);

    // A box over `column` of the selected row.
    QLineEdit *addBox(const QString &objectName, int column, BoxKeys keys, int maxLength);
    // Rows above this one are not edited through the boxes (they are hidden): a box
    // typed into while one of them is selected first moves the selection here, and
    // Up stops here.
    void setFirstRow(int row) { m_firstRow = row; }
    int firstRow() const { return m_firstRow; }
    // A check of a typed text beyond the keys: a text it refuses is undone, then
    // `refused` is told (to say why).
    std::function<bool(int column, const QString &text)> accept;
    std::function<void(int column, const QString &text)> refused;

    int currentRow() const;
    void setCurrentRow(int row);
    // The boxes to the selected row: its texts, over its cells.
    void follow();

signals:
    // A typed text went into a cell of the model (not a change the program made).
    void typed(int row, int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Box {
        QPointer<QLineEdit> edit;
        int column;
        BoxKeys keys;
    };
    void edited(const Box &box, const QString &text);
    // A click on a grid row: the box over the clicked column (or the first) takes the keys.
    void clicked(const QModelIndex &index);
    // Escape in a box: its cell back to the text it had before the box was typed into.
    bool cancelEdit(QObject *edit);
    // What the cells being edited held before the first change (per box, the row it was
    // taken in, -1 when the box has no edit open).
    struct Before {
        int row = -1;
        QString text;
    };
    Before *beforeOf(QObject *edit);
    void move(int step);
    void place();
    void refreshTexts();
    QAbstractItemModel *model() const;

    QTableView *m_view;
    // The view's viewport, kept from the start: its events still come while the view
    // is being destroyed, when the view must not be asked for anything any more.
    QPointer<QWidget> m_viewport;
    std::vector<Box> m_boxes;
    std::vector<Before> m_before;  // one per box
    bool m_writing = false;        // a box's text going into its cell
    int m_firstRow = 0;
};

}  // namespace vx::gui
