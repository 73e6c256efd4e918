#pragma once
// The verification test in the window: a dialog of the Settings and Help menu that
// gathers the class, the parts and loads, the stage (as found, as left) and the
// record's facts, runs the core's verification job on the connected indicator (each
// step's load confirmed in a message box), shows each step's result in a table and
// writes the test record (both stages when both were run) and the history record.

#include "verify/VerificationRecord.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vx::gui {

class PageHost;

class VerificationDialog : public QDialog {
    Q_OBJECT
public:
    enum Stage { Single = 0, AsFound = 1, AsLeft = 2 };

    explicit VerificationDialog(PageHost &host, QWidget *parent = nullptr);

    // Runs the test as the inputs say; false when it could not start (a message says why).
    bool runTest();
    const std::optional<VerificationResult> &lastResult() const { return m_last; }
    // The save dialog of the record: the name it proposes; empty when cancelled. Tests
    // put their own here.
    std::function<QString(const QString &suggested)> chooseFile;
    // The record file written last, empty when none.
    QString recordPath() const { return m_recordPath; }
    void applyLanguage();

private:
    std::optional<VerificationRequest> gatherRequest();
    void showResult(const VerificationResult &result);
    void writeRecord(Stage stage, const VerificationResult &result);

    PageHost &m_host;
    QComboBox *m_class, *m_stage;
    QCheckBox *m_inService, *m_changeover;
    QLineEdit *m_loads, *m_repeatability, *m_eccentricity, *m_timeout;
    QLineEdit *m_customer, *m_site, *m_technician, *m_weights, *m_note;
    QPushButton *m_start;
    QTableWidget *m_table;
    QLabel *m_verdict;
    std::vector<QLabel *> m_labels;
    std::optional<VerificationResult> m_last, m_asFound, m_asLeft;
    QString m_recordPath;
};

}  // namespace vx::gui
