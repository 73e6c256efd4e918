#pragma once
// The compare dialog: the differences of the indicator and a file, or of two files,
// in a table (a check box, the row, the value of the indicator or file A, the value of
// file B), copied or saved as text, and, against the indicator, the ticked rows sent
// on their own (files/SelectiveSend.h) through the line lease with the usual progress
// and messages, after which the indicator is read and compared again.

#include "files/Compare.h"
#include "files/SelectiveSend.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QPushButton;
class QTableWidget;

namespace vx {
class WorkingSet;
}

namespace vx::gui {

class NoteField;
class PanelHost;

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(PanelHost &host, QWidget *parent = nullptr);
    ~CompareDialog() override;

    // Reads every group the model has from the indicator (into memory) and compares
    // it with the file. False, after saying why, when the file cannot be opened, the
    // link is not up or the read did not come whole.
    bool compareWithIndicator(const QString &path);
    // Two files; false, after saying why, when one cannot be opened.
    bool compareFiles(const QString &pathA, const QString &pathB);

    QTableWidget *table() const { return m_table; }
    NoteField *note() const { return m_note; }
    QCheckBox *restorePointBox() const { return m_restorePoint; }
    const Differences &differences() const { return m_differences; }
    // The parts one side does not hold, after the differences in the table (never ticked).
    const std::vector<PartNotHeld> &notHeld() const { return m_notHeld; }
    // The compare limited to the parts ticked above the table ("CompareGroup_header",
    // "_id", "_setpoint", "_calibration", "_jmp", "_nrm"); all ticked at first.
    void limitTo(const PartChoice &chosen);
    // The ticked rows' units.
    Selection tickedSelection() const;
    // The table as text (a heading line, then a line a row), as Copy and Save give it.
    QString text() const;

    void copy();
    // The text into a file chosen with saveDialog (through the checked write).
    void saveAsText();
    // "Send ticked rows": after the question, the selective send; then the compare again.
    void sendTicked();

    // The save dialog's choice of a path (empty: cancelled); tests put their own here.
    std::function<QString(const QString &suggested)> saveDialog;
    // Asked before a send goes on the line (another indicator's file ...); nothing: yes.
    std::function<bool()> confirmSend;
    // Told after a send, with what it did (the service history hears of it here).
    std::function<void(const SelectiveSendResult &)> sent;

private:
    bool openFile(const QString &path, WorkingSet &set);
    void fill(const QString &columnA, const QString &columnB);
    void compareAgain();  // the sets held, compared again for the parts ticked
    PartChoice chosenParts() const;
    void updateButtons();

    PanelHost &m_host;
    NoteField *m_note = nullptr;         // the operator's note for the service history
    QCheckBox *m_restorePoint = nullptr; // a restore point before the send
    std::unique_ptr<WorkingSet> m_a;  // the indicator, or file A
    std::unique_ptr<WorkingSet> m_b;  // the file (B)
    QString m_path;                   // the file compared with the indicator
    bool m_againstIndicator = false;
    Differences m_differences;
    std::vector<PartNotHeld> m_notHeld;
    CompareScope m_scope = CompareScope::FileVsFile;
    CompareParts m_parts;
    std::vector<std::pair<QCheckBox *, QString>> m_partBoxes;
    QString m_columnA, m_columnB;
    QTableWidget *m_table = nullptr;
    QPushButton *m_copy = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_send = nullptr;
};

}  // namespace vx::gui
