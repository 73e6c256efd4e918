#pragma once
// Adjusting the analog output card: the output type (register 195), the start and
// end of an adjustment run and its steps (register 24), and the two adjustment
// values the indicator shows meanwhile (registers 190 and 191). The window's step
// buttons come in two groups of four, the zero point (Sıfır) and the second point
// (FS): fast up, fast down, slow up, slow down.

#include "link/Answer.h"
#include "link/Registers.h"

#include <QString>
#include <functional>
#include <optional>

namespace vx {

class LanguageTexts;
class Link;

namespace AnalogRegister {
inline constexpr int Adjust = reg::AnalogAdjust;  // 1 start, 2 end, 3..10 steps
inline constexpr int ZeroValue = reg::AnalogZeroValue;
inline constexpr int SpanValue = reg::AnalogSpanValue;
}  // namespace AnalogRegister

inline constexpr int AnalogAdjustStart = 1;
inline constexpr int AnalogAdjustEnd = 2;
inline constexpr double AnalogSettle = 0.5;       // after each write of the start
inline constexpr double AnalogRepeatPause = 1.0;  // after each tick of the repeat loop, events held

// AlogDurum: the output type from a whole answer to the read of register 195: the
// first data byte non-zero means 0-10 VDC (true), zero 4-20 mA (false). Nothing for
// an answer that is not a whole frame of two data bytes.
std::optional<bool> AlogDurum(const Answer &judged);
std::optional<bool> AlogDurum(const QString &answer, const QString &address, bool checksumOn);

enum class AnalogPoint { Zero, FullScale };
// Index of a step button in its group.
enum class AnalogStepButton { FastUp = 0, FastDown = 1, SlowUp = 2, SlowDown = 3 };
struct AnalogButton {
    AnalogPoint point = AnalogPoint::Zero;
    AnalogStepButton step = AnalogStepButton::FastUp;
    friend bool operator==(const AnalogButton &, const AnalogButton &) = default;
};
// The value register 24 gets for one step: 3 (+100), 4 (-100), 5 (+5), 6 (-5) for the
// zero point, 7 to 10 likewise for the second point.
int AnalogStepCode(AnalogButton button);
// The change of the point's value one step makes: +100, -100, +5, -5.
int AnalogStepDelta(AnalogStepButton step);
// The register holding the point's value (190 zero, 191 second point).
int AnalogValueRegister(AnalogPoint point);
// Whether a step stays inside the value range: up while value + step is below 65535
// (zero point) or 65536 (second point), down while value - step is not below 0.
bool AnalogStepAllowed(AnalogButton button, qint64 value);

// AnalogOku: command 7, then the 2-byte register as a number from 0 to 65535. Nothing
// while the port is closed or when the answer is not whole.
std::optional<qint64> AnalogOku(Link &link, int reg);

// Start of an adjustment run (the port open): the output type to register 195,
// command 8, then register 24 = 1.
enum class AnalogStartResult {
    Running,  // the indicator adjusts
    Busy,     // it answered busy: no adjustment runs, the run only waits to be ended
    Refused,  // no answer or a refusal: text 309 shown, the disconnect action run
};
AnalogStartResult StartAnalogAdjustment(Link &link, bool voltage, const LanguageTexts &texts,
                                        const std::function<void()> &disconnect = {});

// End of a run (the port open): register 24 = 2. False when the indicator did not
// answer or refused (text 309 shown, the disconnect action run).
bool EndAnalogAdjustment(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect = {});

struct AnalogValues {
    std::optional<qint64> zero;       // register 190
    std::optional<qint64> fullScale;  // register 191
    std::optional<qint64> of(AnalogPoint point) const { return point == AnalogPoint::Zero ? zero : fullScale; }
};

// One step for a button (a press, or a tick while it is held), inside the limits of
// the point's value as last shown. Nothing is sent when the value is unknown or the
// step would leave the range: the answer says so.
enum class AnalogStepResult { Sent, Limit, Unknown };
AnalogStepResult AnalogStep(Link &link, AnalogButton button, const AnalogValues &shown);

// One tick of the repeat loop: both values read and shown, one step for the button
// held at that moment (if any), then a one-second wait without window events.
struct AnalogLoop {
    std::function<void(const AnalogValues &)> show;
    std::function<std::optional<AnalogButton>()> held;
};
struct AnalogTick {
    AnalogValues values;
    std::optional<AnalogStepResult> step;  // set when a button was held
};
AnalogTick AnalogRepeat(Link &link, const AnalogLoop &loop);

}  // namespace vx
