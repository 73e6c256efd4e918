#pragma once
// Tab 1 "ID Hafıza" (ZR2 only): the two current IDs, the two ID headers and the
// area of the ID grid (Grid1 index 0). The memory itself comes with the ID work.

#include "gui/Captions.h"
#include "gui/TabPage.h"

#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace vx::gui {

class IdPage : public TabPage {
    Q_OBJECT
public:
    IdPage(PageHost &host, QWidget *parent = nullptr);
    void applyLanguage(const TextService &texts) override;

private:
    Captions m_captions;
    QGroupBox *m_frame8 = nullptr;         // the current IDs
    std::array<QLineEdit *, 4> m_text11{};  // number and name of ID 1, then of ID 2
    QGroupBox *m_headerFrame = nullptr;    // "ID Header"
    QLabel *m_label21[2] = {};
    QLineEdit *m_text6 = nullptr;  // ID header 1
    QLineEdit *m_text8 = nullptr;  // ID header 2
    QFrame *m_gridArea = nullptr;  // Grid1 index 0
};

}  // namespace vx::gui
