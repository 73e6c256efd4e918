#include "link/Scan.h"

#include "link/Connect.h"
#include "link/LineLease.h"
#include "link/SerialPort.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <iterator>

namespace vx {
namespace {

double characterSecondsOf(const QString &lineSettings)
{
    if (const std::optional<LineSettings> line = ParseLineSettings(lineSettings))
        return CharacterSeconds(*line);
    return 10.0 / 9600.0;
}

// Errors after which the port is gone for this scan, not just a framing refused.
bool portGone(int error)
{
    return error == PortErr::NoSuchPort || error == PortErr::Busy || error == PortErr::NotSerialPort;
}

// Puts the link's settings back when the scan ends, however it ends.
struct SettingsBack {
    Link &link;
    LinkSettings saved;
    ~SettingsBack() { link.settings = saved; }
};

}  // namespace

std::vector<ScanTry> ScanTries(const QStringList &addresses, const std::vector<int> &speeds)
{
    const QStringList list = addresses.isEmpty() ? QStringList{QString()} : addresses;
    std::vector<ScanTry> tries;
    for (const int speed : ScanSpeeds) {
        if (!speeds.empty() && std::find(speeds.begin(), speeds.end(), speed) == speeds.end())
            continue;
        for (const char *framing : ScanFramings) {
            const QString line = QString::number(speed) + QLatin1Char(',') + QLatin1String(framing);
            for (const bool checksum : {true, false}) {
                for (const QString &address : list)
                    tries.push_back(ScanTry{line, address, checksum});
            }
        }
    }
    return tries;
}

bool ScanTriesLineSettings(const QString &portName)
{
    const std::optional<NetworkAddress> network = ParseNetworkPortName(portName);
    return !network || network->kind != NetworkAddress::Kind::RawTcp;
}

std::vector<ScanTry> ScanTriesFor(const QString &portName, const QString &lineSettings, const QStringList &addresses)
{
    if (ScanTriesLineSettings(portName))
        return ScanTries(addresses);
    const QStringList list = addresses.isEmpty() ? QStringList{QString()} : addresses;
    std::vector<ScanTry> tries;
    for (const bool checksum : {true, false}) {
        for (const QString &address : list)
            tries.push_back(ScanTry{lineSettings, address, checksum});
    }
    return tries;
}

std::vector<ScanTry> LikeliestFirst(const std::vector<ScanTry> &tries, const std::optional<ScanTry> &stored)
{
    const auto speedOf = [](const ScanTry &t) { return t.lineSettings.section(QLatin1Char(','), 0, 0).toInt(); };
    const auto common = [&](const ScanTry &t) {
        return std::find(std::begin(ScanCommonSpeeds), std::end(ScanCommonSpeeds), speedOf(t)) != std::end(ScanCommonSpeeds);
    };
    std::vector<ScanTry> out;
    const bool storedFits = stored && std::any_of(tries.begin(), tries.end(), [&](const ScanTry &t) {
                                return speedOf(t) == speedOf(*stored);
                            });
    if (storedFits)
        out.push_back(*stored);
    const auto add = [&](const ScanTry &t) {
        if (std::find(out.begin(), out.end(), t) == out.end())
            out.push_back(t);
    };
    // The common speeds in their own order (9600 before 19200), then the others.
    for (const int speed : ScanCommonSpeeds)
        for (const ScanTry &t : tries)
            if (speedOf(t) == speed)
                add(t);
    for (const ScanTry &t : tries)
        if (!common(t))
            add(t);
    return out;
}

std::optional<QStringList> ParseScanAddresses(const QString &text)
{
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d{1,2})\\s*(?:-\\s*(\\d{1,2})\\s*)?$"));
    const QStringList parts = text.split(QLatin1Char(','));
    QStringList out;
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch())
            return std::nullopt;
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        if (to < from)
            return std::nullopt;
        for (int a = from; a <= to; ++a) {
            const QString address = a == 0 ? QString() : QStringLiteral("%1").arg(a, 2, 10, QLatin1Char('0'));
            if (!out.contains(address))
                out << address;
        }
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}

double ScanTryTimeout(const ScanTry &t)
{
    return ReadAnswerLength(t.address, VersionByteCount, t.checksum) * characterSecondsOf(t.lineSettings)
         + ScanMargin;
}

double ScanTrySeconds(const ScanTry &t)
{
    const int request = BuildReadFrame(t.address, VersionRegister, VersionByteCount, t.checksum).size();
    return request * characterSecondsOf(t.lineSettings) + ScanTryTimeout(t);
}

double ScanEstimateSeconds(const std::vector<ScanTry> &tries)
{
    double total = 0;
    for (const ScanTry &t : tries)
        total += ScanTrySeconds(t);
    return total;
}

ScanResult ScanPort(Link &link, const ScanOptions &options)
{
    ScanResult result;
    if (options.tries.empty())
        return result;
    const SettingsBack back{link, link.settings};

    // The lease opens the port at the first try's settings, so a malformed stored
    // setting does not stop a scan that sets its own.
    link.settings.PortSettings = options.tries.front().lineSettings;
    LineLease lease(link, {.policy = LineLease::Policy::Exclusive, .attempts = 1, .quiet = true});
    if (!lease) {
        result.outcome = lease.busy() ? ScanResult::Outcome::Busy : ScanResult::Outcome::PortFailed;
        result.portError = lease.portError();
        return result;
    }
    link.settings.drainMode = DrainMode::FrameEnd;

    QSet<QString> addresses;
    for (const ScanTry &t : options.tries)
        addresses.insert(t.address);
    QSet<QString> answered;
    QString portLine = options.tries.front().lineSettings;
    bool portUsable = true;
    const int total = int(options.tries.size());

    for (int i = 0; i < total; ++i) {
        const ScanTry &t = options.tries[std::size_t(i)];
        if (link.AbortRequested || (options.cancelled && options.cancelled())) {
            result.outcome = ScanResult::Outcome::Cancelled;
            return result;
        }
        if (answered.contains(t.address))
            continue;  // one indicator to an address on a line
        if (options.progress)
            options.progress(i, total, t);

        if (t.lineSettings != portLine) {
            const PortResult r = lease.reopen(t.lineSettings);
            portLine = t.lineSettings;
            portUsable = r.ok();
            if (!r.ok() && portGone(r.error)) {
                result.outcome = ScanResult::Outcome::PortFailed;
                result.portError = r.error;
                return result;
            }
        }
        ++result.triesRun;
        if (!portUsable)
            continue;  // the port refused this framing: no answer

        link.settings.PortSettings = t.lineSettings;
        link.settings.DeviceAddress = t.address;
        link.settings.ChecksumEnabled = t.checksum;
        link.settings.ReadingTime = ScanTryTimeout(t);
        const Answer answer = link.readAnswer(VersionRegister, VersionByteCount, 0.0);
        if (answer.outcome != AnswerOutcome::Whole)
            continue;
        const QString text = link.valueOf(answer, "Tx0", VersionRegister).toString();
        if (text.isEmpty())
            continue;

        QString version = text;
        while (version.endsWith(QLatin1Char(' ')))
            version.chop(1);
        result.found.push_back(ScanFound{PortNameFor(back.saved.PortNumber), t.lineSettings, t.address, t.checksum,
                                         ModelFromVersion(text), version});
        answered.insert(t.address);
        if (!options.all || answered.size() == addresses.size())
            break;
    }
    if (options.progress && result.outcome != ScanResult::Outcome::Cancelled)
        options.progress(total, total, options.tries.back());
    result.outcome = result.found.empty() ? ScanResult::Outcome::NothingFound : ScanResult::Outcome::Found;
    return result;
}

}  // namespace vx
