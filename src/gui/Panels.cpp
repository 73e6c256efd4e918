#include "gui/Panels.h"

#include "gui/Captions.h"
#include "gui/PanelHost.h"
#include "gui/Widgets.h"
#include "link/Codec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

QComboBox *makeCombo(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *combo = Named<QComboBox>(name, parent);
    combo->addItems(items);
    return combo;
}

// A check box of a batch panel: its index and caption.
struct BatchCheck {
    int index;
    int line;
    const char *design;
};

BatchPanel buildBatchPanel(QWidget *parent, Captions &captions, const char *panelName, int panelLine,
                           const char *panelDesign, QSize size, const QString &checkName,
                           std::initializer_list<BatchCheck> checkCaptions, const QString &stepName,
                           const QString &progressName, const QString &buttonName, int startLine,
                           const char *startDesign, int cancelLine)
{
    BatchPanel b;
    b.panel = new Panel(QString::fromLatin1(panelName), QString(), parent);
    MakeFloating(b.panel, size);
    captions.add(panelLine, b.panel, panelDesign);
    QWidget *body = b.panel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(14, 10, 14, 10);
    b.checks.resize(checkCaptions.size());
    for (std::size_t i = 0; i < b.checks.size(); ++i) {
        b.checks[i] = Named<QCheckBox>(QStringLiteral("%1_%2").arg(checkName).arg(i), body);
        layout->addWidget(b.checks[i]);
    }
    for (const BatchCheck &c : checkCaptions)
        captions.add(c.line, b.checks[c.index], c.design);
    layout->addStretch(1);
    b.step = Named<QLabel>(stepName, body);
    layout->addWidget(b.step);
    b.progress = Named<QProgressBar>(progressName, body);
    b.progress->setRange(0, 10);
    b.progress->setValue(0);
    b.progress->setTextVisible(false);
    layout->addWidget(b.progress);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    b.start = Named<QPushButton>(buttonName + QStringLiteral("_0"), body);
    b.cancel = Named<QPushButton>(buttonName + QStringLiteral("_1"), body);
    row->addWidget(b.start);
    row->addWidget(b.cancel);
    layout->addLayout(row);
    captions.add(startLine, b.start, startDesign);
    captions.add(cancelLine, b.cancel, "İPTAL");
    return b;
}

}  // namespace

ConnectionPanel BuildConnectionPanel(QWidget *parent, Captions &captions)
{
    ConnectionPanel c;
    c.panel = new Panel(QStringLiteral("SSPanel1"), QStringLiteral(" Bağlantı Ayarları"), parent);
    MakeFloating(c.panel, QSize(330, 318));
    QWidget *body = c.panel->body();

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    c.combo6 = makeCombo(QStringLiteral("Combo6"), {}, body);
    c.text4[0] = Named<QLineEdit>(QStringLiteral("Text4_0"), body);
    c.text4[0]->setReadOnly(true);
    c.text4[0]->setFixedWidth(44);
    c.text4[0]->setToolTip(QStringLiteral("Port"));
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(c.combo6, 1);
    portRow->addWidget(c.text4[0]);

    c.text4[1] = Named<QLineEdit>(QStringLiteral("Text4_1"), body, QStringLiteral("9600,N,8,1"));
    c.text4[1]->setReadOnly(true);

    c.combo7 = makeCombo(QStringLiteral("Combo7"),
                         {QStringLiteral("57600"), QStringLiteral("38400"), QStringLiteral("19200"), QStringLiteral("9600")},
                         body);
    c.combo9 = makeCombo(QStringLiteral("Combo9"), {QStringLiteral("ODD"), QStringLiteral("EVEN"), QStringLiteral("NONE")}, body);
    c.combo9->setCurrentText(QStringLiteral("NONE"));
    c.combo8 = makeCombo(QStringLiteral("Combo8"), {QStringLiteral("7"), QStringLiteral("8")}, body);
    c.combo8->setCurrentText(QStringLiteral("8"));
    c.combo3 = makeCombo(QStringLiteral("Combo3"), {QStringLiteral("Yok"), QStringLiteral("Var")}, body);
    QStringList addresses{QString()};
    for (int i = 0; i <= 9; ++i)
        addresses << PadLeftZeros(i, 2);
    c.combo2 = makeCombo(QStringLiteral("Combo2"), addresses, body);
    c.combo2->setMaxVisibleItems(12);

    // Label name, design caption, control; rows top to bottom.
    struct Row {
        const char *label;
        const char *design;
        QWidget *control;
        QHBoxLayout *layout;
    };
    const Row rows[] = {
        {"Label2_0", "Com Port", nullptr, portRow},  {"Label2_1", "Setting", c.text4[1], nullptr},
        {"Label2_3", "Baud", c.combo7, nullptr},     {"Label2_5", "Eşlik", c.combo9, nullptr},
        {"Label2_4", "Veri Bitleri", c.combo8, nullptr}, {"Label13", "Check Sum", c.combo3, nullptr},
        {"Label2_2", "Cihaz Adresi", c.combo2, nullptr},
    };
    QLabel *labels[std::size(rows)];
    int row = 0;
    for (const Row &r : rows) {
        labels[row] = Named<QLabel>(QString::fromLatin1(r.label), body, QString::fromUtf8(r.design));
        grid->addWidget(labels[row], row, 0);
        if (r.layout)
            grid->addLayout(r.layout, row, 1);
        else
            grid->addWidget(r.control, row, 1);
        ++row;
    }
    c.frameEnd = Named<QCheckBox>(QStringLiteral("CheckFrameEnd"), body);
    grid->addWidget(c.frameEnd, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    c.ok = Named<QPushButton>(QStringLiteral("SSCommand1"), body, QStringLiteral("TAMAM"));
    c.ok->setDefault(true);
    c.cancel = Named<QPushButton>(QStringLiteral("SSCommand7"), body, QStringLiteral("İPTAL"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(c.ok);
    buttons->addWidget(c.cancel);

    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    captions.add(41, c.cancel, "İPTAL");
    captions.add(42, c.panel, " Bağlantı Ayarları");
    captions.add(43, labels[0], "Com Port");
    captions.add(44, labels[1], "Setting");
    captions.add(45, labels[6], "Cihaz Adresi");
    captions.add(46, c.ok, "TAMAM");
    captions.add(307, labels[1], "Setting");  // after line 44: this one stands
    captions.add(308, labels[5], "Check Sum");
    captions.add(321, labels[4], "Veri Bitleri");
    captions.add(322, labels[3], "Eşlik");
    return c;
}

BatchPanel BuildReadAllPanel(QWidget *parent, Captions &captions)
{
    return buildBatchPanel(parent, captions, "SSPanel2", 20, " İndikatörü Oku", QSize(300, 320), QStringLiteral("SSCheck1"),
                           {{0, 21, "Başlık ve Dip Not"},
                            {1, 22, "ID ve ID Hafıza"},
                            {2, 23, "Setpoint Hafıza"},
                            {4, 24, "Statu Bilgileri"},
                            {5, 25, "Alibi"},
                            {3, 26, "Parametreler"},
                            {6, 27, "P.Dara Hafıza"}},
                           QStringLiteral("Label5"), QStringLiteral("ProgressBar1"), QStringLiteral("SSCommand2"), 28,
                           "OKU", 29);
}

BatchPanel BuildSendAllPanel(QWidget *parent, Captions &captions)
{
    return buildBatchPanel(parent, captions, "SSPanel3", 30, " İndikatöre Yolla", QSize(300, 370), QStringLiteral("SSCheck2"),
                           {{0, 31, "Başlık ve Dip Not"},
                            {1, 32, "ID ve ID Hafıza"},
                            {2, 33, "P.Dara Hafıza"},
                            {3, 34, "Setpoint Hafıza"},
                            {4, 35, "Alibi"},
                            {8, 36, "Tarih - Saat"},
                            {5, 37, "Calibration P."},
                            {6, 38, "Configuration P.(Jmp)"},
                            {7, 39, "Configuration P.(Nrm)"}},
                           QStringLiteral("Label6"), QStringLiteral("ProgressBar2"), QStringLiteral("SSCommand4"), 40,
                           "YOLLA", 41);
}

LanguagePanel BuildLanguagePanel(QWidget *parent, Captions &captions)
{
    LanguagePanel l;
    l.panel = new Panel(QStringLiteral("SSPanel7"), QString(), parent);
    MakeFloating(l.panel, QSize(300, 176));
    QWidget *body = l.panel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(14, 10, 14, 10);
    auto *options = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        l.option2[i] = Named<QRadioButton>(QStringLiteral("Option2_%1").arg(i), body);
        options->addWidget(l.option2[i]);
    }
    options->addStretch(1);
    layout->addLayout(options);
    l.files = Named<QComboBox>(QStringLiteral("Combo5"), body);
    layout->addWidget(l.files);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    l.ok = Named<QPushButton>(QStringLiteral("SSCommand9"), body);
    l.ok->setDefault(true);
    l.cancel = Named<QPushButton>(QStringLiteral("SSCommand8"), body);
    buttons->addWidget(l.ok);
    buttons->addWidget(l.cancel);
    layout->addLayout(buttons);

    captions.add(15, l.panel, " Dil Ayarları");
    captions.add(16, l.option2[0], "Türkçe");
    captions.add(17, l.option2[1], "İngilizce");
    captions.add(18, l.ok, "TAMAM");
    captions.add(19, l.cancel, "İPTAL");
    return l;
}

Panel *BuildWaitPanel(QWidget *parent)
{
    auto *wait = new Panel(QStringLiteral("SSPanel10"), QStringLiteral("PLEASE WAIT"), parent);
    MakeFloating(wait, QSize(240, 64));
    auto *layout = new QVBoxLayout(wait->body());
    layout->setContentsMargins(12, 8, 12, 8);
    auto *busy = Named<QProgressBar>(QStringLiteral("WaitBar"), wait->body());
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedHeight(12);
    layout->addWidget(busy);
    return wait;
}

EntryPanels BuildEntryPanels(QWidget *parent, Captions &captions)
{
    EntryPanels e;
    e.entry = new Panel(QStringLiteral("SSPanel8"), QString(), parent);
    MakeFloating(e.entry, QSize(300, 190));
    auto *el = new QVBoxLayout(e.entry->body());
    el->setContentsMargins(12, 8, 12, 8);
    auto *top = new QHBoxLayout;
    e.label18 = Named<QLabel>(QStringLiteral("Label18"), e.entry->body());
    e.label18->setWordWrap(true);
    top->addWidget(e.label18, 1);
    e.label17 = Named<QLabel>(QStringLiteral("Label17"), e.entry->body(), QStringLiteral("✕"));
    e.label17->setCursor(Qt::PointingHandCursor);
    top->addWidget(e.label17, 0, Qt::AlignTop);
    el->addLayout(top);
    e.text10 = Named<QLineEdit>(QStringLiteral("Text10"), e.entry->body());
    el->addWidget(e.text10);
    el->addStretch(1);
    auto *eb = new QHBoxLayout;
    eb->addStretch(1);
    for (int i = 0; i < 2; ++i) {
        e.ssCommand11[i] = Named<QPushButton>(QStringLiteral("SSCommand11_%1").arg(i), e.entry->body());
        eb->addWidget(e.ssCommand11[i]);
    }
    el->addLayout(eb);
    captions.add(18, e.ssCommand11[0], "TAMAM");
    captions.add(29, e.ssCommand11[1], "İPTAL");
    captions.add(365, e.label18, "");

    return e;
}

WaitPanel::WaitPanel(QWidget *parent) : m_panel(BuildWaitPanel(parent)) {}

void WaitPanel::show(PanelHost &host)
{
    host.putInFront(m_panel);
    m_panel->repaint();
}

void WaitPanel::hide() { m_panel->hide(); }

}  // namespace vx::gui
