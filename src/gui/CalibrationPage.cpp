#include "gui/CalibrationPage.h"

#include "gui/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx::gui {

CalibrationPage::CalibrationPage(PageHost &host, QWidget *parent) : TabPage(Tab::Calibration, host, parent)
{
    buildProcedure();
    buildRange();
    buildAnalog();
    buildDisplay();

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(m_frame1, 0, 0);
    layout->addWidget(m_frame3, 0, 1);
    layout->addWidget(m_frame2, 1, 0, 1, 2);
    layout->addWidget(m_frame6, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);

    // The procedures come with the calibration work.
    for (QGroupBox *frame : {m_frame1, m_frame3, m_frame2, m_frame6})
        frame->setEnabled(false);
    m_captions.applyDesign();
}

void CalibrationPage::applyLanguage(const TextService &texts) { m_captions.apply(texts); }

void CalibrationPage::buildProcedure()
{
    m_frame1 = Named<QGroupBox>(QStringLiteral("Frame1"), this);
    auto *pl = new QVBoxLayout(m_frame1);
    const char *const names[3] = {"GENEL KALİBRASYON", "SIFIR KALİBRASYONU", "SPAN KALİBRASYONU"};
    for (int i = 0; i < 3; ++i) {
        m_option1[i] = Named<QRadioButton>(QStringLiteral("Option1_%1").arg(i), m_frame1);
        pl->addWidget(m_option1[i]);
        m_captions.add(60 + i, m_option1[i], names[i]);
    }
    m_ssCommand3 = Named<QPushButton>(QStringLiteral("SSCommand3"), m_frame1);
    m_ssCommand3->setMinimumHeight(28);
    pl->addWidget(m_ssCommand3);
    m_label3[8] = Named<QLabel>(QStringLiteral("Label3_8"), m_frame1);
    pl->addWidget(m_label3[8]);
    m_label4 = Named<QLabel>(QStringLiteral("Label4"), m_frame1);
    m_label4->setFrameShape(QFrame::StyledPanel);
    m_label4->setFrameShadow(QFrame::Sunken);
    m_label4->setAlignment(Qt::AlignCenter);
    m_label4->setMinimumHeight(24);
    pl->addWidget(m_label4);
    pl->addStretch(1);
    m_captions.add(51, m_frame1, "Kalibrasyon İşlemi");
    m_captions.add(59, m_label3[8], "Kalibrasyon Durumu");
    m_captions.add(63, m_label4, "BAŞLA");
    m_captions.add(63, m_ssCommand3, "BAŞLA");
}

void CalibrationPage::buildRange()
{
    m_frame3 = Named<QGroupBox>(QStringLiteral("Frame3"), this);
    auto *rl = new QGridLayout(m_frame3);
    rl->setVerticalSpacing(3);
    for (int i = 0; i < 10; ++i) {
        if (i != 8)
            m_label3[i] = Named<QLabel>(QStringLiteral("Label3_%1").arg(i), m_frame3);
    }
    for (int i = 0; i < 6; ++i)
        m_combo4[i] = Named<QComboBox>(QStringLiteral("Combo4_%1").arg(i), m_frame3);
    QFont bold = m_label3[6]->font();
    bold.setBold(true);
    m_label3[6]->setFont(bold);
    m_label3[7]->setFont(bold);

    // Rows: mode; "1. Aralık"; capacity, division; "2. Aralık"; capacity, division; metrology.
    rl->addWidget(m_label3[0], 0, 0);
    rl->addWidget(m_combo4[0], 0, 1);
    rl->addWidget(m_label3[6], 1, 0, 1, 2);
    rl->addWidget(m_label3[1], 2, 0);
    rl->addWidget(m_combo4[1], 2, 1);
    rl->addWidget(m_label3[2], 3, 0);
    rl->addWidget(m_combo4[2], 3, 1);
    rl->addWidget(m_label3[7], 4, 0, 1, 2);
    rl->addWidget(m_label3[4], 5, 0);
    rl->addWidget(m_combo4[3], 5, 1);
    rl->addWidget(m_label3[3], 6, 0);
    rl->addWidget(m_combo4[4], 6, 1);
    rl->addWidget(m_label3[5], 7, 0);
    rl->addWidget(m_combo4[5], 7, 1);
    rl->setColumnStretch(1, 1);
    // Kept only as a text (a confirmation question), never shown.
    m_label3[9]->hide();

    m_captions.add(52, m_frame3, "Tartım Aralığı");
    m_captions.add(54, m_label3[0], "Çalışma Şekli");
    m_captions.add(55, m_label3[5], "Metrolojik");
    m_captions.add(56, m_label3[6], "1. Aralık");
    m_captions.add(57, m_label3[9], "");
    m_captions.add(58, m_label3[7], "2. Aralık");
    m_captions.add(66, m_label3[1], "Kapasite");
    m_captions.add(66, m_label3[4], "Kapasite");
    m_captions.add(67, m_label3[2], "Taksimat");
    m_captions.add(67, m_label3[3], "Taksimat");
}

void CalibrationPage::buildAnalog()
{
    m_frame2 = Named<QGroupBox>(QStringLiteral("Frame2"), this);
    auto *al = new QGridLayout(m_frame2);
    m_frame5 = Named<QGroupBox>(QStringLiteral("Frame5"), m_frame2);
    auto *tl = new QVBoxLayout(m_frame5);
    m_option4[0] = Named<QRadioButton>(QStringLiteral("Option4_0"), m_frame5, QStringLiteral("4 - 20 mA"));
    m_option4[1] = Named<QRadioButton>(QStringLiteral("Option4_1"), m_frame5, QStringLiteral("0 - 10 VDC"));
    tl->addWidget(m_option4[0]);
    tl->addWidget(m_option4[1]);
    auto *point = new QWidget(m_frame2);
    auto *ptl = new QVBoxLayout(point);
    ptl->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        m_option6[i] = Named<QRadioButton>(QStringLiteral("Option6_%1").arg(i), point);
        ptl->addWidget(m_option6[i]);
    }
    m_option6[0]->setChecked(true);

    // The zero and full-scale step buttons lie in two panels at the same place.
    auto *steps = new QWidget(m_frame2);
    auto *stepsLayout = new QGridLayout(steps);
    stepsLayout->setContentsMargins(0, 0, 0, 0);
    auto fillSteps = [&](Panel *&panel, const char *panelName, std::array<QPushButton *, 4> &buttons,
                         const QString &buttonName, std::array<QLabel *, 2> &labels, const QString &labelName) {
        panel = new Panel(QString::fromLatin1(panelName), QString(), steps);
        auto *gl = new QGridLayout(panel->body());
        gl->setContentsMargins(6, 4, 6, 4);
        gl->setVerticalSpacing(2);
        for (int row = 0; row < 2; ++row) {
            labels[row] = Named<QLabel>(QStringLiteral("%1_%2").arg(labelName).arg(row), panel->body());
            gl->addWidget(labels[row], row, 0);
            for (int col = 0; col < 2; ++col) {
                QPushButton *&b = buttons[row * 2 + col];
                b = Named<QPushButton>(QStringLiteral("%1_%2").arg(buttonName).arg(row * 2 + col), panel->body(),
                                       col == 0 ? QStringLiteral("▲") : QStringLiteral("▼"));
                b->setFixedSize(34, 24);
                gl->addWidget(b, row, col + 1);
            }
        }
        stepsLayout->addWidget(panel, 0, 0);
    };
    fillSteps(m_ssPanel4, "SSPanel4", m_sıfır, QStringLiteral("Sıfır"), m_label1, QStringLiteral("Label1"));
    fillSteps(m_ssPanel5, "SSPanel5", m_fs, QStringLiteral("FS"), m_label8, QStringLiteral("Label8"));
    m_ssPanel5->hide();
    connect(m_option6[0], &QRadioButton::toggled, this, [this](bool zero) {
        m_ssPanel4->setVisible(zero);
        m_ssPanel5->setVisible(!zero);
    });

    m_ssCommand5 = Named<QPushButton>(QStringLiteral("SSCommand5"), m_frame2);
    m_ssCommand5->setMinimumHeight(28);
    m_label7 = Named<QLabel>(QStringLiteral("Label7"), m_frame2);
    m_label7->setAlignment(Qt::AlignCenter);
    al->addWidget(m_frame5, 0, 0, 2, 1);
    al->addWidget(point, 0, 1, 2, 1);
    al->addWidget(steps, 0, 2, 2, 1);
    al->addWidget(m_ssCommand5, 2, 0, 1, 2);
    al->addWidget(m_label7, 2, 2);
    al->setColumnStretch(2, 1);

    m_captions.add(53, m_frame2, "Analog Kalibrasyon İşlemi");
    m_captions.add(327, m_frame5, "Analog Çıkış Tipi");
    m_captions.add(47, m_label1[0], "Hızlı");
    m_captions.add(48, m_label1[1], "Yavaş");
    m_captions.add(49, m_label8[0], "Hızlı");
    m_captions.add(50, m_label8[1], "Yavaş");
    m_captions.add(63, m_ssCommand5, "BAŞLA");
    m_captions.add(63, m_label7, "BAŞLA");
    m_captions.add(64, m_ssPanel4, "SIFIR");
    m_captions.add(64, m_option6[0], "SIFIR");
    m_captions.add(65, m_ssPanel5, "TAM SKALA");
    m_captions.add(65, m_option6[1], "TAM SKALA");
}

void CalibrationPage::buildDisplay()
{
    m_frame6 = Named<QGroupBox>(QStringLiteral("Frame6"), this);
    auto *dl = new QHBoxLayout(m_frame6);
    m_ssCommand6 = Named<QPushButton>(QStringLiteral("SSCommand6"), m_frame6);
    dl->addWidget(m_ssCommand6);
    m_label9 = Named<QLabel>(QStringLiteral("Label9"), m_frame6, QStringLiteral(" - - - - "));
    m_label9->setFrameShape(QFrame::StyledPanel);
    m_label9->setFrameShadow(QFrame::Sunken);
    m_label9->setMinimumHeight(26);
    m_label9->setAlignment(Qt::AlignCenter);
    QFont big = m_label9->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.2);
    m_label9->setFont(big);
    dl->addWidget(m_label9, 1);
    m_captions.add(280, m_ssCommand6, "GÖSTERGE'Yİ OKU");
    m_captions.add(280, m_frame6, "GÖSTERGE'Yİ OKU");
}

}  // namespace vx::gui
