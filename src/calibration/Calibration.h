#pragma once
// Weighing calibration: reading the range settings when the calibration tab is
// entered (KalibrasyonHost), and the zero, span and general calibration run as the
// window's "BAŞLA" and `vextora-cli calibrate` start it. Plain synchronous
// functions over the link; the operator confirms the unloaded platform, types the
// test weight and sees each step (Operator::showStep: the calibration status label
// of the window, standard error of the tool).
//
//   RangeReading read = KalibrasyonHost(link, texts, disconnect);
//   CalibrationRequest request{CalibrationKind::Zero, choice, read.range, read.permitted()};
//   CalibrationResult result = RunCalibration(link, op, texts, request, hooks);

#include "calibration/RangeLists.h"
#include "link/Registers.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vx {

class LanguageTexts;
class TextService;
class Link;
class Operator;

// Registers of the calibration, as the indicator numbers them.
namespace CalibrationRegister {
inline constexpr int Weight = reg::GrossWeight;  // must be above 0 before a span calibration
inline constexpr int Command = reg::Command;
inline constexpr int TestWeight = reg::TestWeight;
inline constexpr int Step = reg::CalibrationStep;
inline constexpr int Status = reg::CalibrationStatus;
inline constexpr int Hardware = reg::HardwareStatus;
inline constexpr int Mode = reg::OperatingMode;
inline constexpr int Range1 = reg::Range1;
inline constexpr int Range2 = reg::Range2;
inline constexpr int Unlock = reg::CalibrationUnlock;
inline constexpr int Seal = reg::Seal;
inline constexpr int Metrology = reg::Metrology;
inline constexpr int MetrologyBytes = reg::MetrologyBytes;
inline constexpr int OutputType = reg::AnalogOutputType;
}  // namespace CalibrationRegister

// Values written to the step register 22.
namespace CalibrationStep {
inline constexpr int Begin = 1;
inline constexpr int Finish = 2;
inline constexpr int Zero = 3;
inline constexpr int Span = 4;
}  // namespace CalibrationStep

inline constexpr int StatusPollTries = 15;
inline constexpr double StatusPollPause = 1.0;  // seconds after each poll
inline constexpr double WriteWait = 0.2;        // before the answer of an inline write is collected
inline constexpr double ReadWait = 0.05;        // before the answer of a read

// The hardware status word as the calibration consults it: the bits the status tab
// shows in its hardware rows (A bit 3 calibration permitted, B bit 4 analog card).
struct HardwareFlags {
    int a = 0;
    int b = 0;
    bool CalibrationPermitted = false;
    bool AnalogCardPresent = false;
};
HardwareFlags HardwareFlagsOf(int a, int b);

// The range as the indicator holds it, with what a general calibration writes back
// unchanged: the second byte of register 149 and the metrological bytes M1, M2, M3.
struct RangeSettings {
    RangeCodes codes;
    int metrologyLowByte = 0;          // second byte of register 149
    std::array<int, 3> metrologyBytes{};  // M1, M2, M3
    friend bool operator==(const RangeSettings &, const RangeSettings &) = default;
};

// What entering the calibration tab reads. A value is present only when its
// registers gave whole answers.
struct RangeReading {
    std::optional<HardwareFlags> hardware;   // register 25
    std::optional<bool> analogVoltage;       // register 195: true 0-10 VDC, false 4-20 mA
    std::optional<RangeSettings> range;      // registers 149..153 and 128..130, both whole
    // The indicator refused or did not answer a command: text 309 was shown and the
    // disconnect action run.
    bool refused = false;
    std::optional<bool> permitted() const
    {
        return hardware ? std::optional<bool>(hardware->CalibrationPermitted) : std::nullopt;
    }
};

// KalibrasyonHost's exchanges (the port open): the hardware word, the analog output
// type, command 7 and registers 149..153, command 12 and registers 128..130. A lost
// or cut answer of the range reads the range again (command 7 to register 128), up
// to RangeReadAttempts in all; a refusal ends it at once.
RangeReading KalibrasyonHost(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect = {});

// The range as chosen on the calibration tab (or on the command line): a field with
// nothing selected is empty.
struct RangeChoice {
    std::optional<int> mode, capacity1, division1, capacity2, division2, metrology;
    std::optional<RangeCodes> codes() const;  // all six chosen
    static RangeChoice of(const RangeCodes &codes);
};

enum class CalibrationKind { General, Zero, Span };

struct CalibrationRequest {
    CalibrationKind kind = CalibrationKind::General;
    RangeChoice choice;                      // what the range fields hold
    std::optional<RangeSettings> indicator;  // the range read on entering the tab (whole), if any
    std::optional<bool> calibrationPermitted;  // from that read; unknown counts as not permitted
};

// How a run ended.
enum class CalibrationEnd {
    Finished,      // every step of the procedure ran
    Cancelled,     // the operator cancelled the confirmation or the weight entry
    NotPermitted,  // text 310
    BadDivisions,  // text 328: dual range with the 2nd division not above the 1st
    MissingField,  // text 313: a range field is empty, or the range read was not whole
    PortFailed,    // text 271: the port could not be opened again
    NoLoad,        // text 281: a span calibration while the weight is not above 0
    Refused,       // text 309: no answer or a refusal (the link was dropped)
    Busy,          // busy: the indicator cannot take the calibration now (the link stays)
    StepRefused,   // texts 285-287: the indicator refused the zero or the finish step
};

// One step the indicator was given (register 22 = 3 zero, 4 span, 2 finish) and what
// its status poll found: the outcome and the indicator's code (B of the last whole
// answer, empty when none came).
enum class PollOutcome { Done, GaveUp, Refused };
struct CalibrationStepRecord {
    int step = 0;
    PollOutcome outcome = PollOutcome::GaveUp;
    QString code;
    friend bool operator==(const CalibrationStepRecord &, const CalibrationStepRecord &) = default;
};

// A run counted as a whole: finished only when every step ran and no message was
// shown; a message outweighs a cancel (a refused span and no weight to type again).
enum class CalibrationVerdict {
    Finished,    // every step ran, each accepted (or the run wrote nothing to refuse)
    Problem,     // a calibration message was shown (not permitted, range, no load, no status, a refused step, busy)
    Cancelled,   // the operator cancelled and nothing went wrong
    NoAnswer,    // no answer or a refusal: the link was dropped
    PortFailed,  // the port could not be opened again
};

struct CalibrationResult {
    CalibrationEnd end = CalibrationEnd::Finished;
    std::vector<CalibrationStepRecord> steps;  // in the order they were sent
    QString testWeight;  // the last test weight sent, in kg as typed and cut to the division ("150.0")
    bool pollGaveUp = false;   // a status poll got no valid status (texts 282-284 shown)
    bool stepRefused = false;  // the indicator refused a step (texts 285-287 shown)
    std::optional<RangeSettings> written;  // the range block a general calibration wrote
    bool finishStepRan = false;
    // How the whole run counts: what the tool's exit status and the report's outcome say.
    CalibrationVerdict verdict() const;
    // Every outcome that showed a calibration message (310, 313, 328, 281, 282-287, busy).
    bool reportedProblem() const
    {
        return pollGaveUp || stepRefused || end == CalibrationEnd::NotPermitted || end == CalibrationEnd::BadDivisions
               || end == CalibrationEnd::MissingField || end == CalibrationEnd::NoLoad
               || end == CalibrationEnd::StepRefused || end == CalibrationEnd::Busy;
    }
};

// What the caller does at the run's turning points.
struct CalibrationHooks {
    // After the checks, before anything is sent: (re)open the port. False ends the run
    // with PortFailed (text 271 shown).
    std::function<bool()> openPort;
    // The link was dropped (a refused or missing answer).
    std::function<void()> disconnect;
};

// The checks before anything is sent, in their order (310, 328, 313): Finished when
// the run may go on; otherwise its message has been shown.
CalibrationEnd CheckCalibration(const CalibrationRequest &request, Operator &op, const LanguageTexts &texts);

// A whole run: the checks, then the procedure of request.kind with every message
// (the language lines, and the built-in text for a busy indicator).
CalibrationResult RunCalibration(Link &link, Operator &op, const TextService &texts,
                                 const CalibrationRequest &request, const CalibrationHooks &hooks = {});

// ---- the pieces of a run --------------------------------------------------------

// The status poll: up to 15 reads of register 23, one second apart, until its first
// byte says done; then the outcome's message or status line.
struct PollResult {
    PollOutcome outcome = PollOutcome::GaveUp;
    QString code;  // B of the last whole answer ("00", "25", ...)
    int tries = 0;
};
PollResult KalibrasyonDurumBekle(Link &link, Operator &op, const LanguageTexts &texts);

// The test weight as typed: a positive number ("." or "," as decimal separator) up
// to the 1st capacity, sent in units of the division's last decimal.
enum class WeightCheck {
    Ok,
    NotANumber,
    Zero,           // 0, or less than one unit of the division's last decimal
    AboveCapacity,  // text 296
};
struct TestWeight {
    WeightCheck check = WeightCheck::NotANumber;
    qint64 units = 0;  // what register 20 gets: 12.5 with division 0.01 gives 1250
};
TestWeight CheckTestWeight(const QString &entry, const QString &capacityText, const QString &divisionText);
// The entry as it will be sent: "," written ".", the fraction cut (not rounded) to the
// division's decimals, the point dropped when the division has none ("100.55" with
// "0.1" gives "100.5", with "1" gives "100"). A text that is no number stays as it is.
QString CutTestWeight(const QString &entry, const QString &divisionText);
// The division whose decimals the span step of `request` sends the weight in: the
// chosen range's for a general calibration, the indicator's for a span calibration;
// empty for a zero calibration or a range not known.
QString TestWeightDivision(const CalibrationRequest &request);
// The weight proposed in the entry: half the capacity.
QString SuggestedTestWeight(const QString &capacityText);
// The prompt of the weight entry: texts 259, 260 and 295.
QString TestWeightPrompt(const LanguageTexts &texts);

}  // namespace vx
