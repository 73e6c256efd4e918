#include "gui/HeaderPage.h"

#include "files/WorkingSet.h"
#include "gui/Widgets.h"
#include "link/Features.h"
#include "link/Transaction.h"
#include "memory/EplFile.h"
#include "shell/AppState.h"
#include "shell/TextService.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

// The ticket field codes whose descriptions (texts 342 on) make the code labels' tooltip.
const char *const TicketCodes[] = {"[N]", "[G]", "[T]", "[D]", "[I]", "[C]",
                                   "[A]", "[1]", "[2]", "[3]", "[4]", "[5]"};
constexpr int FirstCodeLine = 342;
constexpr int LastCodeLine = 353;  // also the description of "[6]"

constexpr int LineWidth = TicketLineWidth;
constexpr int TextLongEplFile = 340;

// The EPL box shows line breaks; the text itself ends its lines with CR LF.
QString eplForBox(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
QString eplFromBox(const QString &shown)
{
    QString text = shown;
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
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

}  // namespace

HeaderPage::AlignBar HeaderPage::makeAlignBar(int index, QWidget *parent)
{
    AlignBar a;
    a.bar = Named<QToolBar>(QStringLiteral("Toolbar2_%1").arg(index), parent);
    a.bar->setIconSize(QSize(16, 16));
    a.centred = a.bar->addAction(alignIcon(true), QString());
    a.left = a.bar->addAction(alignIcon(false), QString());
    a.centred->setObjectName(QStringLiteral("Toolbar2_%1_1").arg(index));
    a.left->setObjectName(QStringLiteral("Toolbar2_%1_2").arg(index));
    a.centred->setCheckable(true);
    a.left->setCheckable(true);
    auto *group = new QActionGroup(a.bar);
    group->setExclusive(true);
    group->addAction(a.centred);
    group->addAction(a.left);
    a.centred->setChecked(true);
    const bool footnote = index == 1;
    connect(a.centred, &QAction::triggered, this, [this, footnote] {
        footnote ? m_layout.setFootnoteCentred(true) : m_layout.setHeaderCentred(true);
        this->host().workingSet().edited(DataGroup::Ticket);
    });
    connect(a.left, &QAction::triggered, this, [this, footnote] {
        footnote ? m_layout.setFootnoteCentred(false) : m_layout.setHeaderCentred(false);
        this->host().workingSet().edited(DataGroup::Ticket);
    });
    m_captions.add(301, a.centred, "Ortala", Captions::Kind::ToolTip);
    m_captions.add(302, a.left, "Sola Yasla", Captions::Kind::ToolTip);
    return a;
}

HeaderPage::HeaderPage(PageHost &host, QWidget *parent)
    : TabPage(Tab::Header, host, parent), m_layout(host.workingSet().ticket())
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);

    const char *const frameDesign[4] = {"Başlık Satırları", "Dip Not Satırları", "Yazıcı Tipi", "EPL Komutları"};
    for (int i = 0; i < 4; ++i) {
        m_frame9[i] = Named<QGroupBox>(QStringLiteral("Frame9_%1").arg(i + 1), this);
        m_captions.add(369 + i, m_frame9[i], frameDesign[i]);
    }

    auto *hl = new QVBoxLayout(m_frame9[0]);
    hl->setSpacing(3);
    m_toolbar2[0] = makeAlignBar(0, m_frame9[0]);
    hl->addWidget(m_toolbar2[0].bar);
    for (int i = 0; i < 4; ++i) {
        m_headerLines[i] = Named<QLineEdit>(QStringLiteral("Baslık_%1").arg(i), m_frame9[0]);
        m_headerLines[i]->setMaxLength(LineWidth);
        hl->addWidget(m_headerLines[i]);
    }

    auto *fl = new QVBoxLayout(m_frame9[1]);
    fl->setSpacing(3);
    m_toolbar2[1] = makeAlignBar(1, m_frame9[1]);
    fl->addWidget(m_toolbar2[1].bar);
    for (int i = 0; i < 2; ++i) {
        m_dipNot[i] = Named<QLineEdit>(QStringLiteral("DipNot_%1").arg(i), m_frame9[1]);
        m_dipNot[i]->setMaxLength(LineWidth);
        fl->addWidget(m_dipNot[i]);
    }

    auto *pl = new QVBoxLayout(m_frame9[2]);
    for (int i = 0; i < 2; ++i) {
        m_option3[i] = Named<QRadioButton>(QStringLiteral("Option3_%1").arg(i), m_frame9[2]);
        pl->addWidget(m_option3[i]);
    }
    pl->addStretch(1);
    m_option3[0]->setChecked(true);
    m_captions.add(325, m_option3[0], "FİŞ");
    m_captions.add(326, m_option3[1], "EPL YAZICI");

    auto *el = new QGridLayout(m_frame9[3]);
    m_epl = Named<QPlainTextEdit>(QStringLiteral("EPL"), m_frame9[3]);
    el->addWidget(m_epl, 0, 0, 1, 3);
    for (int i = 0; i < 2; ++i) {
        m_ssCommand10[i] = Named<QPushButton>(QStringLiteral("SSCommand10_%1").arg(i), m_frame9[3]);
        el->addWidget(m_ssCommand10[i], 1, i + 1);
    }
    el->setColumnStretch(0, 1);
    m_captions.add(330, m_ssCommand10[0], "Yükle");
    m_captions.add(331, m_ssCommand10[1], "Kaydet");

    // Ticket code help beside the lines, opened and closed by Command2.
    m_ssPanel6 = new Panel(QStringLiteral("SSPanel6"), QString(), this);
    m_ssPanel6->setFixedWidth(190);
    auto *cl = new QVBoxLayout(m_ssPanel6->body());
    m_label15 = Named<QLabel>(QStringLiteral("Label15"), m_ssPanel6->body(), QStringLiteral("[N] [G] [T] [D]\n[I] [C] [A]"));
    m_label14 = Named<QLabel>(QStringLiteral("Label14"), m_ssPanel6->body(), QStringLiteral("[1] [2] [3]\n[4] [5] [6]"));
    for (QLabel *l : {m_label15, m_label14}) {
        l->setFrameShape(QFrame::StyledPanel);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setMargin(4);
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumHeight(44);
        cl->addWidget(l);
    }
    cl->addStretch(1);
    m_command2 = Named<QPushButton>(QStringLiteral("Command2"), this, QStringLiteral(">>>"));
    m_command2->setFixedWidth(44);
    connect(m_command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    m_captions.add(354, m_ssPanel6, "Fiş Kodları");
    m_captions.add(354, m_command2, "Fiş Kodları", Captions::Kind::ToolTip);

    // The lines and the EPL text on the left; the ticket codes and the printer kind beside them.
    layout->addWidget(m_frame9[0], 0, 0);
    layout->addWidget(m_frame9[1], 1, 0);
    layout->addWidget(m_frame9[3], 2, 0);
    auto *side = new QVBoxLayout;
    side->addWidget(m_command2, 0, Qt::AlignRight);
    side->addWidget(m_ssPanel6);
    side->addWidget(m_frame9[2]);
    side->addStretch(1);
    layout->addLayout(side, 0, 1, 3, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);

    // The boxes show the layout and every change goes into it at once. A fixed-pitch
    // font shows the lines as the ticket printer sets them.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_epl->setFont(fixed);
    for (int k = 0; k < TicketLineCount; ++k) {
        QLineEdit *box = lineBox(k);
        box->setFont(fixed);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, k](const QString &text) {
            m_layout.setLine(k, text);
            this->host().workingSet().edited(DataGroup::Ticket);
        });
    }
    connect(&m_layout, &TicketLayout::lineChanged, this, &HeaderPage::showLine);
    connect(&m_layout, &TicketLayout::alignmentChanged, this, &HeaderPage::showAlignment);
    connect(&m_layout, &TicketLayout::printerKindChanged, this, &HeaderPage::showPrinterKind);
    connect(&m_layout, &TicketLayout::eplTextChanged, this, &HeaderPage::showEpl);
    connect(m_epl, &QPlainTextEdit::textChanged, this, [this] {
        // The box also changes when it shows the layout's text: only a new text is an edit.
        const QString text = eplFromBox(m_epl->toPlainText());
        if (text == m_layout.eplText())
            return;
        m_layout.setEplText(text);
        this->host().workingSet().edited(DataGroup::Ticket);
    });
    for (int i = 0; i < 2; ++i) {
        connect(m_option3[i], &QRadioButton::clicked, this, [this, i] { Option3_Click(i); });
        connect(m_ssCommand10[i], &QPushButton::clicked, this, [this, i] { SSCommand10_Click(i); });
    }
    chooseEplFile = [this](bool save) {
        const QString filter = QStringLiteral("*.txt;;*");
        return save ? QFileDialog::getSaveFileName(this, m_ssCommand10[1]->text(), QString(), filter)
                    : QFileDialog::getOpenFileName(this, m_ssCommand10[0]->text(), QString(), filter);
    };

    m_captions.applyDesign();
    showAlignment();
    showPrinterKind();
}

QLineEdit *HeaderPage::lineBox(int k) const
{
    return TicketLayout::isFootnote(k) ? m_dipNot[size_t(k - HeaderLineCount)] : m_headerLines[size_t(k)];
}

void HeaderPage::showLine(int k)
{
    QLineEdit *box = lineBox(k);
    if (box->text() != m_layout.line(k))
        box->setText(m_layout.line(k));
}

void HeaderPage::showAlignment()
{
    const bool centred[2] = {m_layout.headerCentred(), m_layout.footnoteCentred()};
    for (int i = 0; i < 2; ++i) {
        m_toolbar2[i].centred->setChecked(centred[i]);
        m_toolbar2[i].left->setChecked(!centred[i]);
    }
}

void HeaderPage::showPrinterKind()
{
    m_option3[m_layout.printerKind() == PrinterKind::Epl ? 1 : 0]->setChecked(true);
    const bool epl = printerKind() == PrinterKind::Epl;
    // The lines with their toolbars, or the EPL text with its buttons.
    m_frame9[0]->setEnabled(!epl);
    m_frame9[1]->setEnabled(!epl);
    m_epl->setEnabled(epl);
    for (QPushButton *button : m_ssCommand10)
        button->setEnabled(epl);
}

void HeaderPage::showEpl()
{
    const QString shown = eplForBox(m_layout.eplText());
    if (m_epl->toPlainText() != shown)
        m_epl->setPlainText(shown);
}

void HeaderPage::Option3_Click(int index)
{
    m_layout.setPrinterKind(index == 1 ? PrinterKind::Epl : PrinterKind::Ticket);
}

PrinterKind HeaderPage::printerKind() const { return m_zr2 ? m_layout.printerKind() : PrinterKind::Ticket; }

TransferResult HeaderPage::read()
{
    const TransferResult result =
        ReadTicketLines(host().link(), m_layout, printerKind(), host().texts(), [this] { host().DisconnectAction(); });
    ReportRead(host().workingSet(), DataGroup::Ticket, result);
    return result;
}

void HeaderPage::SSCommand10_Click(int index)
{
    const QString path = chooseEplFile ? chooseEplFile(index == 1) : QString();
    if (path.isEmpty())
        return;
    Operator &op = host().link().op();
    const TextService &texts = host().texts();
    if (index == 1) {
        QString error;
        if (!WriteEplFile(path, m_layout.eplText(), &error))
            op.message(texts.builtIn(BuiltIn::EplFileNotSaved).arg(path, error), Icon::Critical);
        return;
    }
    // The text changes only when a file was read and the user wants it.
    const EplFile file = ReadEplFile(path);
    if (!file.ok) {
        op.message(texts.builtIn(BuiltIn::EplFileNotRead).arg(path, file.error), Icon::Critical);
        return;
    }
    if (file.bytes > EplFileQuestionBytes && op.yesNo(texts.line(TextLongEplFile), Icon::Question) != Choice::Yes)
        return;
    m_layout.setEplText(file.text);
    host().workingSet().edited(DataGroup::Ticket);
}

bool HeaderPage::lineKey(QLineEdit *box, int key)
{
    int k = 0;
    while (k < TicketLineCount && lineBox(k) != box)
        ++k;
    const bool footnote = TicketLayout::isFootnote(k);
    const int first = footnote ? HeaderLineCount : 0;
    const int last = footnote ? TicketLineCount - 1 : HeaderLineCount - 1;
    int target = -1;
    if (key == Qt::Key_Up || (key == Qt::Key_Backspace && box->text().isEmpty()))
        target = k - 1;
    else if (key == Qt::Key_Down)
        target = k + 1;
    else
        return false;
    if (target >= first && target <= last) {
        lineBox(target)->setFocus(Qt::OtherFocusReason);
        lineBox(target)->end(false);
    }
    return true;
}

bool HeaderPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        if (auto *box = qobject_cast<QLineEdit *>(watched); box && lineKey(box, static_cast<QKeyEvent *>(event)->key()))
            return true;
    }
    return TabPage::eventFilter(watched, event);
}

void HeaderPage::Command2_Click()
{
    m_ssPanel6->setVisible(m_ssPanel6->isHidden());
    m_command2->setText(m_ssPanel6->isHidden() ? QStringLiteral("<<<") : QStringLiteral(">>>"));
}

void HeaderPage::applyLanguage(const TextService &texts)
{
    m_captions.apply(texts);
    // The ticket code labels carry every code with its description as tooltip.
    QStringList codes;
    int line = FirstCodeLine;
    for (const char *code : TicketCodes)
        codes << QLatin1String(code) + texts.line(line++);
    codes << QStringLiteral("[6]") + texts.line(LastCodeLine);
    m_label15->setToolTip(codes.join(QLatin1Char('\n')));
    m_label14->setToolTip(codes.join(QLatin1Char('\n')));
    // The panel itself lists them too: the weighing fields, then the ticket's own lines.
    m_label15->setText(codes.mid(0, 7).join(QLatin1Char('\n')));
    m_label14->setText(codes.mid(7).join(QLatin1Char('\n')));
}

void HeaderPage::modelChanged(Model model)
{
    // The printer kind, the EPL text and the ticket code help exist only with the EPL printer.
    const bool zr2 = FeaturesOf(model).eplPrinter;
    m_zr2 = zr2;
    for (QWidget *w : {static_cast<QWidget *>(m_option3[0]), static_cast<QWidget *>(m_option3[1]),
                       static_cast<QWidget *>(m_epl), static_cast<QWidget *>(m_ssCommand10[0]),
                       static_cast<QWidget *>(m_ssCommand10[1]), static_cast<QWidget *>(m_ssPanel6),
                       static_cast<QWidget *>(m_command2), static_cast<QWidget *>(m_frame9[2]),
                       static_cast<QWidget *>(m_frame9[3])})
        w->setVisible(zr2);
    // Without the EPL printer the lines are what the indicator prints.
    showPrinterKind();
}

}  // namespace vx::gui
