// vextora-sim: the virtual indicator on a pseudo-terminal, for the demo, the
// benchmark and hand testing with the real program.

#include "link/Options.h"
#include "sim/Faults.h"
#include "sim/Modules.h"
#include "sim/Platform.h"
#include "sim/PtyServer.h"
#include "sim/VirtualIndicator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <memory>
#include <vector>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    const ssize_t ignored = ::write(g_signalPipe[1], &c, 1);
    (void)ignored;
}

[[noreturn]] void badUsage(const QString &text)
{
    std::fprintf(stderr, "vextora-sim: %s\n", qPrintable(text));
    std::exit(2);
}

QString cleanForLog(const QByteArray &bytes)
{
    QString out;
    for (char c : bytes) {
        const uchar u = uchar(c);
        if (u == '\r')
            out += QStringLiteral("<CR>");
        else if (u < 0x20 || u >= 0x7F)
            out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += QLatin1Char(c);
    }
    return out;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vextora-sim"));

    using vx::sim::VirtualIndicator;
    const VirtualIndicator::Options defaults;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Virtual weighing indicator on a pseudo-terminal.\n"
                       "Prints the terminal's path on one line once it is ready, serves the register\n"
                       "protocol until SIGINT or SIGTERM, then removes the link and saves the state.\n\n")
        + vx::sim::FaultHelp());
    parser.addHelpOption();
    const QCommandLineOption linkOpt(QStringLiteral("link"),
                                     QStringLiteral("Make PATH a symbolic link to the terminal (required)."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption modelOpt(QStringLiteral("model"),
                                      QStringLiteral("Version text of register 199, up to 10 characters "
                                                     "(default \"%1\").").arg(defaults.model),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption secondOpt(QStringLiteral("second-text"),
                                       QStringLiteral("Text of register 204, up to 10 characters "
                                                      "(default \"%1\").").arg(defaults.secondText),
                                       QStringLiteral("TEXT"));
    const QCommandLineOption addressOpt(QStringLiteral("address"),
                                        QStringLiteral("Device address, 0 to 99 (default none: frames "
                                                       "without address field; 0 means the same)."),
                                        QStringLiteral("NN"));
    const QCommandLineOption addressesOpt(QStringLiteral("addresses"),
                                          QStringLiteral("Several indicators on one line (RS-485), one at each "
                                                         "address of LIST (e.g. 5,7), each with its own registers."),
                                          QStringLiteral("LIST"));
    const QCommandLineOption baudStrictOpt(QStringLiteral("baud-strict"),
                                           QStringLiteral("Understand only a client whose port is set to the line "
                                                          "speed of --baud; at another speed nothing answers."));
    const QCommandLineOption checksumOpt(QStringLiteral("checksum"),
                                         QStringLiteral("Expect and send the LRC checksum (default on)."),
                                         QStringLiteral("on|off"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"),
                                     QStringLiteral("Pace answers at N baud, 10 bits a character "
                                                    "(default 0: no pacing)."),
                                     QStringLiteral("N"));
    const QCommandLineOption latencyOpt(QStringLiteral("latency-ms"),
                                        QStringLiteral("Milliseconds between a request's CR and the "
                                                       "answer (default 5)."),
                                        QStringLiteral("N"));
    const QCommandLineOption stateOpt(QStringLiteral("state"),
                                      QStringLiteral("Load the registers from FILE if it exists; save "
                                                     "them there on exit."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("Inject a fault (repeatable); RULE as described above."),
                                      QStringLiteral("RULE"));
    const QCommandLineOption strictOpt(QStringLiteral("strict-writes"),
                                       QStringLiteral("Refuse writes whose data length, byte count and "
                                                      "register count disagree."));
    const QCommandLineOption logOpt(QStringLiteral("log"),
                                    QStringLiteral("Print every request and answer on standard error."));
    const QCommandLineOption calibrationOpt(QStringLiteral("calibration"),
                                            QStringLiteral("Hardware status: weighing calibration permitted "
                                                           "(default on)."),
                                            QStringLiteral("on|off"));
    const QCommandLineOption analogOpt(QStringLiteral("analog-card"),
                                       QStringLiteral("Hardware status: analog output card present (default on)."),
                                       QStringLiteral("on|off"));
    const QCommandLineOption operatingOpt(QStringLiteral("operating-status"),
                                          QStringLiteral("Operating status word of register 2 as 4 hex digits, "
                                                         "first byte first (default 2003)."),
                                          QStringLiteral("HHHH"));
    const QCommandLineOption spanRefusalsOpt(QStringLiteral("span-refusals"),
                                             QStringLiteral("Refuse the next N span calibration steps with "
                                                            "code 25, test weight too small (default 0)."),
                                             QStringLiteral("N"));
    const QCommandLineOption motionOpt(QStringLiteral("weight-motion"),
                                       QStringLiteral("A weight that moves as a load cell's does: noise, a slow "
                                                      "drift and a load put on (default off: a gentle sway)."),
                                       QStringLiteral("on|off"));
    const QCommandLineOption loadOpt(QStringLiteral("load"),
                                     QStringLiteral("With --weight-motion: the load put on, in display digits "
                                                    "(0,1 kg each in the default range; default 500, 0: none)."),
                                     QStringLiteral("DIGITS"));
    const QCommandLineOption loadAtOpt(QStringLiteral("load-at"),
                                       QStringLiteral("With --weight-motion: seconds after the start at which the "
                                                      "load is put on (default 30)."),
                                       QStringLiteral("S"));
    const QCommandLineOption platformFileOpt(
        QStringLiteral("platform-file"),
        QStringLiteral("A platform a verification loads: the load in kg, optionally followed by the segment "
                       "1-4 (0: centre), read from FILE whenever it changes; the stable bit follows the "
                       "settling."),
        QStringLiteral("FILE"));
    const QCommandLineOption spanErrorOpt(QStringLiteral("span-error"),
                                          QStringLiteral("With --platform-file: the span error in percent "
                                                         "(0.1 shows 0,1 % too much; default 0)."),
                                          QStringLiteral("PERCENT"));
    const QCommandLineOption eccentricityOpt(
        QStringLiteral("eccentricity"),
        QStringLiteral("With --platform-file: digits added at the centre and on segments 1-4, five numbers "
                       "joined by commas (default 0,0,0,0,0)."),
        QStringLiteral("D0,D1,D2,D3,D4"));
    const QCommandLineOption noiseOpt(QStringLiteral("noise"),
                                      QStringLiteral("With --platform-file: noise, at most this many digits either "
                                                     "way (default 0)."),
                                      QStringLiteral("DIGITS"));
    const QCommandLineOption settleOpt(QStringLiteral("settle"),
                                       QStringLiteral("With --platform-file: seconds a change of load takes to "
                                                      "settle (default 1)."),
                                       QStringLiteral("S"));
    parser.addOptions({linkOpt, modelOpt, secondOpt, addressOpt, addressesOpt, baudStrictOpt, checksumOpt, baudOpt,
                       latencyOpt, stateOpt,
                       faultOpt, strictOpt, logOpt, calibrationOpt, analogOpt, operatingOpt, spanRefusalsOpt,
                       motionOpt, loadOpt, loadAtOpt, platformFileOpt, spanErrorOpt, eccentricityOpt, noiseOpt,
                       settleOpt});

    if (!parser.parse(QCoreApplication::arguments()))
        badUsage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        badUsage(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    const QString linkPath = parser.value(linkOpt);
    if (linkPath.isEmpty())
        badUsage(QStringLiteral("--link PATH is required"));

    VirtualIndicator::Options options;
    options.strictWrites = parser.isSet(strictOpt);
    if (parser.isSet(addressOpt)) {
        const auto address = vx::ParseAddressOption(parser.value(addressOpt));
        if (!address || address->isEmpty())
            badUsage(QStringLiteral("bad --address \"%1\": expected a number from 0 to 99")
                         .arg(parser.value(addressOpt)));
        options.address = *address == QLatin1String("00") ? QString() : *address;
    }
    QStringList lineAddresses;  // --addresses: one indicator at each
    if (parser.isSet(addressesOpt)) {
        if (parser.isSet(addressOpt))
            badUsage(QStringLiteral("--address and --addresses cannot be given together"));
        if (parser.isSet(QStringLiteral("state")))
            badUsage(QStringLiteral("--state keeps one indicator's registers: it cannot be given with --addresses"));
        for (const QString &item : parser.value(addressesOpt).split(QLatin1Char(','))) {
            const auto address = vx::ParseAddressOption(item);
            if (!address || address->isEmpty())
                badUsage(QStringLiteral("bad --addresses \"%1\": expected numbers from 0 to 99 joined by commas")
                             .arg(parser.value(addressesOpt)));
            const QString field = *address == QLatin1String("00") ? QString() : *address;
            if (lineAddresses.contains(field))
                badUsage(QStringLiteral("bad --addresses \"%1\": an address is given twice")
                             .arg(parser.value(addressesOpt)));
            lineAddresses << field;
        }
    }
    vx::sim::PtyServer::Timing timing;
    if (parser.isSet(baudOpt)) {
        bool ok = false;
        timing.baud = parser.value(baudOpt).trimmed().toInt(&ok, 10);
        if (!ok || timing.baud < 0 || timing.baud > 4000000)
            badUsage(QStringLiteral("bad --baud \"%1\": expected a whole number from 0 to 4000000")
                         .arg(parser.value(baudOpt)));
    }
    timing.baudStrict = parser.isSet(baudStrictOpt);
    if (timing.baudStrict && timing.baud <= 0)
        badUsage(QStringLiteral("--baud-strict needs the line speed: --baud N"));
    if (parser.isSet(latencyOpt)) {
        bool ok = false;
        const double ms = parser.value(latencyOpt).trimmed().toDouble(&ok);
        if (!ok || !(ms >= 0) || ms > 600000)
            badUsage(QStringLiteral("bad --latency-ms \"%1\": expected milliseconds from 0 to 600000")
                         .arg(parser.value(latencyOpt)));
        timing.latency = ms / 1000.0;
    }
    for (const QString &text : {parser.value(modelOpt), parser.value(secondOpt)}) {
        if (text.size() > 10)
            badUsage(QStringLiteral("text \"%1\" is longer than 10 characters").arg(text));
    }
    auto onOff = [&](const QCommandLineOption &option, bool fallback) {
        if (!parser.isSet(option))
            return fallback;
        const auto on = vx::ParseOnOff(parser.value(option));
        if (!on)
            badUsage(QStringLiteral("bad --%1 \"%2\": expected on or off")
                         .arg(option.names().first(), parser.value(option)));
        return *on;
    };
    options.checksum = onOff(checksumOpt, options.checksum);
    vx::sim::ModuleOptions modules;
    modules.status.calibrationPermitted = onOff(calibrationOpt, true);
    modules.status.analogCard = onOff(analogOpt, true);
    if (parser.isSet(operatingOpt)) {
        bool ok = false;
        const QString text = parser.value(operatingOpt).trimmed();
        const uint word = text.toUInt(&ok, 16);
        if (!ok || text.size() != 4)
            badUsage(QStringLiteral("bad --operating-status \"%1\": expected 4 hex digits").arg(text));
        modules.status.operatingA = quint8(word >> 8);
        modules.status.operatingB = quint8(word & 0xFF);
    }
    if (parser.isSet(spanRefusalsOpt)) {
        bool ok = false;
        const int n = parser.value(spanRefusalsOpt).trimmed().toInt(&ok);
        if (!ok || n < 0 || n > 1000)
            badUsage(QStringLiteral("bad --span-refusals \"%1\": expected a whole number from 0 to 1000")
                         .arg(parser.value(spanRefusalsOpt)));
        modules.calibration.spanRefusals = n;
    }
    modules.status.motion.on = onOff(motionOpt, false);
    if (parser.isSet(loadOpt)) {
        bool ok = false;
        const int digits = parser.value(loadOpt).trimmed().toInt(&ok);
        if (!ok || digits < -1000000 || digits > 1000000)
            badUsage(QStringLiteral("bad --load \"%1\": expected a whole number of digits from -1000000 to 1000000")
                         .arg(parser.value(loadOpt)));
        modules.status.motion.load = digits;
    }
    if (parser.isSet(loadAtOpt)) {
        bool ok = false;
        const double at = parser.value(loadAtOpt).trimmed().toDouble(&ok);
        if (!ok || !(at >= 0) || at > 86400)
            badUsage(QStringLiteral("bad --load-at \"%1\": expected seconds from 0 to 86400")
                         .arg(parser.value(loadAtOpt)));
        modules.status.motion.loadAt = at;
    }
    std::optional<vx::sim::PlatformOptions> platformOptions;
    if (parser.isSet(platformFileOpt)) {
        QString error;
        const auto platform = vx::sim::PlatformOptionsOf(
            parser.value(platformFileOpt), parser.isSet(spanErrorOpt) ? parser.value(spanErrorOpt) : QString(),
            parser.isSet(eccentricityOpt) ? parser.value(eccentricityOpt) : QString(),
            parser.isSet(noiseOpt) ? parser.value(noiseOpt) : QString(),
            parser.isSet(settleOpt) ? parser.value(settleOpt) : QString(), &error);
        if (!platform)
            badUsage(error);
        platformOptions = *platform;
    } else {
        for (const QCommandLineOption *o : {&spanErrorOpt, &eccentricityOpt, &noiseOpt, &settleOpt})
            if (parser.isSet(*o))
                badUsage(QStringLiteral("--%1 goes with --platform-file").arg(o->names().first()));
    }
    std::vector<vx::sim::FaultRule> faults;
    for (const QString &ruleText : parser.values(faultOpt)) {
        QString error;
        const auto rule = vx::sim::ParseFault(ruleText, &error);
        if (!rule)
            badUsage(QStringLiteral("bad --fault: %1").arg(error));
        faults.push_back(*rule);
    }

    if (lineAddresses.isEmpty())
        lineAddresses << options.address;
    std::vector<std::unique_ptr<VirtualIndicator>> devices;
    for (const QString &address : lineAddresses) {
        VirtualIndicator::Options own = options;
        own.address = address;
        devices.push_back(std::make_unique<VirtualIndicator>(own));
    }
    VirtualIndicator &device = *devices.front();
    const QString statePath = parser.value(stateOpt);
    if (!statePath.isEmpty() && QFileInfo::exists(statePath)) {
        QString error;
        if (!device.loadState(statePath, &error)) {
            std::fprintf(stderr, "vextora-sim: cannot load state: %s\n", qPrintable(error));
            return 1;
        }
    }
    // Texts given on the command line win over the state file.
    QElapsedTimer running;
    running.start();
    modules.seconds = [&running] { return running.elapsed() / 1000.0; };
    modules.parameters.clockStart = QDateTime::currentDateTime();
    std::vector<VirtualIndicator *> line;
    for (const auto &one : devices) {
        if (parser.isSet(modelOpt))
            one->setModel(parser.value(modelOpt));
        if (parser.isSet(secondOpt))
            one->setSecondText(parser.value(secondOpt));
        for (const auto &rule : faults)
            one->addFault(rule);
        vx::sim::InstallDefaultModules(*one, modules);
        if (platformOptions)
            vx::sim::InstallPlatform(*one, modules.seconds, std::make_shared<vx::sim::Platform>(*platformOptions));
        line.push_back(one.get());
    }

    // Signals reach the event loop through a socket pair.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        std::perror("vextora-sim: socketpair");
        return 1;
    }
    ::fcntl(g_signalPipe[1], F_SETFL, ::fcntl(g_signalPipe[1], F_GETFL) | O_NONBLOCK);
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char buf[16];
        const ssize_t ignored = ::read(g_signalPipe[0], buf, sizeof buf);
        (void)ignored;
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    vx::sim::PtyServer server(line, timing);
    if (parser.isSet(logOpt)) {
        server.setExchangeLog([](const QByteArray &request, const QByteArray &answer) {
            std::fprintf(stderr, "-> %s\n<- %s\n", qPrintable(cleanForLog(request + '\r')),
                         answer.isEmpty() ? "(no answer)" : qPrintable(cleanForLog(answer)));
        });
    }
    QString error;
    if (!server.start(linkPath, &error)) {
        std::fprintf(stderr, "vextora-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stdout, "%s\n", qPrintable(server.slavePath()));
    std::fflush(stdout);

    const int rc = app.exec();

    server.stop();
    if (!statePath.isEmpty() && !device.saveState(statePath, &error)) {
        std::fprintf(stderr, "vextora-sim: cannot save state: %s\n", qPrintable(error));
        return 1;
    }
    return rc;
}
