#pragma once
// The indicator's clock on its own (vextora-cli clock, the parameter page's "Set to
// this PC's time"): read as the parameter read reads it (host mode, command 5,
// register 124, host mode left) and set by the date-time transfer of the parameter
// write (register 124, command 6), then read back. A setting counts only when the
// read-back agrees with the PC's clock within ClockTolerance seconds.

#include <QDateTime>
#include <QString>
#include <optional>

namespace vx {

class Link;
class TextService;

inline constexpr int ClockTolerance = 2;  // seconds

// "DD-MM-YY \ hh:mm:ss" (what follows is ignored) as a moment; invalid when the text
// names no date and time of the calendar.
QDateTime ClockCellTime(const QString &cell);
// The moment as the parameter grid's clock cell shows it: "07-12-26 \ 16:05:09".
QString ClockCellText(const QDateTime &time);

struct ClockReading {
    bool answered = false;  // a whole answer came
    QString text;           // the clock's cell text as decoded
    QDateTime indicator;    // invalid: the answer named no date and time of the calendar
    QDateTime pc;           // the PC's clock when the answer came
    // The indicator's clock ahead (+) or behind (-) the PC's, in whole seconds.
    qint64 difference() const { return pc.secsTo(indicator); }
    bool valid() const { return answered && indicator.isValid(); }
};

// The caller holds the line. A refused or missing answer: answered false (host mode
// is then left all the same).
ClockReading ReadIndicatorClock(Link &link);

struct ClockSetting {
    enum class Outcome {
        Set,         // written, and the read-back agrees within the tolerance
        NotWritten,  // the write or its command 6 was not acknowledged (or aborted)
        NoReadBack,  // written, but the read-back had no whole answer
        Disagrees,   // written, but the read-back differs by more than the tolerance
    };
    Outcome outcome = Outcome::NotWritten;
    QDateTime sent;           // the PC's time that was written
    ClockReading readBack;
    bool ok() const { return outcome == Outcome::Set; }
};

// Writes the PC's time (the link's clock) to the indicator and reads it back. The
// caller holds the line and clears AbortRequested before.
ClockSetting SetIndicatorClockToPc(Link &link, const TextService &texts);

// What the window and the tool say about a setting that did not count.
QString ClockSettingProblem(const ClockSetting &setting, const TextService &texts);

}  // namespace vx
