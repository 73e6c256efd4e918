#pragma once
// Finding an indicator on the line: the version text is read at each of the
// indicator's own line settings (the speeds 1200 to 57600 of parameter [001], the
// framings N,8,1 / O,7,1 / E,7,1 of [004]), with and without the checksum, and at
// each address asked for. Each try waits for the frame's end, no longer than the
// answer takes at that speed plus ScanMargin. A whole version text names the
// indicator; anything else counts as no answer.
//
// A scan is one operation on the line (one LineLease): the port is opened again
// whenever a try's line settings differ from the last one's. A framing the port
// refuses counts as no answer for the tries at it.

#include "link/Model.h"
#include "link/Transaction.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace vx {

// The line speeds and framings an indicator can be set to, in the order they are tried.
inline constexpr int ScanSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600};
inline constexpr const char *ScanFramings[] = {"N,8,1", "O,7,1", "E,7,1"};
// What a try waits beyond the time the answer takes on the line.
inline constexpr double ScanMargin = 0.05;

struct ScanTry {
    QString lineSettings;  // "19200,N,8,1"
    QString address;       // empty (no address field) or "01".."99"
    bool checksum = true;
    bool operator==(const ScanTry &) const = default;
};

// The speeds most indicators are left at: tried before the others by the window.
inline constexpr int ScanCommonSpeeds[] = {9600, 19200};

// Every try, in order: speed by speed, framing by framing, checksum on before off,
// and the addresses (empty: none) innermost. Without addresses only "no address".
// `speeds` narrows the speeds (empty: all of ScanSpeeds).
std::vector<ScanTry> ScanTries(const QStringList &addresses = {QString()}, const std::vector<int> &speeds = {});
// The tries for a port: ScanTries, except behind a raw TCP server (tcp://), whose line
// settings are its own: there only the checksum and the addresses can be tried, at
// lineSettings (the ones the tool is told the server uses).
std::vector<ScanTry> ScanTriesFor(const QString &portName, const QString &lineSettings,
                                  const QStringList &addresses = {QString()});
// Whether a scan of the port can try line settings (false behind a raw TCP server).
bool ScanTriesLineSettings(const QString &portName);
// The same tries, likeliest first: `stored` (the setting in use, also when its address
// is not among the tries) when its speed is one of them, then the tries at the common
// speeds, then the rest in their order. No try twice.
std::vector<ScanTry> LikeliestFirst(const std::vector<ScanTry> &tries, const std::optional<ScanTry> &stored);
// "1-99", "5,7", "0,5-9": the addresses to sweep, as the settings keep them ("05");
// 0 stands for no address (empty). Nothing for a text that is not such a list.
std::optional<QStringList> ParseScanAddresses(const QString &text);

// How long a try waits for the answer once its request has left the line: the
// longest answer to the version read at that line speed, plus ScanMargin.
double ScanTryTimeout(const ScanTry &t);
// The most a try takes: its request on the line and the timeout.
double ScanTrySeconds(const ScanTry &t);
// The most a whole list of tries takes.
double ScanEstimateSeconds(const std::vector<ScanTry> &tries);

// An indicator that answered.
struct ScanFound {
    QString port;          // "COM1" or a device path
    QString lineSettings;  // "19200,N,8,1"
    QString address;       // empty or "01".."99"
    bool checksum = true;
    QString model;         // the version text's first three characters, as the connect takes them
    QString version;       // the version text without its trailing blanks
};

struct ScanOptions {
    std::vector<ScanTry> tries = ScanTries();
    // Go on after the first indicator that answered (several on one RS-485 line). An
    // address that answered is not tried again at other settings.
    bool all = false;
    // Before each try: how many ran so far, how many there are, and the try.
    std::function<void(int done, int total, const ScanTry &next)> progress;
    // Polled before each try; AbortRequested stops the scan as well.
    std::function<bool()> cancelled;
};

struct ScanResult {
    enum class Outcome {
        Found,         // at least one indicator answered
        NothingFound,  // every try ran and none got a whole version text
        PortFailed,    // the port could not be opened (portError says why)
        Busy,          // another operation holds the line
        Cancelled,     // stopped by the operator (found holds what answered before)
    };
    Outcome outcome = Outcome::NothingFound;
    int portError = 0;
    std::vector<ScanFound> found;
    int triesRun = 0;
};

// Scans the port of link.settings. The link's settings are as they were afterwards.
ScanResult ScanPort(Link &link, const ScanOptions &options);

}  // namespace vx
