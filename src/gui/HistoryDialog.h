#pragma once
// "Service history…": the records of the history file, newest first, one row each,
// with a filter by indicator (model or identification text). Damaged lines are named
// above the list; a history that cannot be read says why and lists nothing.

#include "service/History.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vx {
class TextService;
}

namespace vx::gui {

class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { Time, Indicator, Operation, What, Result, Note, Details, ColumnCount };

    // path: the history file (by default the one in the per-user data folder).
    HistoryDialog(const TextService &texts, QWidget *parent = nullptr, const QString &path = {});

    // Reads the file again and shows it.
    void reload();
    QTableWidget *table() const { return m_table; }
    QLineEdit *filter() const { return m_filter; }
    QLabel *warning() const { return m_warning; }

private:
    void fill();

    const TextService &m_texts;
    QString m_path;
    HistoryReading m_reading;
    QLineEdit *m_filter = nullptr;
    QLabel *m_warning = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_close = nullptr;
};

}  // namespace vx::gui
