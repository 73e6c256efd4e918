#pragma once
// The read-all panel " İndikatörü Oku" (SSPanel2) and the send-all panel
// " İndikatöre Yolla" (SSPanel3): they lock the shell while they are shown, collect
// the ticked groups and run the batches of files/Batch.h on the window's link and
// working set, then close and unlock.

namespace vx::gui {

class AnaForm;
struct BatchPanel;

class BatchPanels {
public:
    explicit BatchPanels(AnaForm &form);

    void openReadPanel();          // "İndikatörü &Oku"
    void SSCommand2_Click(int index);  // 0 "OKU", 1 "İPTAL"
    // "İndikatöre &Yükle": the collectors, the hardware word when connected, the panel.
    void openSendPanel();
    void SSCommand4_Click(int index);  // 0 "YOLLA", 1 "İPTAL"

private:
    bool ticked(bool send, int box) const;
    bool reopenPort();
    void closePanel(BatchPanel &panel);

    AnaForm &m_form;
};

}  // namespace vx::gui
