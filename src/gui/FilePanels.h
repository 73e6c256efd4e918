#pragma once
// The read-all panel " İndikatörü Oku" (SSPanel2) and the send-all panel
// " İndikatöre Yolla" (SSPanel3): they lock the shell while they are shown, collect
// the ticked groups and run the batches of files/Batch.h on the window's link and
// working set, then close and unlock. The read-all panel also shows the progress of a
// page's own read, with its boxes and buttons hidden.

#include "gui/Panels.h"
#include "link/Features.h"
#include "link/Interfaces.h"

#include <functional>
#include <memory>

namespace vx {
struct SendAllChoice;
class WorkingSet;
}

namespace vx::gui {

class NoteField;
class PanelHost;

class BatchPanels {
public:
    BatchPanels(PanelHost &host, QWidget *parent, Captions &captions);

    Panel *readPanel() const { return m_readAll.panel; }
    Panel *sendPanel() const { return m_sendAll.panel; }
    NoteField *sendNote() const { return m_sendNote; }

    void openReadPanel();              // "İndikatörü &Oku"
    void SSCommand2_Click(int index);  // 0 "OKU", 1 "İPTAL"
    // "İndikatöre &Yükle": the collectors, the hardware word when connected, the panel.
    void openSendPanel();
    void SSCommand4_Click(int index);  // 0 "YOLLA", 1 "İPTAL"

    // The read-all panel as a plain progress display of a page's own read, and back.
    void showReadProgress(const QString &step);
    void hideReadProgress(const ModelFeatures &features);
    // Ticks boxes of the send panel (SSCheck2 indexes).
    void tickSendBoxes(const std::vector<int> &indexes);
    // The groups the model has shown, the others hidden.
    void showGroups(const ModelFeatures &features);
    // The bar a batch moves, and the step caption of the panel in front.
    QProgressBar *progressBar(ProgressId bar) const;
    void showStep(const QString &text);
    // A send-all has begun: Esc and F5 leave it alone.
    bool sendRunning() const;
    // Around a tab refresh: "OKU" off while it runs; after it, the read panel closed and reset.
    void refreshBegins();
    void refreshEnded();
    // Esc: both panels hidden, their start buttons back.
    void escape();

    // "Restore point before sending" (stored in the settings, on by default).
    QCheckBox *restorePointBox() const { return m_restorePoint; }
    // Whether the working set is a configuration file's (opened or saved): a file that
    // names no indicator is asked about before a send. Unset: always.
    std::function<bool()> fileInUse;

private:
    bool ticked(bool send, int box) const;
    void enableSendBoxes();
    // Before a send-all (the line held): the question about another indicator's file
    // and the restore point. False: nothing is to be sent.
    void closePanel(BatchPanel &panel);

    PanelHost &m_host;
    BatchPanel m_readAll;  // SSPanel2
    BatchPanel m_sendAll;  // SSPanel3
    NoteField *m_sendNote = nullptr;  // the operator's note for the service history
    QCheckBox *m_restorePoint = nullptr;
};

}  // namespace vx::gui
