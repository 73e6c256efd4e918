#include "calibration/AnalogOutput.h"

#include "calibration/Calibration.h"
#include "link/Codec.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "shell/LanguageTexts.h"
#include "shell/Refusal.h"

namespace vx {
namespace {

constexpr int kZeroFirstCode = 3;      // 3..6 zero point, 7..10 second point
constexpr int kSpanFirstCode = 7;

}  // namespace

std::optional<bool> AlogDurum(const QString &answer, const QString &address, bool checksumOn)
{
    return AlogDurum(JudgeReadAnswer(answer, address, checksumOn, 2));
}

std::optional<bool> AlogDurum(const Answer &judged)
{
    if (!judged.whole() || judged.data.size() < 2)
        return std::nullopt;
    bool ok = false;
    const int type = judged.data.left(2).toInt(&ok, 16);
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
    link.writeNoAck(reg::Command, 2, "Lg", cmd::LoadConfiguration);
    // The values run from 0 to 65535: read unsigned, since the signed reading of "LG"
    // would turn 61440 and above into negative numbers and defeat the limits.
    const QVariant data = link.valueOf(link.readAnswer(reg, 2), "Hex", reg);
    bool ok = false;
    const uint value = data.toString().toUInt(&ok, 16);
    if (!data.isValid() || !ok)
        return std::nullopt;
    return qint64(value);
}

AnalogStartResult StartAnalogAdjustment(Link &link, bool voltage, const LanguageTexts &texts,
                                        const std::function<void()> &disconnect)
{
    link.WriteAcknowledged(reg::AnalogOutputType, 2, "By",
                      voltage ? QStringLiteral("0100") : QStringLiteral("0000"));
    link.WaitSeconds(AnalogSettle);
    link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::StoreConfiguration);
    link.WaitSeconds(AnalogSettle);
    const Answer answer = link.writeAnswer(AnalogRegister::Adjust, 2, "Lg", AnalogAdjustStart, WriteWait);
    if (answer.missingOrRefused()) {
        ReportRefusal(link.op(), texts, disconnect);
        return AnalogStartResult::Refused;
    }
    return answer.busy() ? AnalogStartResult::Busy : AnalogStartResult::Running;
}

bool EndAnalogAdjustment(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect)
{
    if (!link.writeAnswer(AnalogRegister::Adjust, 2, "Lg", AnalogAdjustEnd).missingOrRefused())
        return true;
    ReportRefusal(link.op(), texts, disconnect);
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
