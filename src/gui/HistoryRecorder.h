#pragma once
// The window's part in the service history: the operator's note field (the send
// panel, the calibration tab) and the record appended after a send, a calibration
// or an analog trim. A record that cannot be written is said in a message box; the
// operation itself has ended as the window already showed.

#include "service/HistoryRecords.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace vx {
class Operator;
class TextService;
class WorkingSet;
struct AppState;
}  // namespace vx

namespace vx::gui {

// "Note:" and its line; `name` names the line ("SendNote", "CalibrationNote", ...).
class NoteField : public QWidget {
    Q_OBJECT
public:
    NoteField(const QString &name, QWidget *parent);
    void applyLanguage(const TextService &texts);
    QString note() const;  // trimmed; empty when none was typed
    QLineEdit *edit() const { return m_edit; }

private:
    QLabel *m_label;
    QLineEdit *m_edit;
};

// The indicator as the window knows it: the model and the working set's provenance
// (the connected indicator's texts once known, else those its data came from).
IndicatorIdentity WindowIdentity(const AppState &state, WorkingSet &set);
// A record a job could not write: the message box that says so.
void SayHistoryNotWritten(Operator &op, const TextService &texts, const QString &why);

// Appends `record` with `note` (none when empty); a failure goes to the operator.
// True when the record was written.
bool AppendWindowHistory(Operator &op, const TextService &texts, HistoryRecord record, const QString &note);

}  // namespace vx::gui
