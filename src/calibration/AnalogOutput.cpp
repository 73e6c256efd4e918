#include "calibration/AnalogOutput.h"

#include "calibration/Calibration.h"
#include "link/Codec.h"
#include "link/Transaction.h"
#include "shell/LanguageTexts.h"

namespace vx {
namespace {

constexpr int kCommandRead = 7;        // before the values are read
constexpr int kCommandStoreType = 8;   // after the output type is written
constexpr int kZeroFirstCode = 3;      // 3..6 zero point, 7..10 second point
constexpr int kSpanFirstCode = 7;

bool refusedAnswer(const QString &answer)
{
    return answer.isEmpty() || answer.startsWith(QStringLiteral("@8"));
}

}  // namespace

std::optional<bool> AlogDurum(const QString &answer, const QString &address, bool checksumOn)
{
    const ReadAnswer parsed = ParseReadAnswer(answer, address, checksumOn, 2);
    if (!parsed.complete() || parsed.data.size() < 2)
        return std::nullopt;
    bool ok = false;
    const int type = parsed.data.left(2).toInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return type != 0;
}

int AnalogStepCode(AnalogButton button)
{
    return (button.point == AnalogPoint::Zero ? kZeroFirstCode : kSpanFirstCode) + int(button.step);
}

int AnalogStepDelta(AnalogStepButton step)
{
    switch (step) {
    case AnalogStepButton::FastUp: return 100;
    case AnalogStepButton::FastDown: return -100;
    case AnalogStepButton::SlowUp: return 5;
    case AnalogStepButton::SlowDown: return -5;
    }
    return 0;
}

int AnalogValueRegister(AnalogPoint point)
{
    return point == AnalogPoint::Zero ? AnalogRegister::ZeroValue : AnalogRegister::SpanValue;
}

bool AnalogStepAllowed(AnalogButton button, qint64 value)
{
    const int delta = AnalogStepDelta(button.step);
    if (delta < 0)
        return value + delta >= 0;
    const qint64 ceiling = button.point == AnalogPoint::Zero ? 65535 : 65536;
    return value + delta < ceiling;
}

std::optional<qint64> AnalogOku(Link &link, int reg)
{
    if (!link.port().isOpen())
        return std::nullopt;
    link.writeNoAck(CalibrationRegister::Command, 2, "Lg", kCommandRead);
    // The values run from 0 to 65535: read unsigned, since the signed reading of "LG"
    // would turn 61440 and above into negative numbers and defeat the limits.
    const QString answer = link.readRaw(reg, 2);
    const QVariant data = link.decodeAnswer(answer, "Hex", reg, 2);
    bool ok = false;
    const uint value = data.toString().toUInt(&ok, 16);
    if (!data.isValid() || !ok)
        return std::nullopt;
    return qint64(value);
}

AnalogStartResult StartAnalogAdjustment(Link &link, bool voltage, const LanguageTexts &texts,
                                        const std::function<void()> &disconnect)
{
    link.CihazaGönder(CalibrationRegister::OutputType, 2, "By",
                      voltage ? QStringLiteral("0100") : QStringLiteral("0000"));
    link.WaitSeconds(AnalogSettle);
    link.CihazaGönder(CalibrationRegister::Command, 2, "Lg", kCommandStoreType);
    link.WaitSeconds(AnalogSettle);
    const QString answer = link.writeNoAck(AnalogRegister::Adjust, 2, "Lg", AnalogAdjustStart, WriteWait);
    if (refusedAnswer(answer)) {
        link.op().message(texts.text(TextLine::DeviceRefused), Icon::Critical);
        if (disconnect)
            disconnect();
        return AnalogStartResult::Refused;
    }
    return answer.startsWith(QStringLiteral("@9")) ? AnalogStartResult::Busy : AnalogStartResult::Running;
}

bool EndAnalogAdjustment(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect)
{
    const QString answer = link.writeNoAck(AnalogRegister::Adjust, 2, "Lg", AnalogAdjustEnd);
    if (!refusedAnswer(answer))
        return true;
    link.op().message(texts.text(TextLine::DeviceRefused), Icon::Critical);
    if (disconnect)
        disconnect();
    return false;
}

AnalogStepResult AnalogStep(Link &link, AnalogButton button, const AnalogValues &shown)
{
    const std::optional<qint64> value = shown.of(button.point);
    if (!value)
        return AnalogStepResult::Unknown;
    if (!AnalogStepAllowed(button, *value))
        return AnalogStepResult::Limit;
    // The answer is not examined: the next reading of the values shows what the step did.
    link.writeNoAck(AnalogRegister::Adjust, 2, "Lg", AnalogStepCode(button));
    return AnalogStepResult::Sent;
}

AnalogTick AnalogRepeat(Link &link, const AnalogLoop &loop)
{
    AnalogTick tick;
    if (!link.port().isOpen())
        return tick;
    tick.values.zero = AnalogOku(link, AnalogRegister::ZeroValue);
    tick.values.fullScale = AnalogOku(link, AnalogRegister::SpanValue);
    if (loop.show)
        loop.show(tick.values);
    if (const std::optional<AnalogButton> held = loop.held ? loop.held() : std::nullopt)
        tick.step = AnalogStep(link, *held, tick.values);
    link.WaitSecondsNoPump(AnalogRepeatPause);
    return tick;
}

}  // namespace vx
