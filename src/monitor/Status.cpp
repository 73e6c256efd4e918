#include "monitor/Status.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "monitor/DisplayRead.h"
#include "shell/LanguageTexts.h"
#include "shell/Refusal.h"

namespace vx {
namespace {

using K = StatusRowKind;
using Byte = StatusByte;

// The status grid, row by row: caption line, key, register, kind, and for a flag
// its byte, bit and the texts for bit 0 / bit 1. Rows 19-22 stay unused.
constexpr std::array<StatusRow, 25> kRows = {{
    {1, 272, "grossWeight", reg::GrossWeight, K::Weight, 0},
    {2, 273, "netWeight", reg::NetWeight, K::Weight, 1},
    {3, 274, "tareWeight", reg::TareWeight, K::Weight, 2},
    {4, 275, "setpoint1", reg::Setpoint1Value, K::Scaled, 3},
    {5, 276, "setpoint2", reg::Setpoint2Value, K::Scaled, 4},
    {6, 277, "setpoint3", reg::Setpoint3Value, K::Scaled, 5},
    {7, 386, "stable", reg::OperatingStatus, K::Flag, 0, Byte::B, 235, 236},
    {8, 387, "calibrated", reg::OperatingStatus, K::Flag, 1, Byte::B, 237, 238},
    {9, 388, "atZero", reg::OperatingStatus, K::Flag, 2, Byte::B, 239, 240},
    {10, 389, "tare", reg::OperatingStatus, K::Flag, 3, Byte::B, 241, 242},
    {11, 390, "presetTare", reg::OperatingStatus, K::Flag, 4, Byte::B, 241, 242},
    {12, 391, "setpoint1Output", reg::OperatingStatus, K::Flag, 5, Byte::B, 243, 244},
    {13, 392, "setpoint2Output", reg::OperatingStatus, K::Flag, 6, Byte::B, 243, 244},
    {14, 393, "setpoint3Output", reg::OperatingStatus, K::Flag, 7, Byte::B, 243, 244},
    {15, 394, "input1", reg::OperatingStatus, K::Flag, 0, Byte::A, 243, 244},
    {16, 395, "input2", reg::OperatingStatus, K::Flag, 1, Byte::A, 243, 244},
    {17, 396, "overloadWarning", reg::OperatingStatus, K::Flag, 2, Byte::A, 243, 244},
    {18, 397, "displayMode", reg::OperatingStatus, K::Mode},
    {23, 398, "keypadLock", reg::HardwareStatus, K::Flag, 0, Byte::B, 243, 244},
    {24, 399, "boardRevision", reg::HardwareStatus, K::Number},
    {25, 400, "analogOutputCard", reg::HardwareStatus, K::Flag, 4, Byte::B, 241, 242},
    {26, 401, "relayOutputCard", reg::HardwareStatus, K::Flag, 5, Byte::B, 241, 242},
    {27, 402, "rs485Card", reg::HardwareStatus, K::Flag, 6, Byte::B, 241, 242},
    {28, 403, "ethernetCard", reg::HardwareStatus, K::Flag, 7, Byte::B, 241, 242},
    {29, 404, "alibiMemoryCard", reg::HardwareStatus, K::Flag, 0, Byte::A, 241, 242},
}};

constexpr int kModeFirstText = 245;  // n = 0..5: texts 245..250
constexpr int kModeOtherText = 251;  // n = 6, 7
constexpr double kWait = 0.05;
constexpr int kAcknowledgeValue = 7;  // written to reg::StatusAcknowledge during a reading
constexpr int kSteps = 10;

bool bitOf(int value, int bit) { return (value & (1 << bit)) != 0; }
int byteOf(const StatusWord &word, Byte which) { return which == Byte::A ? word.a : word.b; }

std::optional<StatusWord> wordOf(const QString &statusText)
{
    if (statusText.isEmpty())
        return std::nullopt;
    StatusWord word;
    word.a = cp1254::fromUnicode(statusText.at(0));
    word.b = statusText.size() > 1 ? cp1254::fromUnicode(statusText.at(1)) : word.a;
    return word;
}

std::optional<StatusWord> wordFor(const StatusReading &reading, int reg)
{
    if (reg == OperatingRegister)
        return reading.operating;
    if (reg == HardwareRegister && reading.hardware)
        return reading.hardware->word;
    return std::nullopt;
}

}  // namespace

const std::array<StatusRow, 25> &StatusRows() { return kRows; }

MonitorFlags StatusReading::flags() const
{
    MonitorFlags f;
    if (hardware) {
        f.CalibrationPermitted = hardware->CalibrationPermitted;
        f.AnalogCardPresent = hardware->AnalogCardPresent;
    }
    return f;
}

std::optional<StatusWord> DurumOku(const QString &statusText) { return wordOf(statusText); }

std::optional<HardwareStatus> HWDurumOku(const QString &statusText)
{
    const auto word = wordOf(statusText);
    if (!word)
        return std::nullopt;
    return HardwareStatus{*word, bitOf(word->a, 3), bitOf(word->b, 4)};
}

StatusRowValue StatusValueOf(const StatusReading &reading, const StatusRow &row)
{
    StatusRowValue v;
    switch (row.kind) {
    case K::Weight:
    case K::Scaled:
        v.number = reading.values[size_t(row.index)];
        break;
    case K::Flag:
        if (const auto word = wordFor(reading, row.reg))
            v.bit = bitOf(byteOf(*word, row.byte), row.index);
        break;
    case K::Mode:
        if (const auto word = wordFor(reading, row.reg))
            v.number = 4 * bitOf(word->a, 7) + 2 * bitOf(word->a, 6) + bitOf(word->a, 5);
        break;
    case K::Number:
        if (const auto word = wordFor(reading, row.reg))
            v.number = 4 * bitOf(word->b, 3) + 2 * bitOf(word->b, 2) + bitOf(word->b, 1);
        break;
    }
    return v;
}

QString StatusValueText(const StatusReading &reading, const StatusRow &row, const LanguageTexts &texts,
                        const StatusFormat &format)
{
    const StatusRowValue v = StatusValueOf(reading, row);
    if (!v.present())
        return {};
    switch (row.kind) {
    case K::Weight:
        return FormatWithDecimals(QString::number(*v.number), format.weightReference);
    case K::Scaled:
        return InsertDecimalComma(QString::number(*v.number), format.decimals);
    case K::Flag:
        return texts.text(*v.bit ? row.textSet : row.textClear);
    case K::Mode:
        return texts.text(*v.number <= 5 ? kModeFirstText + int(*v.number) : kModeOtherText);
    case K::Number:
        return QString::number(*v.number);
    }
    return {};
}

void ApplyStatusCaptions(StatusTable &grid, const LanguageTexts &texts)
{
    for (const StatusRow &r : kRows)
        grid.setCell(r.row, 0, texts.text(r.captionLine));
}

void ShowStatusReading(StatusTable &grid, const StatusReading &reading, const LanguageTexts &texts,
                       const StatusFormat &format)
{
    for (const StatusRow &r : kRows) {
        if (r.kind == K::Weight) {
            // Rows 1-3 are rewritten only when their value changed.
            auto &kept = grid.kept[size_t(r.index)];
            const auto value = reading.values[size_t(r.index)];
            if (value == kept && value.has_value())
                continue;
            kept = value;
        }
        grid.setCell(r.row, 1, StatusValueText(reading, r, texts, format));
    }
}

StatusReading StatuOku(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect)
{
    Operator &op = link.op();
    StatusReading reading;
    int step = 0;
    auto advance = [&] {
        ++step;
        op.setProgress(ProgressId::Small, step, kSteps);
        op.setProgress(ProgressId::Main, step, kSteps);
    };
    // A value counts only when the answer decodes; otherwise its register is listed.
    auto number = [&](int index, const Answer &answer) {
        const int reg = MeasuredRegisters[size_t(index)];
        // The same decoding as every live weight's (monitor/DisplayRead.h), as raw units.
        if (const std::optional<DisplayWeight> value = LiveWeightOf(link, answer, reg, 0))
            reading.values[size_t(index)] = value->units;
        else
            reading.unanswered.push_back(reg);
    };
    // A status word keeps every byte (00 and 0A included): "Tx1".
    auto text = [&](int reg, const Answer &answer) {
        const QVariant value = answer.missing() ? QVariant() : link.valueOf(answer, "Tx1", reg);
        return value.isValid() ? value.toString() : QString();
    };

    link.WriteHostMode(true);
    op.showProgress(ProgressId::Small, true);
    op.setProgress(ProgressId::Small, 0, kSteps);
    op.setProgress(ProgressId::Main, 0, kSteps);

    const Answer first = link.readAnswer(MeasuredRegisters[0], 4, kWait);
    if (first.missingOrRefused()) {
        // Leave host mode before giving up so a refusing indicator is not left in it.
        link.WriteHostMode(false);
        ReportRefusal(op, texts, disconnect);
        op.showProgress(ProgressId::Small, false);
        reading.refused = true;
        reading.unanswered.push_back(MeasuredRegisters[0]);
        return reading;
    }
    number(0, first);
    advance();

    number(1, link.readAnswer(MeasuredRegisters[1], 4, kWait));
    advance();

    // The tare weight, then 7 into the acknowledge register before its answer is decoded.
    const Answer fifth = link.readAnswer(MeasuredRegisters[2], 4, kWait);
    advance();
    link.writeNoAck(reg::StatusAcknowledge, 2, "LG", kAcknowledgeValue, kWait);
    number(2, fifth);
    advance();

    for (int index = 3; index < 6; ++index) {
        number(index, link.readAnswer(MeasuredRegisters[size_t(index)], 4, kWait));
        advance();
    }

    reading.operating = DurumOku(text(OperatingRegister, link.readAnswer(OperatingRegister, 2, kWait)));
    if (!reading.operating)
        reading.unanswered.push_back(OperatingRegister);
    advance();

    reading.hardware = HWDurumOku(text(HardwareRegister, link.readAnswer(HardwareRegister, 2, kWait)));
    if (!reading.hardware)
        reading.unanswered.push_back(HardwareRegister);
    advance();

    link.WriteHostMode(false);
    advance();
    op.showProgress(ProgressId::Small, false);
    return reading;
}

}  // namespace vx
