// Building the window: the side panel with the status light, the seven tab pages
// and the floating panels. Captions set here are replaced by the language file.

#include "gui/AnaForm.h"

#include "gui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

QGroupBox *group(const QString &name, QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    box->setObjectName(name);
    return box;
}

QLabel *label(const QString &name, QWidget *parent, const QString &text = {})
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton *button(const QString &name, QWidget *parent, const QString &text = {})
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QRadioButton *radio(const QString &name, QWidget *parent, const QString &text = {})
{
    auto *r = new QRadioButton(text, parent);
    r->setObjectName(name);
    return r;
}

QCheckBox *check(const QString &name, QWidget *parent)
{
    auto *c = new QCheckBox(parent);
    c->setObjectName(name);
    return c;
}

QLineEdit *edit(const QString &name, QWidget *parent, int maxLength = 32767)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    return e;
}

QComboBox *combo(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    return c;
}

// The area a grid of a later tab goes into.
QFrame *gridArea(int index, QWidget *parent)
{
    auto *area = new QFrame(parent);
    area->setObjectName(QStringLiteral("GridArea_%1").arg(index));
    area->setFrameShape(QFrame::StyledPanel);
    area->setFrameShadow(QFrame::Sunken);
    area->setAutoFillBackground(true);
    QPalette pal = area->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    area->setPalette(pal);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    return area;
}

// Icons of the alignment toolbars: lines centred or flush left.
QIcon alignIcon(bool centred)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.6));
    const int widths[4] = {12, 8, 12, 6};
    for (int i = 0; i < 4; ++i) {
        const int y = 3 + i * 3;
        const int x = centred ? (16 - widths[i]) / 2 : 2;
        p.drawLine(x, y, x + widths[i], y);
    }
    return QIcon(pm);
}

QToolBar *alignToolbar(int index, QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("Toolbar2_%1").arg(index));
    bar->setIconSize(QSize(16, 16));
    for (int n = 1; n <= 2; ++n) {
        QAction *a = bar->addAction(alignIcon(n == 1), QString());
        a->setObjectName(QStringLiteral("Toolbar2_%1_%2").arg(index).arg(n));
        a->setCheckable(true);
        a->setChecked(n == 1);
    }
    return bar;
}

class TightTabStyle : public QProxyStyle {
public:
    explicit TightTabStyle(QObject *owner) : QProxyStyle(QApplication::style()->name()) { setParent(owner); }
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

void AnaForm::buildCentral()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    auto *layout = new QHBoxLayout(m_client);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    buildSidePanel(m_client);
    buildTabs(m_client);
    layout->addWidget(m_sidePanel);
    layout->addWidget(m_tabs, 1);

    buildConnectionPanel(m_client);
    buildReadAllPanel(m_client);
    buildSendAllPanel(m_client);
    buildLanguagePanel(m_client);
    buildWaitPanel(m_client);
    buildEntryPanel(m_client);
}

void AnaForm::buildSidePanel(QWidget *parent)
{
    m_sidePanel = new Panel(QStringLiteral("SSPanel11"), QString(), parent);
    m_sidePanel->setFixedWidth(84);
    QWidget *body = m_sidePanel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 10, 4, 10);
    layout->setSpacing(8);

    auto *brand = new QLabel(body);
    brand->setObjectName(QStringLiteral("ImageBrand"));
    brand->setPixmap(DrawNeutralMark(QSize(74, 20)));
    brand->setAlignment(Qt::AlignCenter);
    layout->addWidget(brand);

    // The three lights lie on top of each other; exactly one is shown.
    auto *lights = new QWidget(body);
    lights->setObjectName(QStringLiteral("Lights"));
    lights->setFixedSize(56, 56);
    const QColor colours[3] = {QColor(0xd3, 0x2f, 0x2f), QColor(0x2e, 0xb8, 0x3c), QColor(0xf9, 0xc0, 0x1a)};
    for (int i = 0; i < 3; ++i) {
        m_lamps[i] = new Lamp(QStringLiteral("Image2_%1").arg(i), colours[i], lights);
        m_lamps[i]->move(0, 0);
    }
    connect(m_lamps[0], &Lamp::clicked, this, [this] { ConnectAction(); });
    connect(m_lamps[1], &Lamp::clicked, this, [this] { DisconnectAction(); });
    layout->addWidget(lights, 0, Qt::AlignHCenter);

    m_modelLabel = new QLabel(body);
    m_modelLabel->setObjectName(QStringLiteral("LabelModel"));
    m_modelLabel->setAlignment(Qt::AlignCenter);
    m_modelLabel->setWordWrap(true);
    QFont f = m_modelLabel->font();
    f.setBold(true);
    m_modelLabel->setFont(f);
    layout->addWidget(m_modelLabel);

    m_progress3 = new QProgressBar(body);
    m_progress3->setObjectName(QStringLiteral("ProgressBar3"));
    m_progress3->setRange(0, 10);
    m_progress3->setTextVisible(false);
    m_progress3->setFixedHeight(12);
    m_progress3->hide();
    layout->addWidget(m_progress3);
    layout->addStretch(1);
}

void AnaForm::buildTabs(QWidget *parent)
{
    m_tabs = new QTabWidget(parent);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);
    // Seven captions (six shown) share the strip: less space around each caption and
    // a slightly smaller type keep them in one row in every shipped language.
    m_tabs->tabBar()->setStyle(new TightTabStyle(m_tabs->tabBar()));
    QFont tabFont = m_tabs->tabBar()->font();
    tabFont.setPointSizeF(tabFont.pointSizeF() * 0.9);
    m_tabs->tabBar()->setFont(tabFont);
    for (int i = 0; i < Tab::Count; ++i) {
        auto *page = new QWidget(m_tabs);
        page->setObjectName(QStringLiteral("SSTab1_%1").arg(i));
        m_tabs->addTab(page, QString());
    }
    buildHeaderTab(m_tabs->widget(Tab::Header));
    buildIdTab(m_tabs->widget(Tab::IdMemory));
    buildPresetTareTab(m_tabs->widget(Tab::PresetTare));
    buildSetpointTab(m_tabs->widget(Tab::Setpoint));
    buildParameterTab(m_tabs->widget(Tab::Parameters));
    buildCalibrationTab(m_tabs->widget(Tab::Calibration));
    buildStatusTab(m_tabs->widget(Tab::Status));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0)
            SSTab1_Click(index);
    });
}

// Header and footnote lines, printer kind, EPL text and the ticket code help.
void AnaForm::buildHeaderTab(QWidget *page)
{
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    auto *headers = group(QStringLiteral("Frame9_1"), page);
    auto *hl = new QVBoxLayout(headers);
    hl->setSpacing(3);
    hl->addWidget(alignToolbar(0, headers));
    for (int i = 0; i < 4; ++i)
        hl->addWidget(edit(QStringLiteral("Baslık_%1").arg(i), headers, 20));

    auto *footers = group(QStringLiteral("Frame9_2"), page);
    auto *fl = new QVBoxLayout(footers);
    fl->setSpacing(3);
    fl->addWidget(alignToolbar(1, footers));
    for (int i = 0; i < 2; ++i)
        fl->addWidget(edit(QStringLiteral("DipNot_%1").arg(i), footers, 20));

    auto *printer = group(QStringLiteral("Frame9_3"), page);
    auto *pl = new QHBoxLayout(printer);
    pl->addWidget(radio(QStringLiteral("Option3_0"), printer));
    pl->addWidget(radio(QStringLiteral("Option3_1"), printer));
    pl->addStretch(1);
    findChild<QRadioButton *>(QStringLiteral("Option3_0"))->setChecked(true);

    auto *epl = group(QStringLiteral("Frame9_4"), page);
    auto *el = new QGridLayout(epl);
    auto *eplText = new QPlainTextEdit(epl);
    eplText->setObjectName(QStringLiteral("EPL"));
    el->addWidget(eplText, 0, 0, 1, 3);
    el->addWidget(button(QStringLiteral("SSCommand10_0"), epl), 1, 1);
    el->addWidget(button(QStringLiteral("SSCommand10_1"), epl), 1, 2);
    el->setColumnStretch(0, 1);

    // Ticket code help beside the lines, opened and closed by Command2.
    auto *codes = new Panel(QStringLiteral("SSPanel6"), QString(), page);
    codes->setFixedWidth(150);
    auto *cl = new QVBoxLayout(codes->body());
    auto *letters = label(QStringLiteral("Label15"), codes->body(), QStringLiteral("[N] [G] [T] [D]\n[I] [C] [A]"));
    auto *digits = label(QStringLiteral("Label14"), codes->body(), QStringLiteral("[1] [2] [3]\n[4] [5] [6]"));
    for (QLabel *l : {letters, digits}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumHeight(44);
        cl->addWidget(l);
    }
    cl->addStretch(1);
    auto *toggle = button(QStringLiteral("Command2"), page, QStringLiteral(">>>"));
    toggle->setFixedWidth(44);
    connect(toggle, &QPushButton::clicked, this, [codes, toggle] {
        codes->setVisible(codes->isHidden());
        toggle->setText(codes->isHidden() ? QStringLiteral("<<<") : QStringLiteral(">>>"));
    });

    layout->addWidget(headers, 0, 0);
    layout->addWidget(footers, 1, 0);
    layout->addWidget(printer, 2, 0);
    layout->addWidget(epl, 3, 0);
    auto *side = new QVBoxLayout;
    side->addWidget(toggle, 0, Qt::AlignRight);
    side->addWidget(codes);
    side->addStretch(1);
    layout->addLayout(side, 0, 1, 4, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 1);

    // Reading, writing and editing the lines come with the ticket layout work.
    for (QWidget *w : {static_cast<QWidget *>(headers), static_cast<QWidget *>(footers),
                       static_cast<QWidget *>(printer), static_cast<QWidget *>(epl)})
        w->setEnabled(false);
}

void AnaForm::buildIdTab(QWidget *page)
{
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    auto *current = group(QStringLiteral("Frame8"), page);
    auto *cl = new QGridLayout(current);
    for (int k = 0; k < 2; ++k) {
        cl->addWidget(label(QStringLiteral("LabelId_%1").arg(k), current, QStringLiteral("ID %1").arg(k + 1)), k, 0);
        cl->addWidget(edit(QStringLiteral("Text11_%1").arg(2 * k), current, 6), k, 1);
        cl->addWidget(edit(QStringLiteral("Text11_%1").arg(2 * k + 1), current, 16), k, 2);
    }
    cl->setColumnStretch(2, 1);

    auto *headers = group(QStringLiteral("FrameIdHeader"), page);
    headers->setTitle(QStringLiteral("ID Header"));
    auto *hl = new QGridLayout(headers);
    hl->addWidget(label(QStringLiteral("Label21_0"), headers), 0, 0);
    hl->addWidget(edit(QStringLiteral("Text6"), headers, 11), 0, 1);
    hl->addWidget(label(QStringLiteral("Label21_1"), headers), 1, 0);
    hl->addWidget(edit(QStringLiteral("Text8"), headers, 11), 1, 1);

    layout->addWidget(current, 0, 0);
    layout->addWidget(headers, 0, 1);
    layout->addWidget(gridArea(0, page), 1, 0, 1, 2);
    layout->setRowStretch(1, 1);
    current->setEnabled(false);
    headers->setEnabled(false);
}

void AnaForm::buildPresetTareTab(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(gridArea(4, page));
}

void AnaForm::buildSetpointTab(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(gridArea(1, page));
}

void AnaForm::buildParameterTab(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(gridArea(2, page));
}

void AnaForm::buildStatusTab(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(gridArea(3, page));
}

// Weighing calibration, the weighing range, the analog output and the display read.
void AnaForm::buildCalibrationTab(QWidget *page)
{
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    // Procedure.
    auto *procedure = group(QStringLiteral("Frame1"), page);
    auto *pl = new QVBoxLayout(procedure);
    for (int i = 0; i < 3; ++i)
        pl->addWidget(radio(QStringLiteral("Option1_%1").arg(i), procedure));
    auto *start = button(QStringLiteral("SSCommand3"), procedure);
    start->setMinimumHeight(28);
    pl->addWidget(start);
    pl->addWidget(label(QStringLiteral("Label3_8"), procedure));
    auto *state = label(QStringLiteral("Label4"), procedure);
    state->setFrameShape(QFrame::StyledPanel);
    state->setFrameShadow(QFrame::Sunken);
    state->setAlignment(Qt::AlignCenter);
    state->setMinimumHeight(24);
    pl->addWidget(state);
    pl->addStretch(1);

    // Weighing range.
    auto *range = group(QStringLiteral("Frame3"), page);
    auto *rl = new QGridLayout(range);
    rl->setVerticalSpacing(3);
    rl->addWidget(label(QStringLiteral("Label3_0"), range), 0, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_0"), range), 0, 1);
    auto *first = label(QStringLiteral("Label3_6"), range);
    auto *second = label(QStringLiteral("Label3_7"), range);
    QFont bold = first->font();
    bold.setBold(true);
    first->setFont(bold);
    second->setFont(bold);
    rl->addWidget(first, 1, 0, 1, 2);
    rl->addWidget(label(QStringLiteral("Label3_1"), range), 2, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_1"), range), 2, 1);
    rl->addWidget(label(QStringLiteral("Label3_2"), range), 3, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_2"), range), 3, 1);
    rl->addWidget(second, 4, 0, 1, 2);
    rl->addWidget(label(QStringLiteral("Label3_4"), range), 5, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_3"), range), 5, 1);
    rl->addWidget(label(QStringLiteral("Label3_3"), range), 6, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_4"), range), 6, 1);
    rl->addWidget(label(QStringLiteral("Label3_5"), range), 7, 0);
    rl->addWidget(combo(QStringLiteral("Combo4_5"), range), 7, 1);
    rl->setColumnStretch(1, 1);
    // Kept only as a text (a confirmation question), never shown.
    label(QStringLiteral("Label3_9"), range)->hide();

    // Analog output.
    auto *analog = group(QStringLiteral("Frame2"), page);
    auto *al = new QGridLayout(analog);
    auto *type = group(QStringLiteral("Frame5"), analog);
    auto *tl = new QVBoxLayout(type);
    tl->addWidget(radio(QStringLiteral("Option4_0"), type, QStringLiteral("4 - 20 mA")));
    tl->addWidget(radio(QStringLiteral("Option4_1"), type, QStringLiteral("0 - 10 VDC")));
    auto *point = new QWidget(analog);
    auto *ptl = new QVBoxLayout(point);
    ptl->setContentsMargins(0, 0, 0, 0);
    ptl->addWidget(radio(QStringLiteral("Option6_0"), point));
    ptl->addWidget(radio(QStringLiteral("Option6_1"), point));
    findChild<QRadioButton *>(QStringLiteral("Option6_0"))->setChecked(true);

    // The zero and full-scale step buttons lie in two panels at the same place.
    auto *steps = new QWidget(analog);
    auto *stepsLayout = new QGridLayout(steps);
    stepsLayout->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char *panel;
        const char *buttons;
        const char *labels;
    } sets[2] = {{"SSPanel4", "Sıfır", "Label1"}, {"SSPanel5", "FS", "Label8"}};
    for (int s = 0; s < 2; ++s) {
        auto *panel = new Panel(QString::fromLatin1(sets[s].panel), QString(), steps);
        auto *gl = new QGridLayout(panel->body());
        gl->setContentsMargins(6, 4, 6, 4);
        gl->setVerticalSpacing(2);
        for (int row = 0; row < 2; ++row) {
            gl->addWidget(label(QStringLiteral("%1_%2").arg(QString::fromUtf8(sets[s].labels)).arg(row), panel->body()), row, 0);
            for (int col = 0; col < 2; ++col) {
                auto *b = button(QStringLiteral("%1_%2").arg(QString::fromUtf8(sets[s].buttons)).arg(row * 2 + col),
                                 panel->body(), col == 0 ? QStringLiteral("▲") : QStringLiteral("▼"));
                b->setFixedSize(34, 24);
                gl->addWidget(b, row, col + 1);
            }
        }
        stepsLayout->addWidget(panel, 0, 0);
        if (s == 1)
            panel->hide();
    }
    connect(findChild<QRadioButton *>(QStringLiteral("Option6_0")), &QRadioButton::toggled, this, [this](bool on) {
        control(QStringLiteral("SSPanel4"))->setVisible(on);
        control(QStringLiteral("SSPanel5"))->setVisible(!on);
    });
    auto *analogStart = button(QStringLiteral("SSCommand5"), analog);
    analogStart->setMinimumHeight(28);
    auto *analogState = label(QStringLiteral("Label7"), analog);
    analogState->setAlignment(Qt::AlignCenter);
    al->addWidget(type, 0, 0, 2, 1);
    al->addWidget(point, 0, 1, 2, 1);
    al->addWidget(steps, 0, 2, 2, 1);
    al->addWidget(analogStart, 2, 0, 1, 2);
    al->addWidget(analogState, 2, 2);
    al->setColumnStretch(2, 1);

    // Display read.
    auto *display = group(QStringLiteral("Frame6"), page);
    auto *dl = new QHBoxLayout(display);
    dl->addWidget(button(QStringLiteral("SSCommand6"), display));
    auto *values = label(QStringLiteral("Label9"), display, QStringLiteral(" - - - - "));
    values->setFrameShape(QFrame::StyledPanel);
    values->setFrameShadow(QFrame::Sunken);
    values->setMinimumHeight(26);
    values->setAlignment(Qt::AlignCenter);
    QFont mono = values->font();
    mono.setBold(true);
    mono.setPointSizeF(mono.pointSizeF() * 1.2);
    values->setFont(mono);
    dl->addWidget(values, 1);

    layout->addWidget(procedure, 0, 0);
    layout->addWidget(range, 0, 1);
    layout->addWidget(analog, 1, 0, 1, 2);
    layout->addWidget(display, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(3, 1);

    // The procedures come with the calibration work.
    for (QWidget *w : {static_cast<QWidget *>(procedure), static_cast<QWidget *>(range),
                       static_cast<QWidget *>(analog), static_cast<QWidget *>(display)})
        w->setEnabled(false);
}

// ---- floating panels ----

void AnaForm::buildReadAllPanel(QWidget *parent)
{
    m_readPanel = new Panel(QStringLiteral("SSPanel2"), QString(), parent);
    MakeFloating(m_readPanel, QSize(300, 320));
    m_progress1 = fillBatchPanel(m_readPanel, QStringLiteral("SSCheck1"), 6, QStringLiteral("Label5"),
                                 QStringLiteral("ProgressBar1"), QStringLiteral("SSCommand2"));
}

void AnaForm::buildSendAllPanel(QWidget *parent)
{
    m_sendPanel = new Panel(QStringLiteral("SSPanel3"), QString(), parent);
    MakeFloating(m_sendPanel, QSize(300, 370));
    m_progress2 = fillBatchPanel(m_sendPanel, QStringLiteral("SSCheck2"), 8, QStringLiteral("Label6"),
                                 QStringLiteral("ProgressBar2"), QStringLiteral("SSCommand4"));
}

// The read-all and send-all panels: group check boxes, the step caption, the
// progress bar and the start and cancel buttons (cancel asks the batch to stop).
QProgressBar *AnaForm::fillBatchPanel(Panel *panel, const QString &checks, int lastCheck, const QString &stepLabel,
                                      const QString &progressName, const QString &buttons)
{
    QWidget *body = panel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(14, 10, 14, 10);
    for (int i = 0; i <= lastCheck; ++i)
        layout->addWidget(check(QStringLiteral("%1_%2").arg(checks).arg(i), body));
    layout->addStretch(1);
    QLabel *step = label(stepLabel, body);
    layout->addWidget(step);
    auto *progress = new QProgressBar(body);
    progress->setObjectName(progressName);
    progress->setRange(0, 10);
    progress->setValue(0);
    progress->setTextVisible(false);
    layout->addWidget(progress);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(button(buttons + QStringLiteral("_0"), body));
    QPushButton *cancel = button(buttons + QStringLiteral("_1"), body);
    row->addWidget(cancel);
    layout->addLayout(row);
    connect(cancel, &QPushButton::clicked, this, [this, panel, progress, step] {
        m_link->AbortRequested = true;
        setShellEnabled(true);
        panel->hide();
        progress->setValue(0);
        step->clear();
        ışık(QStringLiteral("yeşil"));
    });
    return progress;
}

void AnaForm::buildLanguagePanel(QWidget *parent)
{
    m_langPanel = new Panel(QStringLiteral("SSPanel7"), QString(), parent);
    MakeFloating(m_langPanel, QSize(300, 176));
    QWidget *body = m_langPanel->body();
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(14, 10, 14, 10);
    auto *options = new QHBoxLayout;
    auto *turkish = radio(QStringLiteral("Option2_0"), body);
    auto *english = radio(QStringLiteral("Option2_1"), body);
    options->addWidget(turkish);
    options->addWidget(english);
    options->addStretch(1);
    layout->addLayout(options);
    auto *files = combo(QStringLiteral("Combo5"), body);
    layout->addWidget(files);
    layout->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = button(QStringLiteral("SSCommand9"), body);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(button(QStringLiteral("SSCommand8"), body));
    layout->addLayout(buttons);

    // The two options pick the shipped files; the file named in the list is what counts.
    connect(turkish, &QRadioButton::clicked, this, [files] {
        if (int i = files->findText(QStringLiteral("Türkçe.txt")); i >= 0)
            files->setCurrentIndex(i);
    });
    connect(english, &QRadioButton::clicked, this, [files] {
        if (int i = files->findText(QStringLiteral("English.txt")); i >= 0)
            files->setCurrentIndex(i);
    });
    connect(files, &QComboBox::currentTextChanged, this, [turkish, english](const QString &name) {
        turkish->setAutoExclusive(false);
        english->setAutoExclusive(false);
        turkish->setChecked(name == QStringLiteral("Türkçe.txt"));
        english->setChecked(name == QStringLiteral("English.txt"));
        turkish->setAutoExclusive(true);
        english->setAutoExclusive(true);
    });
    connect(ok, &QPushButton::clicked, this, [this] { SSCommand9_Click(); });
    connect(control<QPushButton>(QStringLiteral("SSCommand8")), &QPushButton::clicked, this, [this] { SSCommand8_Click(); });
}

void AnaForm::buildWaitPanel(QWidget *parent)
{
    m_waitPanel = new Panel(QStringLiteral("SSPanel10"), QStringLiteral("PLEASE WAIT"), parent);
    MakeFloating(m_waitPanel, QSize(240, 64));
    auto *layout = new QVBoxLayout(m_waitPanel->body());
    layout->setContentsMargins(12, 8, 12, 8);
    auto *busy = new QProgressBar(m_waitPanel->body());
    busy->setObjectName(QStringLiteral("WaitBar"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedHeight(12);
    layout->addWidget(busy);
}

void AnaForm::buildEntryPanel(QWidget *parent)
{
    // Numeric entry (test weight, parameter values).
    auto *entry = new Panel(QStringLiteral("SSPanel8"), QString(), parent);
    MakeFloating(entry, QSize(280, 150));
    auto *el = new QVBoxLayout(entry->body());
    el->setContentsMargins(12, 8, 12, 8);
    auto *prompt = label(QStringLiteral("Label18"), entry->body());
    prompt->setWordWrap(true);
    el->addWidget(prompt);
    el->addWidget(edit(QStringLiteral("Text10"), entry->body()));
    el->addStretch(1);
    auto *eb = new QHBoxLayout;
    eb->addStretch(1);
    eb->addWidget(button(QStringLiteral("SSCommand11_0"), entry->body()));
    eb->addWidget(button(QStringLiteral("SSCommand11_1"), entry->body()));
    el->addLayout(eb);

    // Date and time of the indicator's clock.
    auto *date = new Panel(QStringLiteral("SSPanel9"), QString(), parent);
    MakeFloating(date, QSize(300, 150));
    auto *dl = new QVBoxLayout(date->body());
    dl->setContentsMargins(12, 6, 12, 6);
    dl->addWidget(label(QStringLiteral("Label16"), date->body()));
    auto *fields = new QHBoxLayout;
    const char *const frames[2] = {"Frame10", "Frame12"};
    for (int f = 0; f < 2; ++f) {
        auto *box = group(QString::fromLatin1(frames[f]), date->body());
        auto *bl = new QHBoxLayout(box);
        for (int i = 0; i < 3; ++i) {
            auto *field = edit(QStringLiteral("Text13_%1").arg(f * 3 + i), box, 2);
            field->setFixedWidth(30);
            field->setAlignment(Qt::AlignCenter);
            bl->addWidget(field);
        }
        fields->addWidget(box);
    }
    dl->addLayout(fields);
    auto *db = new QHBoxLayout;
    db->addStretch(1);
    db->addWidget(button(QStringLiteral("Image1_0"), date->body(), QStringLiteral("✔")));
    db->addWidget(button(QStringLiteral("Image1_1"), date->body(), QStringLiteral("✘")));
    dl->addLayout(db);
}

}  // namespace vx::gui
