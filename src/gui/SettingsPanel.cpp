#include "gui/SettingsPanel.h"

#include "gui/PanelHost.h"
#include "gui/Widgets.h"
#include "gui/WindowState.h"
#include "link/Codec.h"
#include "link/ReadingTime.h"
#include "link/SerialPort.h"
#include "link/Settings.h"
#include "link/Transaction.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <cmath>

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

// The role that marks the stored port in the port list when it was not listed at start-up.
constexpr int UnlistedRole = Qt::UserRole + 1;

// Shows the stored port in the list, listed at start-up or not: an entry of its own
// (greyed) at its place by number, so that accepting keeps it.
void showStoredPort(QComboBox *ports, const QString &number)
{
    for (int i = ports->count() - 1; i >= 0; --i)
        if (ports->itemData(i, UnlistedRole).toBool())
            ports->removeItem(i);
    const QString name = QStringLiteral("COM") + number;
    if (ports->findText(name) < 0) {
        int at = 0;
        while (at < ports->count() && ports->itemText(at).mid(3).toInt() < number.toInt())
            ++at;
        ports->insertItem(at, name);
        ports->setItemData(at, true, UnlistedRole);
        ports->setItemData(at, QColor(Qt::darkGray), Qt::ForegroundRole);
    }
    ports->setCurrentIndex(ports->findText(name));
}

}  // namespace

SettingsPanel::SettingsPanel(PanelHost &host, QWidget *parent, Captions &captions)
    : m_host(host), m_c(BuildConnectionPanel(parent, captions))
{
    QObject::connect(m_c.ok, &QPushButton::clicked, m_c.panel, [this] { SSCommand1_Click(); });
    QObject::connect(m_c.cancel, &QPushButton::clicked, m_c.panel, [this] { SSCommand7_Click(); });
    QObject::connect(m_c.combo9, &QComboBox::activated, m_c.panel, [this] { Combo9_Click(); });
    QLineEdit *portNumber = m_c.text4[0];
    QObject::connect(m_c.combo6, &QComboBox::currentTextChanged, m_c.panel,
                     [portNumber](const QString &name) { portNumber->setText(name.mid(3)); });

    // Finding an indicator: the button, the address sweep, what answered and the
    // button that takes it over, above the panel's own buttons.
    QWidget *body = m_c.panel->body();
    m_find = Named<QPushButton>(QStringLiteral("ScanFind"), body, QStringLiteral("Bul…"));
    m_sweep = Named<QCheckBox>(QStringLiteral("ScanSweep"), body, QStringLiteral("Adresleri de dene:"));
    m_addresses = Named<QLineEdit>(QStringLiteral("ScanAddresses"), body);
    m_addresses->setText(QStringLiteral("0-99"));  // no address and every one
    m_addresses->setEnabled(false);
    m_speedsLabel = Named<QLabel>(QStringLiteral("ScanSpeedsLabel"), body, QStringLiteral("Hız:"));
    m_speeds = Named<QComboBox>(QStringLiteral("ScanSpeeds"), body);
    m_speeds->addItem(QStringLiteral("Tümü"), 0);
    for (const int speed : ScanSpeeds)
        m_speeds->addItem(QString::number(speed), speed);
    m_estimate = Named<QLabel>(QStringLiteral("ScanEstimate"), body);
    m_estimate->setWordWrap(true);
    m_result = Named<QLabel>(QStringLiteral("ScanResult"), body);
    m_result->setWordWrap(true);
    m_use = Named<QPushButton>(QStringLiteral("ScanUse"), body, QStringLiteral("Bu ayarları kullan"));
    m_use->setEnabled(false);
    // A serial server on the network, beside the COM list: when filled it is used instead.
    m_networkLabel = Named<QLabel>(QStringLiteral("NetworkPortLabel"), body, QStringLiteral("Ağ portu:"));
    m_network = Named<QLineEdit>(QStringLiteral("NetworkPort"), body);
    auto *networkRow = new QHBoxLayout;
    networkRow->addWidget(m_networkLabel);
    networkRow->addWidget(m_network, 1);
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(m_find);
    findRow->addStretch(1);
    findRow->addWidget(m_speedsLabel);
    findRow->addWidget(m_speeds);
    auto *sweepRow = new QHBoxLayout;
    sweepRow->addWidget(m_sweep);
    sweepRow->addWidget(m_addresses, 1);
    auto *useRow = new QHBoxLayout;
    useRow->addStretch(1);
    useRow->addWidget(m_use);
    if (auto *layout = qobject_cast<QVBoxLayout *>(body->layout())) {
        const int at = 1;  // below the settings, above the space before the accept and cancel buttons
        layout->insertLayout(at, networkRow);
        layout->insertLayout(at + 1, findRow);
        layout->insertLayout(at + 2, sweepRow);
        layout->insertWidget(at + 3, m_estimate);
        layout->insertWidget(at + 4, m_result);
        layout->insertLayout(at + 5, useRow);
    }
    m_c.panel->setFixedSize(m_c.panel->width(), m_c.panel->height() + 156);
    QObject::connect(m_find, &QPushButton::clicked, m_c.panel, [this] { find(); });
    QObject::connect(m_sweep, &QCheckBox::toggled, m_c.panel, [this](bool on) {
        m_addresses->setEnabled(on);
        showEstimate();
    });
    QObject::connect(m_addresses, &QLineEdit::textChanged, m_c.panel, [this] { showEstimate(); });
    QObject::connect(m_speeds, &QComboBox::currentIndexChanged, m_c.panel, [this] { showEstimate(); });
    QObject::connect(m_use, &QPushButton::clicked, m_c.panel, [this] { useFound(); });
}

bool SettingsPanel::isAcceptButton(const QWidget *widget) const { return widget == m_c.ok; }

void SettingsPanel::showPorts(const QStringList &ports)
{
    m_c.combo6->clear();
    m_c.combo6->addItems(ports);
}

void SettingsPanel::fillAddressList()
{
    QComboBox *combo = m_c.combo2;
    if (combo->count() > 11)
        return;  // already in front (a second start-up)
    for (int i = 99; i >= 0; --i)
        combo->insertItem(0, PadLeftZeros(i, 2));
}

void SettingsPanel::applyTexts(const TextService &texts)
{
    SetCaption(m_c.frameEnd, texts.builtIn(BuiltIn::DrainCaption));
    m_c.frameEnd->setToolTip(texts.builtIn(BuiltIn::DrainToolTip));
    SetCaption(m_find, texts.builtIn(BuiltIn::ScanFindButton));
    SetCaption(m_sweep, texts.builtIn(BuiltIn::ScanSweepAddresses));
    SetCaption(m_use, texts.builtIn(BuiltIn::ScanUseSettings));
    SetCaption(m_networkLabel, texts.builtIn(BuiltIn::NetworkPortLabel));
    m_network->setPlaceholderText(texts.builtIn(BuiltIn::NetworkPortHint));
    m_speedsLabel->setText(texts.builtIn(BuiltIn::ScanSpeedsLabel));
    m_speeds->setItemText(0, texts.builtIn(BuiltIn::ScanAllSpeeds));
    showEstimate();
    showFound();
}

void SettingsPanel::hide() { m_c.panel->hide(); }

void SettingsPanel::open()
{
    // The ports as they are now, not as they were at start-up.
    showPorts(m_host.listPorts());
    showEstimate();  // the stored setting may have changed since
    m_host.panelShown(m_c.panel);

    const ConnectionPanel &c = m_c;
    const LinkSettings &s = m_host.link().settings;
    c.text4[0]->setText(s.PortNumber);
    if (IsNetworkPortName(s.PortNumber)) {
        m_network->setText(s.PortNumber);
        // The COM number the settings keep for the earlier program stays chosen below.
        const QString stored = m_host.store().value(SettingsKeys::Section, SettingsKeys::Port).trimmed();
        showStoredPort(c.combo6, stored.toInt() > 0 ? stored : QStringLiteral("1"));
    } else {
        m_network->clear();
        showStoredPort(c.combo6, s.PortNumber);
    }

    const QString line = s.PortSettings;
    c.text4[1]->setText(line);
    // The baud rate is everything before the first comma ("9600,N,8,1" gives "9600",
    // "19200,E,7,1" gives "19200", "115200,N,8,1" gives "115200").
    const QString baud = line.section(QLatin1Char(','), 0, 0);
    if (!baud.isEmpty() && c.combo7->findText(baud) < 0)
        c.combo7->addItem(baud);
    c.combo7->setCurrentText(baud);

    c.combo2->setCurrentIndex(c.combo2->findText(s.DeviceAddress.isEmpty() ? QStringLiteral("00") : s.DeviceAddress));
    c.combo3->setCurrentText(s.ChecksumEnabled ? QStringLiteral("Var") : QStringLiteral("Yok"));

    if (line.size() >= 5) {
        c.combo8->setCurrentText(line.at(line.size() - 3));
        const QChar parity = line.at(line.size() - 5);
        for (const ParityName &p : Parities) {
            if (p.letter == parity)
                c.combo9->setCurrentText(QLatin1String(p.name));
        }
    }
    c.frameEnd->setChecked(s.drainMode == DrainMode::FrameEnd);
    // What an earlier search found belongs to that search.
    m_found.reset();
    m_result->clear();
    m_use->setEnabled(false);
    c.ok->setFocus();
}

void SettingsPanel::Combo9_Click()
{
    const QString chosen = m_c.combo9->currentText();
    for (const ParityName &p : Parities) {
        if (chosen == QLatin1String(p.name))
            m_c.combo8->setCurrentText(QLatin1String(p.dataBits));
    }
}

void SettingsPanel::SSCommand1_Click()
{
    const ConnectionPanel &c = m_c;
    LinkSettings &s = m_host.link().settings;
    const QString address = c.combo2->currentText();
    const bool addressChanged = address != s.DeviceAddress;
    const std::optional<QString> network = networkPortChosen();
    if (!network)
        return;  // said; the panel stays open to mend it

    // "COM7" gives "7"; with no port listed the number in use stays. A network port
    // typed beside the list is used instead.
    const QString portName = c.combo6->currentText();
    if (!network->isEmpty()) {
        c.text4[0]->setText(*network);
        s.PortNumber = *network;
    } else if (!portName.isEmpty()) {
        c.text4[0]->setText(portName.mid(3));
        s.PortNumber = portName.mid(3);
    } else if (IsNetworkPortName(s.PortNumber)) {
        s.PortNumber = QStringLiteral("1");  // the network port was cleared and no COM port is listed
    }

    QString baud = c.combo7->currentText();
    if (baud.endsWith(QLatin1Char(',')))
        baud = baud.left(4);
    const QString parity = c.combo9->currentText().left(1);
    const QString dataBits = c.combo8->currentText();
    s.PortSettings = baud + QLatin1Char(',') + parity + QLatin1Char(',') + dataBits + QStringLiteral(",1");
    c.text4[1]->setText(s.PortSettings);
    s.DeviceAddress = address;
    s.ChecksumEnabled = c.combo3->currentText() != QLatin1String("Yok");
    s.drainMode = c.frameEnd->isChecked() ? DrainMode::FrameEnd : DrainMode::Fixed;
    StoreConnectionSettings(m_host.store(), s);

    // What the pages read from the indicator at the new address (its capacity and
    // division), at once.
    if (addressChanged && m_host.state().IsConnected)
        m_host.addressChanged();

    c.panel->hide();
    m_host.panelClosed();
}

void SettingsPanel::SSCommand7_Click()
{
    m_c.panel->hide();
    m_host.panelClosed();
}

void SettingsPanel::find()
{
    const TextService &texts = m_host.texts();
    Link &link = m_host.link();
    Operator &op = link.op();
    m_found.reset();
    m_use->setEnabled(false);
    m_result->clear();

    const std::optional<std::vector<ScanTry>> tries = plannedTries();
    if (!tries) {
        op.message(texts.builtIn(BuiltIn::ScanAddressesInvalid), Icon::Warning);
        return;
    }
    // The port chosen in the panel, not yet accepted: for this search only.
    const std::optional<QString> network = networkPortChosen();
    if (!network)
        return;
    const QString chosen = m_c.combo6->currentText();
    const QString number = !network->isEmpty() ? *network : chosen.isEmpty() ? link.settings.PortNumber : chosen.mid(3);
    const QString portName = PortNameFor(number);
    // Behind a raw TCP server the line settings are the server's: those of the panel.
    const QString panelLine = m_c.combo7->currentText() + QLatin1Char(',') + m_c.combo9->currentText().left(1) + QLatin1Char(',')
                              + m_c.combo8->currentText() + QStringLiteral(",1");
    ScanOptions options;
    if (ScanTriesLineSettings(portName)) {
        options.tries = *tries;
    } else {
        // Behind a raw TCP server only the checksum and the addresses can be tried.
        QStringList addresses{QString()};
        if (m_sweep->isChecked())
            addresses = ParseScanAddresses(m_addresses->text()).value_or(addresses);
        options.tries = ScanTriesFor(portName, ParseLineSettings(panelLine) ? panelLine : link.settings.PortSettings,
                                     addresses);
    }
    const int total = int(options.tries.size());
    // A search of more than a minute is asked about first, with its length.
    if (ScanEstimateSeconds(options.tries) > 60) {
        const int minutes = int(std::ceil(ScanEstimateSeconds(options.tries) / 60.0));
        if (op.okCancel(texts.builtIn(BuiltIn::ScanSweepQuestion).arg(total).arg(minutes), Icon::Question)
            != Choice::Ok)
            return;
    }

    const QString kept = link.settings.PortNumber;
    link.settings.PortNumber = number;

    QProgressDialog progress(m_c.panel);
    progress.setObjectName(QStringLiteral("ScanProgressDialog"));
    progress.setWindowTitle(texts.builtIn(BuiltIn::ScanFindButton));
    progress.setCancelButtonText(texts.builtIn(BuiltIn::ScanCancel));
    progress.setRange(0, total);
    progress.setMinimumDuration(0);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const QString on = texts.builtIn(BuiltIn::ScanChecksumOn);
    const QString off = texts.builtIn(BuiltIn::ScanChecksumOff);
    const QString none = texts.builtIn(BuiltIn::NoAddress);
    options.progress = [&](int done, int, const ScanTry &next) {
        progress.setValue(done);
        progress.setLabelText(texts.builtIn(BuiltIn::ScanProgress)
                                  .arg(portName, next.lineSettings, next.address.isEmpty() ? none : next.address,
                                       next.checksum ? on : off));
    };
    options.cancelled = [&progress] { return progress.wasCanceled(); };
    const ScanResult r = ScanPort(link, options);
    link.settings.PortNumber = kept;
    progress.close();

    switch (r.outcome) {
    case ScanResult::Outcome::Found:
        m_found = r.found.front();
        m_use->setEnabled(true);
        showFound();
        break;
    case ScanResult::Outcome::NothingFound:
        m_result->setText(texts.builtIn(BuiltIn::ScanNothingFound).arg(portName)
                          + (ScanTriesLineSettings(portName)
                                 ? QString()
                                 : QLatin1Char(' ')
                                       + texts.builtIn(BuiltIn::ScanRawTcp).arg(portName, options.tries.front().lineSettings)));
        break;
    case ScanResult::Outcome::Cancelled:
        m_result->setText(texts.builtIn(BuiltIn::ScanCancelled));
        break;
    case ScanResult::Outcome::Busy:
        op.message(texts.builtIn(BuiltIn::ScanLineBusy), Icon::Warning);
        break;
    case ScanResult::Outcome::PortFailed:
        op.message(texts.builtIn(BuiltIn::ScanPortFailed).arg(portName).arg(r.portError), Icon::Critical);
        break;
    }
}

std::optional<QString> SettingsPanel::networkPortChosen()
{
    const QString typed = m_network->text().trimmed();
    if (typed.isEmpty())
        return QString();
    QString why;
    if (!ParseNetworkPortName(typed, &why)) {
        m_host.link().op().message(m_host.texts().builtIn(BuiltIn::NetworkPortInvalid).arg(why), Icon::Critical);
        m_network->setFocus();
        return std::nullopt;
    }
    return typed;
}

std::optional<std::vector<ScanTry>> SettingsPanel::plannedTries() const
{
    QStringList addresses{QString()};
    if (m_sweep->isChecked()) {
        const std::optional<QStringList> list = ParseScanAddresses(m_addresses->text());
        if (!list)
            return std::nullopt;
        addresses = *list;
    }
    std::vector<int> speeds;
    if (const int speed = m_speeds->currentData().toInt(); speed > 0)
        speeds.push_back(speed);
    // The setting in use: an indicator seldom moved from it answers at the first try.
    const LinkSettings &s = m_host.link().settings;
    std::optional<ScanTry> stored;
    if (ParseLineSettings(s.PortSettings))
        stored = ScanTry{s.PortSettings.toUpper().remove(QLatin1Char(' ')), s.DeviceAddress, s.ChecksumEnabled};
    return LikeliestFirst(ScanTries(addresses, speeds), stored);
}

void SettingsPanel::showEstimate()
{
    const TextService &texts = m_host.texts();
    const std::optional<std::vector<ScanTry>> tries = plannedTries();
    m_estimate->setText(tries ? texts.builtIn(BuiltIn::ScanEstimate)
                                    .arg(tries->size())
                                    .arg(int(std::ceil(ScanEstimateSeconds(*tries))))
                              : texts.builtIn(BuiltIn::ScanAddressesInvalid));
    m_find->setEnabled(tries.has_value());
}

void SettingsPanel::showFound()
{
    if (!m_found)
        return;
    const TextService &texts = m_host.texts();
    const ScanFound &f = *m_found;
    m_result->setText(texts.builtIn(BuiltIn::ScanFound)
                          .arg(f.port, f.lineSettings,
                               f.address.isEmpty() ? texts.builtIn(BuiltIn::NoAddress) : f.address,
                               texts.builtIn(f.checksum ? BuiltIn::ScanChecksumOn : BuiltIn::ScanChecksumOff),
                               f.version));
}

void SettingsPanel::useFound()
{
    if (!m_found)
        return;
    const ConnectionPanel &c = m_c;
    const QStringList parts = m_found->lineSettings.split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    const QString &baud = parts[0];
    if (c.combo7->findText(baud) < 0)
        c.combo7->addItem(baud);
    c.combo7->setCurrentText(baud);
    for (const ParityName &p : Parities) {
        if (QString(p.letter) == parts[1])
            c.combo9->setCurrentText(QLatin1String(p.name));
    }
    c.combo8->setCurrentText(parts[2]);
    c.combo2->setCurrentIndex(c.combo2->findText(m_found->address.isEmpty() ? QStringLiteral("00") : m_found->address));
    c.combo3->setCurrentText(m_found->checksum ? QStringLiteral("Var") : QStringLiteral("Yok"));
    c.text4[1]->setText(m_found->lineSettings);
}

void SettingsPanel::readingTimeEntry()
{
    Operator &op = m_host.link().op();
    const TextService &texts = m_host.texts();
    LinkSettings &s = m_host.link().settings;
    const QString current = QString::number(s.ReadingTime);
    const std::optional<QString> typed =
        op.input(QStringLiteral("Reading time?"), QStringLiteral("VEXTORA"), current);
    if (!typed) {
        op.message(texts.builtIn(BuiltIn::ReadingTimeUnchanged).arg(current), Icon::Information);
        return;
    }
    // A "%" typed after the number is let pass.
    const std::optional<double> seconds = ValidReadingTime(QString(*typed).remove(QLatin1Char('%')));
    if (!seconds) {
        op.message(texts.builtIn(BuiltIn::ReadingTimeInvalid).arg(*typed, current), Icon::Critical);
        return;
    }
    s.ReadingTime = *seconds;
    StoreReadingTime(m_host.store(), typed->trimmed());
}

}  // namespace vx::gui
