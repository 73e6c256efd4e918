#include "calibration/Calibration.h"

#include "calibration/AnalogOutput.h"
#include "link/Codec.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "shell/LanguageTexts.h"
#include "shell/Refusal.h"
#include "shell/TextService.h"

#include <QLocale>
#include <vector>

namespace vx {
namespace {

// Language lines of the calibration.
namespace Text {
constexpr int ErrorTitle = 237;
constexpr int Success = 238;
constexpr int WeightPromptPlace = 259;
constexpr int WeightPromptEnter = 260;
constexpr int Working = 262;
constexpr int Ready = TextLine::Ready;
constexpr int Unload = 264;
constexpr int PortFailed = TextLine::PortFailed;
constexpr int NoLoad = 281;
constexpr int NoStatus = 282;  // 282, 283, 284
constexpr int StepRefused = 285;
constexpr int WeightTooSmall = 286;  // code "25"
constexpr int OtherRefusal = 287;
constexpr int WeightLabel = 295;
constexpr int AboveCapacity = 296;
constexpr int NotPermitted = TextLine::NotPermitted;
constexpr int MissingField = TextLine::NotReady;
constexpr int BadDivisions = 328;
}  // namespace Text

constexpr int kHardwareBit = 3;   // of A: calibration permitted
constexpr int kAnalogCardBit = 4;  // of B: analog output card

QString hex2(int value) { return PadLeftZeros(QString::number(value & 0xFF, 16).toUpper(), 2); }

// The data bytes of a whole answer of `count` bytes, read as hex ("Hex" decoding).
std::optional<std::vector<int>> dataBytes(Link &link, const Answer &answer, int reg, int count)
{
    const QVariant data = link.valueOf(answer, "Hex", reg);
    if (!data.isValid())
        return std::nullopt;
    const QString hex = data.toString();
    if (hex.size() != 2 * count)
        return std::nullopt;
    std::vector<int> bytes;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        bytes.push_back(hex.mid(2 * i, 2).toInt(&ok, 16));
        if (!ok)
            return std::nullopt;
    }
    return bytes;
}

QString joinLines(const LanguageTexts &texts, std::initializer_list<int> lines)
{
    QStringList parts;
    for (int line : lines)
        parts << texts.text(line);
    return parts.join(QLatin1Char('\n'));
}

}  // namespace

CalibrationVerdict CalibrationResult::verdict() const
{
    if (end == CalibrationEnd::Refused)
        return CalibrationVerdict::NoAnswer;
    if (end == CalibrationEnd::PortFailed)
        return CalibrationVerdict::PortFailed;
    if (reportedProblem())
        return CalibrationVerdict::Problem;
    if (end == CalibrationEnd::Cancelled)
        return CalibrationVerdict::Cancelled;
    return CalibrationVerdict::Finished;
}

HardwareFlags HardwareFlagsOf(int a, int b)
{
    return {a, b, (a & (1 << kHardwareBit)) != 0, (b & (1 << kAnalogCardBit)) != 0};
}

// ---------------------------------------------------------------------------
// Reading the range settings

RangeReading KalibrasyonHost(Link &link, const LanguageTexts &texts, const std::function<void()> &disconnect)
{
    RangeReading reading;
    // The hardware word as bytes: a 0x0A or 0x00 byte must not be lost to text decoding.
    const Answer hardware = link.readAnswer(CalibrationRegister::Hardware, 2, ReadWait);
    if (const auto word = dataBytes(link, hardware, CalibrationRegister::Hardware, 2))
        reading.hardware = HardwareFlagsOf((*word)[0], (*word)[1]);
    reading.analogVoltage = AlogDurum(link.readAnswer(CalibrationRegister::OutputType, 2, ReadWait));

    // A command the indicator refused, or left unanswered on the last try, is the
    // refusal (text 309, the disconnect action). Missing: read again.
    enum class Sent { Done, Again, Refused };
    auto command = [&](int code, bool lastTry) {
        const Answer answer = link.writeAnswer(CalibrationRegister::Command, 2, "Lg", code);
        if (!answer.missingOrRefused())
            return Sent::Done;
        if (answer.missing() && !lastTry)
            return Sent::Again;
        ReportRefusal(link.op(), texts, disconnect);
        reading.refused = true;
        return Sent::Refused;
    };

    // A lost or cut answer reads the whole range again, as every other range read
    // does; a refusal of a read ends it with no range.
    for (int attempt = 1; attempt <= RangeReadAttempts; ++attempt) {
        const bool lastTry = attempt == RangeReadAttempts;
        const Sent configuration = command(cmd::LoadConfiguration, lastTry);
        if (configuration == Sent::Refused)
            return reading;
        // Registers 149..153: the metrology code, a byte kept as read, then M1 01 01 M2 01 M3.
        const Answer blockB = link.readAnswer(CalibrationRegister::Metrology, 10, ReadWait);
        const auto metrology = dataBytes(link, blockB, CalibrationRegister::Metrology, 10);
        const Sent calibration = command(cmd::LoadCalibration, lastTry);
        if (calibration == Sent::Refused)
            return reading;
        // Registers 128..130: the mode, 00, then capacity and division of each range.
        const Answer blockA = link.readAnswer(CalibrationRegister::Mode, 6, ReadWait);
        const auto range = dataBytes(link, blockA, CalibrationRegister::Mode, 6);
        if (blockA.refused() || blockB.refused())
            return reading;
        if (configuration != Sent::Done || calibration != Sent::Done || !metrology || !range)
            continue;

        const std::vector<int> &m = *metrology;
        const std::vector<int> &r = *range;
        RangeSettings settings;
        settings.codes = RangeCodes{r[0], r[2], r[3], r[4], r[5], m[0]};
        settings.metrologyLowByte = m[1];
        settings.metrologyBytes = {m[2], m[5], m[7]};
        reading.range = settings;
        return reading;
    }
    return reading;
}

// ---------------------------------------------------------------------------
// The range chosen

std::optional<RangeCodes> RangeChoice::codes() const
{
    if (!mode || !capacity1 || !division1 || !capacity2 || !division2 || !metrology)
        return std::nullopt;
    return RangeCodes{*mode, *capacity1, *division1, *capacity2, *division2, *metrology};
}

RangeChoice RangeChoice::of(const RangeCodes &c)
{
    return {c.mode, c.capacity1, c.division1, c.capacity2, c.division2, c.metrology};
}

// ---------------------------------------------------------------------------
// Test weight

TestWeight CheckTestWeight(const QString &entry, const QString &capacityText, const QString &divisionText)
{
    TestWeight weight;
    const QString text = CommaToPoint(entry).trimmed();
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString integer = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    auto digitsOnly = [](const QString &s) {
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    };
    if (integer.isEmpty() && fraction.isEmpty())
        return weight;
    if (!digitsOnly(integer) || !digitsOnly(fraction))
        return weight;

    bool ok = false;
    const double value = QLocale::c().toDouble(QStringLiteral("0") + integer + QStringLiteral(".") + fraction
                                                   + QStringLiteral("0"),
                                               &ok);
    const double capacity = QLocale::c().toDouble(capacityText, &ok);
    if (!ok)
        return weight;  // no capacity to weigh against
    if (value == 0) {
        weight.check = WeightCheck::Zero;
        return weight;
    }
    if (value > capacity) {
        weight.check = WeightCheck::AboveCapacity;
        return weight;
    }
    // The fraction cut (not rounded) to the division's decimals, the point removed.
    const int decimals = DivisionDecimals(divisionText);
    const QString digits = integer + (fraction + QString(decimals, QLatin1Char('0'))).left(decimals);
    weight.units = digits.toLongLong(&ok);
    weight.check = ok && weight.units > 0 ? WeightCheck::Ok : WeightCheck::Zero;
    return weight;
}

QString CutTestWeight(const QString &entry, const QString &divisionText)
{
    const QString text = CommaToPoint(entry);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (i != point && (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9')))
            return text;
    const int decimals = DivisionDecimals(divisionText);
    if (decimals == 0)
        return text.left(point);
    return text.left(point + 1) + text.mid(point + 1).left(decimals);
}

QString TestWeightDivision(const CalibrationRequest &request)
{
    switch (request.kind) {
    case CalibrationKind::General:
        if (const std::optional<RangeCodes> codes = request.choice.codes())
            return DivisionValueText(codes->division1);
        return {};
    case CalibrationKind::Span:
        return request.indicator ? DivisionValueText(request.indicator->codes.division1) : QString();
    case CalibrationKind::Zero:
        break;
    }
    return {};
}

QString SuggestedTestWeight(const QString &capacityText)
{
    bool ok = false;
    const double capacity = QLocale::c().toDouble(capacityText, &ok);
    return ok ? QLocale::c().toString(capacity / 2, 'g', 15) : QString();
}

QString TestWeightPrompt(const LanguageTexts &texts)
{
    return texts.text(Text::WeightPromptPlace) + QLatin1Char('\n') + texts.text(Text::WeightPromptEnter)
           + QStringLiteral("\n\n") + texts.text(Text::WeightLabel) + QLatin1Char(' ');
}

// ---------------------------------------------------------------------------
// The status poll

PollResult KalibrasyonDurumBekle(Link &link, Operator &op, const LanguageTexts &texts)
{
    PollResult result;
    QString a, b;
    do {
        link.clock().idle(0, true);
        const Answer answer = link.readAnswer(CalibrationRegister::Status, 2, WriteWait);
        // A and B are the answer's two data bytes, whether or not a checksum follows them.
        a.clear();
        b.clear();
        if (const auto bytes = dataBytes(link, answer, CalibrationRegister::Status, 2)) {
            a = hex2((*bytes)[0]);
            b = hex2((*bytes)[1]);
        }
        link.WaitSeconds(StatusPollPause);
        ++result.tries;
        op.showStep(texts.text(Text::Working) + QStringLiteral(" - ") + QString::number(result.tries), Tone::Working);
    } while (a != QLatin1String("00") && a != QLatin1String("01") && result.tries < StatusPollTries);

    const QString title = texts.text(Text::ErrorTitle);
    if (a != QLatin1String("00") && a != QLatin1String("01")) {
        op.message(joinLines(texts, {Text::NoStatus, Text::NoStatus + 1, Text::NoStatus + 2}), Icon::Critical, title);
        op.showStep(title, Tone::Failure);
        link.WaitSeconds(StatusPollPause);
        result.outcome = PollOutcome::GaveUp;
        return result;
    }
    result.code = b;
    if (b != QLatin1String("00")) {
        const int reason = b == QLatin1String("25") ? Text::WeightTooSmall : Text::OtherRefusal;
        op.message(texts.text(Text::StepRefused) + QLatin1Char('\n') + texts.text(reason), Icon::Critical, title);
        op.showStep(title, Tone::Failure);
        result.outcome = PollOutcome::Refused;
        return result;
    }
    op.showStep(texts.text(Text::Success), Tone::Success);
    link.WaitSeconds(StatusPollPause);
    result.outcome = PollOutcome::Done;
    return result;
}

// ---------------------------------------------------------------------------
// The checks

CalibrationEnd CheckCalibration(const CalibrationRequest &request, Operator &op, const LanguageTexts &texts)
{
    if (!request.calibrationPermitted.value_or(false)) {
        op.message(texts.text(Text::NotPermitted), Icon::Critical);
        return CalibrationEnd::NotPermitted;
    }
    const RangeChoice &c = request.choice;
    if (c.mode && *c.mode != 0 && c.division1 && c.division2 && *c.division2 <= *c.division1) {
        op.message(texts.text(Text::BadDivisions), Icon::Critical);
        return CalibrationEnd::BadDivisions;
    }
    // A general calibration writes back bytes of the range read, and a span calibration
    // weighs in its capacity and division: both need a whole range read.
    const bool needsRead = request.kind != CalibrationKind::Zero;
    if (!c.codes() || (needsRead && !request.indicator)) {
        op.message(texts.text(Text::MissingField), Icon::Critical);
        return CalibrationEnd::MissingField;
    }
    return CalibrationEnd::Finished;
}

// ---------------------------------------------------------------------------
// A run

namespace {

class Run {
public:
    Run(Link &link, Operator &op, const TextService &texts, const CalibrationRequest &request,
        const CalibrationHooks &hooks)
        : m_link(link), m_op(op), m_service(texts), m_texts(texts.lines()), m_busyText(texts.builtIn(BuiltIn::IndicatorBusy)),
          m_request(request), m_hooks(hooks)
    {
    }

    CalibrationResult run()
    {
        m_result.end = CheckCalibration(m_request, m_op, m_texts);
        if (m_result.end != CalibrationEnd::Finished)
            return m_result;
        if (m_hooks.openPort && !m_hooks.openPort()) {
            m_op.message(m_texts.text(Text::PortFailed), Icon::Critical);
            m_result.end = CalibrationEnd::PortFailed;
            return m_result;
        }
        switch (m_request.kind) {
        case CalibrationKind::General: general(); break;
        case CalibrationKind::Zero: zero(); break;
        case CalibrationKind::Span: span(); break;
        }
        return m_result;
    }

private:
    enum class Step { Done, Cancelled, Stopped };

    void general()
    {
        const RangeCodes codes = *m_request.choice.codes();
        const Step zeroStep = this->zeroStep(true);
        if (zeroStep != Step::Done)
            return;
        const Step spanStep = this->spanStep(CapacityValueText(codes.capacity1), DivisionValueText(codes.division1));
        if (spanStep == Step::Stopped)
            return;
        // A general calibration finishes even when the weight entry was abandoned.
        if (finishStep() == Step::Done && spanStep == Step::Cancelled)
            m_result.end = CalibrationEnd::Cancelled;
    }

    void zero()
    {
        if (zeroStep(false) == Step::Done)
            finishStep();
    }

    void span()
    {
        // The platform must carry the test weight.
        const Answer answer = m_link.readAnswer(CalibrationRegister::Weight, 4, ReadWait);
        if (answer.busy()) {
            busy();
            return;
        }
        const QVariant weight = m_link.valueOf(answer, "LG", CalibrationRegister::Weight);
        if (!weight.isValid()) {
            refused();
            return;
        }
        if (weight.toLongLong() <= 0) {
            m_op.message(m_texts.text(Text::NoLoad), Icon::Critical, m_texts.text(Text::ErrorTitle));
            m_result.end = CalibrationEnd::NoLoad;
            return;
        }
        // The range the indicator holds: read on entering the tab, or written by a general
        // calibration since.
        const RangeCodes &held = m_request.indicator->codes;
        const Step step = spanStep(CapacityValueText(held.capacity1), DivisionValueText(held.division1));
        if (step == Step::Cancelled)
            m_result.end = CalibrationEnd::Cancelled;
        if (step == Step::Done)
            finishStep();
    }

    // The confirmation, then (general) the unlock and the range block, the zero command
    // and its poll.
    Step zeroStep(bool general)
    {
        if (m_op.okCancel(m_texts.text(Text::Unload), Icon::Question) != Choice::Ok) {
            m_result.end = CalibrationEnd::Cancelled;
            return Step::Cancelled;
        }
        if (general) {
            if (!unlock() || !rangeBlock())
                return Step::Stopped;
        } else if (!write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Begin)) {
            return Step::Stopped;
        }
        if (!write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Zero))
            return Step::Stopped;
        m_op.showStep(m_texts.text(Text::Working), Tone::Working);
        return poll(false, CalibrationStep::Zero);
    }

    // The weight entry, the weight and the span command, its poll; a refused span
    // goes back to the entry.
    Step spanStep(const QString &capacity, const QString &division)
    {
        const QString suggested = CutTestWeight(SuggestedTestWeight(capacity), division);
        const QString prompt = TestWeightPrompt(m_texts);
        for (;;) {
            const std::optional<QString> entry = m_op.input(prompt, QString(), suggested);
            if (!entry || entry->trimmed().isEmpty())
                return Step::Cancelled;
            const TestWeight weight = CheckTestWeight(*entry, capacity, division);
            if (weight.check == WeightCheck::AboveCapacity)
                m_op.message(m_texts.text(Text::AboveCapacity), Icon::Critical, m_texts.text(Text::ErrorTitle));
            if (weight.check != WeightCheck::Ok)
                continue;  // the entry again
            if (m_request.kind == CalibrationKind::Span
                && !write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Begin))
                return Step::Stopped;
            if (!write(CalibrationRegister::TestWeight, 4, "Lg", weight.units))
                return Step::Stopped;
            m_result.testWeight = CutTestWeight(*entry, division);
            if (!write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Span))
                return Step::Stopped;
            m_op.showStep(m_texts.text(Text::Working), Tone::Working);
            const Step step = poll(true, CalibrationStep::Span);
            if (step != Step::Stopped)
                return Step::Done;  // accepted, or no status: the run goes on
        }
    }

    Step finishStep()
    {
        if (!write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Finish))
            return Step::Stopped;
        m_op.showStep(m_texts.text(Text::Ready), Tone::Working);
        const Step step = poll(false, CalibrationStep::Finish);
        m_result.finishStepRan = step == Step::Done;
        return step;
    }

    // Done also when the poll gave up (its message shown, the run goes on). A refusal
    // stops a zero or finish step; a span step is entered again (returned as Stopped
    // with the run's end untouched).
    Step poll(bool span, int stepValue)
    {
        const PollResult r = KalibrasyonDurumBekle(m_link, m_op, m_texts);
        m_result.steps.push_back({stepValue, r.outcome, r.code});
        if (r.outcome == PollOutcome::GaveUp)
            m_result.pollGaveUp = true;
        if (r.outcome != PollOutcome::Refused)
            return Step::Done;
        m_result.stepRefused = true;
        if (!span)
            m_result.end = CalibrationEnd::StepRefused;
        return Step::Stopped;
    }

    bool unlock()
    {
        if (!write(CalibrationRegister::Command, 2, "Lg", cmd::LoadCalibration))
            return false;
        const QVariant seal =
            m_link.read(CalibrationRegister::Seal, 4, "LG", ReadWait);
        if (!seal.isValid() || seal.toLongLong() == 0)
            return true;
        return write(CalibrationRegister::Unlock, 4, "Lg", seal.toLongLong())
               && write(CalibrationRegister::Seal, 4, "Lg", 0);
    }

    bool rangeBlock()
    {
        const RangeCodes c = *m_request.choice.codes();
        const RangeSettings &read = *m_request.indicator;
        if (!write(CalibrationRegister::Command, 2, "Lg", cmd::HostOn))
            return false;
        if (!write(CalibrationRegister::Mode, 2, "By", hex2(c.mode) + QStringLiteral("00"))
            || !write(CalibrationRegister::Range1, 2, "By", hex2(c.capacity1) + hex2(c.division1))
            || !write(CalibrationRegister::Range2, 2, "By", hex2(c.capacity2) + hex2(c.division2))
            || !write(CalibrationRegister::Metrology, 2, "By", hex2(c.metrology) + hex2(read.metrologyLowByte)))
            return false;
        if (c.metrology == 1) {
            const auto &m = read.metrologyBytes;
            const QString bytes = hex2(m[0]) + QStringLiteral("0101") + hex2(m[1]) + QStringLiteral("01") + hex2(m[2]);
            if (!write(CalibrationRegister::MetrologyBytes, 6, "By", PadLeftZeros(bytes, 12)))
                return false;
        }
        if (!write(CalibrationRegister::Command, 2, "Lg", cmd::StoreCalibration)
            || !write(CalibrationRegister::Command, 2, "Lg", cmd::StoreConfigurationHead)
            || !write(CalibrationRegister::Step, 2, "Lg", CalibrationStep::Begin)
            || !write(CalibrationRegister::Command, 2, "Lg", cmd::HostOff))
            return false;
        m_result.written = RangeSettings{c, read.metrologyLowByte, read.metrologyBytes};
        if (m_lastAnswer.busy()) {
            busy();
            return false;
        }
        return true;
    }

    // An inline write: 0.2 s, then the answer; none or a refusal ends the run.
    bool write(int reg, int byteCount, WriteTag tag, const QVariant &value)
    {
        m_lastAnswer = m_link.writeAnswer(reg, byteCount, tag, value, WriteWait);
        if (!m_lastAnswer.missingOrRefused())
            return true;
        refused();
        return false;
    }

    void refused()
    {
        ReportRefusal(m_op, m_service, m_hooks.disconnect);
        m_result.end = CalibrationEnd::Refused;
    }

    // Busy: the indicator cannot take the calibration now; the run ends, the link stays.
    // The line answered, so this is no refusal (text 309 speaks of the cables).
    void busy()
    {
        m_op.message(m_busyText, Icon::Critical);
        m_result.end = CalibrationEnd::Busy;
    }

    Link &m_link;
    Operator &m_op;
    const TextService &m_service;
    const LanguageTexts &m_texts;
    const QString m_busyText;
    const CalibrationRequest &m_request;
    const CalibrationHooks &m_hooks;
    CalibrationResult m_result;
    Answer m_lastAnswer;
};

}  // namespace

CalibrationResult RunCalibration(Link &link, Operator &op, const TextService &texts,
                                 const CalibrationRequest &request, const CalibrationHooks &hooks)
{
    return Run(link, op, texts, request, hooks).run();
}

}  // namespace vx
