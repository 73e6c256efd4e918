// The connection settings panel: port, line settings, address, checksum and the
// way answers are collected; plus the hidden reading-time entry.

#include "gui/AnaForm.h"

#include "gui/Widgets.h"
#include "link/Codec.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace vx::gui {
namespace {

// Parity as the panel lists it and as the settings text writes it.
struct ParityName {
    QChar letter;
    const char *name;
    const char *dataBits;  // what choosing it sets
};
const ParityName Parities[] = {
    {QLatin1Char('O'), "ODD", "7"},
    {QLatin1Char('E'), "EVEN", "7"},
    {QLatin1Char('N'), "NONE", "8"},
};

QComboBox *makeCombo(const QString &name, const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItems(items);
    return combo;
}

QLabel *makeLabel(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

void AnaForm::buildConnectionPanel(QWidget *parent)
{
    m_connPanel = new Panel(QStringLiteral("SSPanel1"), QStringLiteral(" Bağlantı Ayarları"), parent);
    MakeFloating(m_connPanel, QSize(330, 318));
    QWidget *body = m_connPanel->body();

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    auto *combo6 = makeCombo(QStringLiteral("Combo6"), {}, body);
    auto *text40 = new QLineEdit(body);
    text40->setObjectName(QStringLiteral("Text4_0"));
    text40->setReadOnly(true);
    text40->setFixedWidth(44);
    text40->setToolTip(QStringLiteral("Port"));
    auto *portRow = new QHBoxLayout;
    portRow->addWidget(combo6, 1);
    portRow->addWidget(text40);

    auto *text41 = new QLineEdit(QStringLiteral("9600,N,8,1"), body);
    text41->setObjectName(QStringLiteral("Text4_1"));
    text41->setReadOnly(true);

    auto *combo7 = makeCombo(QStringLiteral("Combo7"), {QStringLiteral("57600"), QStringLiteral("38400"),
                                                        QStringLiteral("19200"), QStringLiteral("9600")},
                             body);
    auto *combo9 = makeCombo(QStringLiteral("Combo9"), {QStringLiteral("ODD"), QStringLiteral("EVEN"), QStringLiteral("NONE")}, body);
    combo9->setCurrentText(QStringLiteral("NONE"));
    auto *combo8 = makeCombo(QStringLiteral("Combo8"), {QStringLiteral("7"), QStringLiteral("8")}, body);
    combo8->setCurrentText(QStringLiteral("8"));
    auto *combo3 = makeCombo(QStringLiteral("Combo3"), {QStringLiteral("Yok"), QStringLiteral("Var")}, body);
    QStringList addresses{QString()};
    for (int i = 0; i <= 9; ++i)
        addresses << PadLeftZeros(i, 2);
    auto *combo2 = makeCombo(QStringLiteral("Combo2"), addresses, body);
    combo2->setMaxVisibleItems(12);

    int row = 0;
    grid->addWidget(makeLabel(QStringLiteral("Label2_0"), QStringLiteral("Com Port"), body), row, 0);
    grid->addLayout(portRow, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2_1"), QStringLiteral("Setting"), body), row, 0);
    grid->addWidget(text41, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2_3"), QStringLiteral("Baud"), body), row, 0);
    grid->addWidget(combo7, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2_5"), QStringLiteral("Eşlik"), body), row, 0);
    grid->addWidget(combo9, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2_4"), QStringLiteral("Veri Bitleri"), body), row, 0);
    grid->addWidget(combo8, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label13"), QStringLiteral("Check Sum"), body), row, 0);
    grid->addWidget(combo3, row++, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2_2"), QStringLiteral("Cihaz Adresi"), body), row, 0);
    grid->addWidget(combo2, row++, 1);

    auto *frameEnd = new QCheckBox(body);
    frameEnd->setObjectName(QStringLiteral("CheckFrameEnd"));
    grid->addWidget(frameEnd, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto *ok = new QPushButton(QStringLiteral("TAMAM"), body);
    ok->setObjectName(QStringLiteral("SSCommand1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("İPTAL"), body);
    cancel->setObjectName(QStringLiteral("SSCommand7"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { SSCommand1_Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { SSCommand7_Click(); });
    connect(combo9, &QComboBox::activated, this, [this] { Combo9_Click(); });
    connect(combo6, &QComboBox::currentTextChanged, this, [text40](const QString &name) {
        text40->setText(name.mid(3));
    });
}

void AnaForm::openConnectionPanel()
{
    setShellEnabled(false);
    ışık(QStringLiteral("sarı"));
    showPanel(m_connPanel);

    const LinkSettings &s = m_link->settings;
    control<QLineEdit>(QStringLiteral("Text4_0"))->setText(s.PortNumber);
    control<QComboBox>(QStringLiteral("Combo6"))->setCurrentText(QStringLiteral("COM") + s.PortNumber);

    const QString line = s.PortSettings;
    control<QLineEdit>(QStringLiteral("Text4_1"))->setText(line);
    // The baud rate is everything before the first comma ("9600,N,8,1" gives "9600",
    // "19200,E,7,1" gives "19200", "115200,N,8,1" gives "115200").
    const QString baud = line.section(QLatin1Char(','), 0, 0);
    auto *combo7 = control<QComboBox>(QStringLiteral("Combo7"));
    if (!baud.isEmpty() && combo7->findText(baud) < 0)
        combo7->addItem(baud);
    combo7->setCurrentText(baud);

    auto *combo2 = control<QComboBox>(QStringLiteral("Combo2"));
    combo2->setCurrentIndex(combo2->findText(s.DeviceAddress.isEmpty() ? QStringLiteral("00") : s.DeviceAddress));
    control<QComboBox>(QStringLiteral("Combo3"))->setCurrentText(s.ChecksumEnabled ? QStringLiteral("Var") : QStringLiteral("Yok"));

    if (line.size() >= 5) {
        control<QComboBox>(QStringLiteral("Combo8"))->setCurrentText(line.at(line.size() - 3));
        const QChar parity = line.at(line.size() - 5);
        for (const ParityName &p : Parities) {
            if (p.letter == parity)
                control<QComboBox>(QStringLiteral("Combo9"))->setCurrentText(QLatin1String(p.name));
        }
    }
    control<QCheckBox>(QStringLiteral("CheckFrameEnd"))->setChecked(s.drainMode == DrainMode::FrameEnd);
    control<QPushButton>(QStringLiteral("SSCommand1"))->setFocus();
}

void AnaForm::Combo9_Click()
{
    const QString chosen = control<QComboBox>(QStringLiteral("Combo9"))->currentText();
    for (const ParityName &p : Parities) {
        if (chosen == QLatin1String(p.name))
            control<QComboBox>(QStringLiteral("Combo8"))->setCurrentText(QLatin1String(p.dataBits));
    }
}

void AnaForm::SSCommand1_Click()
{
    LinkSettings &s = m_link->settings;
    const QString address = control<QComboBox>(QStringLiteral("Combo2"))->currentText();
    const bool addressChanged = address != s.DeviceAddress;

    // "COM7" gives "7"; with no port listed the number in use stays.
    const QString portName = control<QComboBox>(QStringLiteral("Combo6"))->currentText();
    if (!portName.isEmpty()) {
        control<QLineEdit>(QStringLiteral("Text4_0"))->setText(portName.mid(3));
        s.PortNumber = portName.mid(3);
    }

    QString baud = control<QComboBox>(QStringLiteral("Combo7"))->currentText();
    if (baud.endsWith(QLatin1Char(',')))
        baud = baud.left(4);
    const QString parity = control<QComboBox>(QStringLiteral("Combo9"))->currentText().left(1);
    const QString dataBits = control<QComboBox>(QStringLiteral("Combo8"))->currentText();
    s.PortSettings = baud + QLatin1Char(',') + parity + QLatin1Char(',') + dataBits + QStringLiteral(",1");
    control<QLineEdit>(QStringLiteral("Text4_1"))->setText(s.PortSettings);
    s.DeviceAddress = address;
    s.ChecksumEnabled = control<QComboBox>(QStringLiteral("Combo3"))->currentText() != QLatin1String("Yok");
    s.drainMode = control<QCheckBox>(QStringLiteral("CheckFrameEnd"))->isChecked() ? DrainMode::FrameEnd
                                                                                   : DrainMode::Fixed;
    StoreConnectionSettings(m_store, s);

    // The capacity and division of the indicator at the new address, at once.
    if (addressChanged && m_state.IsConnected && m_taksimatBul) {
        m_taksimatBul();
        if (m_port.isOpen())
            m_port.close();
    }

    m_connPanel->hide();
    setShellEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

void AnaForm::SSCommand7_Click()
{
    m_connPanel->hide();
    setShellEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

void AnaForm::readingTimeEntry()
{
    LinkSettings &s = m_link->settings;
    const QString current = QString::number(s.ReadingTime);
    const std::optional<QString> typed =
        op().input(QStringLiteral("Reading time?"), QStringLiteral("VEXTORA"), current);
    const bool turkish = s.LanguageFileName == QStringLiteral("Türkçe.txt");
    if (!typed) {
        op().message((turkish ? QStringLiteral("Okuma zamanı değişmedi: %1 s")
                               : QStringLiteral("Reading time unchanged: %1 s")).arg(current),
                      Icon::Information);
        return;
    }
    bool ok = false;
    QString cleaned = CommaToPoint(typed->trimmed());
    cleaned.remove(QLatin1Char('%'));
    const double seconds = cleaned.toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 60) {
        op().message((turkish ? QStringLiteral("\"%1\" geçerli bir okuma zamanı değil (0 ile 60 saniye arası). "
                                                "Okuma zamanı değişmedi: %2 s")
                               : QStringLiteral("\"%1\" is not a valid reading time (more than 0, at most 60 "
                                                "seconds). Reading time unchanged: %2 s"))
                          .arg(*typed, current),
                      Icon::Critical);
        return;
    }
    s.ReadingTime = seconds;
    StoreReadingTime(m_store, typed->trimmed());
}

}  // namespace vx::gui
