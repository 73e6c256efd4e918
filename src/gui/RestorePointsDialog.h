#pragma once
// File → "Restore points…": the restore points of the connected indicator, newest
// first (time, file name), with a send of the one chosen and a compare of it with
// the indicator. The frame decides what a send and a compare do.

#include "files/RestorePoint.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vx {
class TextService;
}

namespace vx::gui {

class RestorePointsDialog : public QDialog {
    Q_OBJECT
public:
    RestorePointsDialog(const TextService &texts, const IdentificationTexts &indicator,
                        std::vector<RestorePointEntry> entries, const QString &folder, QWidget *parent = nullptr);

    // The restore point chosen, to be sent (the dialog closes first).
    std::function<void(const QString &path)> sendRestorePoint;
    // The restore point chosen, compared with the indicator; without it the button is off.
    std::function<void(const QString &path)> compareWithIndicator;

    const std::vector<RestorePointEntry> &entries() const { return m_entries; }
    QString chosenPath() const;
    void choose(int row);
    void sendChosen();
    void compareChosen();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateButtons();

    std::vector<RestorePointEntry> m_entries;
    QTreeWidget *m_list = nullptr;
    QLabel *m_none = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_compare = nullptr;
};

}  // namespace vx::gui
