#include "gui/IdPage.h"

#include "gui/Widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace vx::gui {
namespace {
constexpr int IdNumberWidth = 6;
constexpr int IdNameWidth = 16;
constexpr int IdHeaderWidth = 11;
}  // namespace

IdPage::IdPage(PageHost &host, QWidget *parent) : TabPage(Tab::IdMemory, host, parent)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    m_frame8 = Named<QGroupBox>(QStringLiteral("Frame8"), this);
    auto *cl = new QGridLayout(m_frame8);
    for (int k = 0; k < 2; ++k) {
        cl->addWidget(Named<QLabel>(QStringLiteral("LabelId_%1").arg(k), m_frame8, QStringLiteral("ID %1").arg(k + 1)), k, 0);
        for (int column = 0; column < 2; ++column) {
            QLineEdit *&box = m_text11[2 * k + column];
            box = Named<QLineEdit>(QStringLiteral("Text11_%1").arg(2 * k + column), m_frame8);
            box->setMaxLength(column == 0 ? IdNumberWidth : IdNameWidth);
            cl->addWidget(box, k, column + 1);
        }
    }
    cl->setColumnStretch(2, 1);
    m_captions.add(381, m_frame8, "Aktif ID Bilgileri");

    m_headerFrame = Named<QGroupBox>(QStringLiteral("FrameIdHeader"), this);
    auto *hl = new QGridLayout(m_headerFrame);
    m_text6 = Named<QLineEdit>(QStringLiteral("Text6"), m_headerFrame);
    m_text8 = Named<QLineEdit>(QStringLiteral("Text8"), m_headerFrame);
    QLineEdit *boxes[2] = {m_text6, m_text8};
    for (int i = 0; i < 2; ++i) {
        m_label21[i] = Named<QLabel>(QStringLiteral("Label21_%1").arg(i), m_headerFrame);
        boxes[i]->setMaxLength(IdHeaderWidth);
        hl->addWidget(m_label21[i], i, 0);
        hl->addWidget(boxes[i], i, 1);
    }
    m_captions.add(75, m_headerFrame, "ID Header");
    m_captions.add(76, m_label21[0], " ID Header 1");
    m_captions.add(77, m_label21[1], " ID Header 2");

    m_gridArea = MakeGridArea(0, this);
    layout->addWidget(m_frame8, 0, 0);
    layout->addWidget(m_headerFrame, 0, 1);
    layout->addWidget(m_gridArea, 1, 0, 1, 2);
    layout->setRowStretch(1, 1);
    // Editing and the transfers come with the ID memory work.
    m_frame8->setEnabled(false);
    m_headerFrame->setEnabled(false);
    m_captions.applyDesign();
}

void IdPage::applyLanguage(const TextService &texts) { m_captions.apply(texts); }

}  // namespace vx::gui
