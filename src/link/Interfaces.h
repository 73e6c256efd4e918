#pragma once
// The three small interfaces through which core code reaches the outside world:
// the serial port, the clock and the operator (the person at the screen).
// Device sequences are plain synchronous functions written against these; the
// window implements them with Qt widgets and an event-pumping clock, the tests
// with the in-process virtual indicator and a virtual clock.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace vx {

// Error numbers of the port layer, as the connect sequence tests them.
namespace PortErr {
inline constexpr int None = 0;
inline constexpr int NoSuchPort = 8002;    // the port does not exist
inline constexpr int Busy = 8005;          // already open, locked or no permission
inline constexpr int NotOpen = 8012;       // operation on a closed port
inline constexpr int BadSettings = 8015;   // malformed line settings text
inline constexpr int Other = 8020;         // any other failure of the device
inline constexpr int NotSerialPort = 8021; // the device is no serial port (a file, /dev/null)
// A serial server took the connection and closed it at once: it serves one client at a
// time and another one holds the port.
inline constexpr int ServerClosed = 8022;
}  // namespace PortErr

struct PortResult {
    int error = PortErr::None;  // 0 on success
    QString description;        // human-readable reason when error != 0
    bool ok() const { return error == PortErr::None; }
};

// One RS-232 port. Bytes travel unchanged; the frames of the protocol are ASCII.
class SerialPortIo {
public:
    virtual ~SerialPortIo() = default;
    // portName is "COMn" or a device path; lineSettings is e.g. "9600,N,8,1".
    virtual PortResult open(const QString &portName, const QString &lineSettings) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray &bytes) = 0;
    virtual qint64 bytesWaiting() = 0;  // count of received bytes not read yet
    virtual QByteArray readAll() = 0;   // everything received so far
    // Waits up to maxSeconds for bytes to come, returning as soon as some have (true).
    // False: this port cannot wait (it waited not at all), and the caller idles on the clock.
    virtual bool waitForBytes(double maxSeconds)
    {
        (void)maxSeconds;
        return false;
    }
    // Seconds a request and its answer spend on the way beyond the serial line (a
    // network port's round trip); the waits for answers add them.
    virtual double roundTripSeconds() const { return 0; }
};

// Time. secondsSinceMidnight wraps to 0 at midnight like the original timer function.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
    virtual QDateTime now() const = 0;
    // Let at most maxSeconds pass (it may return earlier, e.g. when input arrives).
    // With pumpEvents the window keeps processing its events meanwhile.
    virtual void idle(double maxSeconds, bool pumpEvents) = 0;
    // Runs fn once, about `seconds` from now, from the event processing of a later
    // wait or of the window's event loop (the window's timers are built on this).
    virtual void callAfter(double seconds, std::function<void()> fn) = 0;
    // While held, waits that process events leave the mouse and the keys for later:
    // they reach the window, in their order, once the hold ends. Holds nest.
    virtual void holdUserInput(bool hold) { (void)hold; }
};

enum class Icon { None, Information, Warning, Critical, Question };
enum class Choice { Ok, Cancel, Yes, No, Abort, Retry, Ignore };
enum class ProgressId { Small /* ProgressBar3 */, Main /* ProgressBar1 */, Send /* ProgressBar2 */ };
// How a step or outcome line is shown (the calibration label's colours, a console's prefix).
enum class Tone { Normal, Working, Success, Failure };

// The person at the screen: message boxes, questions, input and progress.
class Operator {
public:
    virtual ~Operator() = default;
    virtual void message(const QString &text, Icon icon = Icon::None, const QString &title = {}) = 0;
    virtual Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title = {}) = 0;
    virtual Choice okCancel(const QString &text, Icon icon, const QString &title = {}) = 0;
    virtual Choice yesNo(const QString &text, Icon icon, const QString &title = {}) = 0;
    // Returns nothing when the user cancels.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText) = 0;
    virtual void showProgress(ProgressId bar, bool visible) = 0;
    virtual void setProgress(ProgressId bar, int value, int maximum = -1) = 0;
    // The step a sequence is at ("reading parameters", "calibrating - 3"): the step
    // caption of the panel in use or the page's status label; a console prints it.
    virtual void showStep(const QString &text, Tone tone = Tone::Normal)
    {
        (void)text;
        (void)tone;
    }
};

}  // namespace vx
