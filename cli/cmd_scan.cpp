// vextora-cli scan: find an indicator whose line settings, address or checksum
// setting are not known, by reading its version text at each setting it can have.

#include "cli/Cli.h"

#include "link/Scan.h"
#include "link/SerialPort.h"
#include "link/Transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace vx::cli {
namespace {

QString addressText(const QString &address)
{
    return address.isEmpty() ? QStringLiteral("none") : address;
}

QString foundLine(const ScanFound &f)
{
    return QStringLiteral("%1  %2  address %3  checksum %4  %5  %6")
        .arg(f.port, f.lineSettings, addressText(f.address), f.checksum ? QStringLiteral("on") : QStringLiteral("off"),
             f.model, f.version);
}

QJsonObject foundJson(const ScanFound &f)
{
    return QJsonObject{{QStringLiteral("port"), f.port},
                       {QStringLiteral("lineSettings"), f.lineSettings},
                       {QStringLiteral("address"), f.address},
                       {QStringLiteral("checksum"), f.checksum},
                       {QStringLiteral("model"), f.model},
                       {QStringLiteral("version"), f.version}};
}

QString portErrorText(int error)
{
    switch (error) {
    case PortErr::NoSuchPort:
        return QStringLiteral("no such port");
    case PortErr::Busy:
        return QStringLiteral("the port is busy or not permitted");
    case PortErr::NotSerialPort:
        return QStringLiteral("not a serial port");
    case PortErr::ServerClosed:
        return QStringLiteral("the serial server closed the connection: another client may hold the port");
    default:
        return QStringLiteral("error %1").arg(error);
    }
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("scan takes no argument"));
    QStringList addresses{QString()};
    if (args.isSet(QStringLiteral("addresses"))) {
        const std::optional<QStringList> list = ParseScanAddresses(args.value(QStringLiteral("addresses")));
        if (!list)
            return s.usageError(QStringLiteral("--addresses needs numbers from 0 to 99 or ranges, e.g. 1-99 or 5,7 "
                                               "(0: no address)"));
        addresses = *list;
    }
    const bool all = args.isSet(QStringLiteral("all"));

    // The ports: the configured (or given) one, or with --all-ports every one that opens.
    QStringList ports;
    if (args.isSet(QStringLiteral("all-ports"))) {
        ports = Portkontrol(s.port());
        if (ports.isEmpty()) {
            s.error(QStringLiteral("no serial port could be opened"));
            return ExitPort;
        }
    } else {
        ports << PortNameFor(s.options().link.PortNumber);
    }

    ScanOptions options;
    options.all = all;
    options.cancelled = [&s] { return s.interrupted(); };

    std::vector<ScanFound> found;
    int portsFailed = 0;
    bool cancelled = false;
    for (const QString &port : ports) {
        // "COM3" is kept as the number "3", as the settings keep it; a path as it is.
        const int number = ComPortMap::comNumber(port);
        s.link().settings.PortNumber = number > 0 ? QString::number(number) : port;
        const QString lineSettings = s.options().link.PortSettings;
        options.tries = ScanTriesFor(port, lineSettings, addresses);
        if (!ScanTriesLineSettings(port))
            s.error(QStringLiteral("%1 is a raw TCP server: its line settings are its own, so only the checksum and "
                                   "the addresses are tried, at %2 (rfc2217:// sets each try's line settings)")
                        .arg(port, lineSettings));
        const int tries = int(options.tries.size());
        const int seconds = int(std::ceil(ScanEstimateSeconds(options.tries)));
        s.error(QStringLiteral("scanning %1: %2 tries, at most %3 s").arg(port).arg(tries).arg(seconds));
        options.progress = [&s, &port](int done, int total, const ScanTry &next) {
            s.progress(QStringLiteral("%1  %2/%3  %4  address %5  checksum %6")
                           .arg(port)
                           .arg(done)
                           .arg(total)
                           .arg(next.lineSettings, addressText(next.address),
                                next.checksum ? QStringLiteral("on") : QStringLiteral("off")));
        };
        const ScanResult r = ScanPort(s.link(), options);
        s.endProgress();
        for (const ScanFound &f : r.found) {
            found.push_back(f);
            if (!s.json())
                s.print(foundLine(f));
        }
        if (r.outcome == ScanResult::Outcome::PortFailed) {
            ++portsFailed;
            s.error(QStringLiteral("%1: the port could not be opened (%2)").arg(port, portErrorText(r.portError)));
            continue;
        }
        if (r.outcome == ScanResult::Outcome::Cancelled) {
            cancelled = true;
            break;
        }
        if (r.outcome == ScanResult::Outcome::NothingFound) {
            s.error(QStringLiteral("%1: no indicator answered").arg(port));
            // An indicator with an address of its own ignores frames without one.
            if (!args.isSet(QStringLiteral("addresses")))
                s.error(QStringLiteral("only frames without an address were tried; --addresses 1-99 tries each address too"));
        }
        if (!found.empty() && !all)
            break;
    }

    if (s.json()) {
        QJsonArray list;
        for (const ScanFound &f : found)
            list.append(foundJson(f));
        s.print(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
    }
    if (cancelled) {
        s.error(QStringLiteral("scan cancelled"));
        return ExitCancelled;
    }
    if (!found.empty())
        return ExitOk;
    return portsFailed == int(ports.size()) ? ExitPort : ExitNoAnswer;
}

const Registration registration{{
    .name = QStringLiteral("scan"),
    .synopsis = QStringLiteral("scan [--all-ports] [--addresses LIST] [--all]"),
    .help = QStringLiteral(
        "find an indicator: read the version text at every line speed (1200 to 57600),\n"
        "framing (N,8,1 O,7,1 E,7,1) and checksum setting, with no address unless\n"
        "--addresses is given; prints port, line settings, address, checksum, model and\n"
        "version of what answered (JSON: an array of objects). Exit 0 found, 1 nothing\n"
        "found, 3 the port could not be opened, 6 cancelled"),
    .options = {{QStringLiteral("all-ports"), QString(),
                 QStringLiteral("Scan every serial port that opens, not only the configured one "
                                "(frames go to whatever device is there).")},
                {QStringLiteral("addresses"), QStringLiteral("LIST"),
                 QStringLiteral("Sweep these addresses, e.g. 1-99 or 5,7 (0: no address); each multiplies "
                                "the tries.")},
                {QStringLiteral("all"), QString(),
                 QStringLiteral("Go on after the first indicator (several on one RS-485 line).")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
