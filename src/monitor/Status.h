#pragma once
// Reading the indicator's live status: six measured values, the operating status
// word (register 2) and the hardware status word (register 25). A reading is a
// typed value; the status grid and the command-line tool render it through one
// row table (StatusRows), so the layout lives here once.

#include "link/Registers.h"
#include "monitor/StatusTable.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vx {

class Link;
class LanguageTexts;

// The two bytes of a status word as the indicator sent them: A the first, B the second.
struct StatusWord {
    int a = 0;
    int b = 0;
    friend bool operator==(const StatusWord &, const StatusWord &) = default;
};

// The hardware status word with the two flags calibration and sending consult.
struct HardwareStatus {
    StatusWord word;
    bool CalibrationPermitted = false;  // A bit 3
    bool AnalogCardPresent = false;     // B bit 4
};

// The derived flags as far as they are known: empty when register 25 gave no value.
struct MonitorFlags {
    std::optional<bool> CalibrationPermitted;
    std::optional<bool> AnalogCardPresent;
};

// Registers of the six measured values, in row order (rows 1 to 6).
inline constexpr std::array<int, 6> MeasuredRegisters = {reg::GrossWeight,    reg::NetWeight,      reg::TareWeight,
                                                        reg::Setpoint1Value, reg::Setpoint2Value, reg::Setpoint3Value};
inline constexpr int OperatingRegister = reg::OperatingStatus;
inline constexpr int HardwareRegister = reg::HardwareStatus;

// One status reading. A value is present only when its register gave a whole
// answer; `unanswered` lists the registers that did not, in the order asked.
struct StatusReading {
    std::array<std::optional<qint64>, 6> values;  // raw numbers of MeasuredRegisters
    std::optional<StatusWord> operating;           // register 2
    std::optional<HardwareStatus> hardware;        // register 25
    std::vector<int> unanswered;
    // The first register did not answer or refused: the reading stopped there, the
    // message was shown and the disconnect action run.
    bool refused = false;

    bool complete() const { return !refused && unanswered.empty(); }
    MonitorFlags flags() const;
};

// What a row of the status grid shows.
enum class StatusRowKind {
    Weight,   // a measured value shaped by FormatWithDecimals (rows 1-3)
    Scaled,   // a measured value with InsertDecimalComma (rows 4-6)
    Flag,     // one bit: the first text when clear, the second when set
    Mode,     // operating A bits 7, 6, 5 as n: texts 245..250 for n = 0..5, 251 beyond
    Number,   // hardware B bits 3, 2, 1 as a number
};
enum class StatusByte { A, B };

// One row of the status grid: where its value comes from and how it is shown.
struct StatusRow {
    int row;              // grid row (column 1 holds the value)
    int captionLine;      // language line of the caption (column 0)
    const char *key;      // stable English name for machine-readable output
    int reg;              // the register the value comes from
    StatusRowKind kind;
    int index = 0;        // Weight/Scaled: index into StatusReading::values; Flag: the bit
    StatusByte byte = StatusByte::B;  // Flag: which byte of the word
    int textClear = 0;    // Flag: language line for bit 0
    int textSet = 0;      // Flag: language line for bit 1
};
const std::array<StatusRow, 25> &StatusRows();

// How weights are shown; the parameter work sets these from the indicator's range.
struct StatusFormat {
    QString weightReference;  // FormatWithDecimals reference (empty: values shown raw)
    int decimals = 0;         // InsertDecimalComma decimals for rows 4-6
};

// The typed value of a row: a number (measured values, mode, board number) or a bit.
// Empty when the row's register gave no value.
struct StatusRowValue {
    std::optional<qint64> number;
    std::optional<bool> bit;
    bool present() const { return number.has_value() || bit.has_value(); }
};
StatusRowValue StatusValueOf(const StatusReading &reading, const StatusRow &row);
// The text of a row's value cell; empty when its register gave no value.
QString StatusValueText(const StatusReading &reading, const StatusRow &row, const LanguageTexts &texts,
                        const StatusFormat &format);

// The status grid: captions, and every value row from a reading. Rows 1-3 are
// rewritten only when their value changed (StatusTable::kept).
void ApplyStatusCaptions(StatusTable &grid, const LanguageTexts &texts);
void ShowStatusReading(StatusTable &grid, const StatusReading &reading, const LanguageTexts &texts,
                       const StatusFormat &format);

// The whole reading between one pair of host-mode commands. When the first
// register does not answer or refuses, host mode is left, language text 309 is
// shown, `disconnect` runs and the reading comes back refused.
StatusReading StatuOku(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect = {});

// The operating status word of a decoded "Tx" text (a one-character text gives
// B = A); empty for an empty text.
std::optional<StatusWord> DurumOku(const QString &statusText);
// The hardware status word and its two flags, likewise.
std::optional<HardwareStatus> HWDurumOku(const QString &statusText);

}  // namespace vx
