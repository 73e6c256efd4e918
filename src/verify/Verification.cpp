#include "verify/Verification.h"

#include "monitor/DisplayRead.h"
#include "calibration/RangeLists.h"
#include "link/Interfaces.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "verify/VerifyTexts.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vx {
namespace {

// A step reads the status and the weight, then waits this long before reading again.
constexpr double kPollSeconds = 0.25;

double roundTo(double kg, double e) { return e > 0 ? std::round(kg / e) * e : kg; }

// Two loads closer than half a division are one.
bool sameLoad(double a, double b, double e) { return std::abs(a - b) < e / 2; }

QString kgText(double kg, double e)
{
    // As many decimals as the division has.
    int decimals = 0;
    for (double step = e; decimals < 6 && std::abs(step - std::round(step)) > 1e-9; step *= 10)
        ++decimals;
    return QLocale::c().toString(kg, 'f', decimals);
}

QString segmentName(int position, Language language)
{
    static const VerifyText names[SegmentCount] = {VerifyText::SegmentFrontLeft, VerifyText::SegmentFrontRight,
                                                   VerifyText::SegmentBackRight, VerifyText::SegmentBackLeft};
    return position >= 1 && position <= SegmentCount ? VerifyTextOf(names[position - 1], language) : QString();
}

QString promptOf(const VerifyStep &step, int number, int count, double e1, Language language)
{
    if (step.kind == VerifyStepKind::Zero)
        return VerifyTextOf(VerifyText::PromptZero, language).arg(number).arg(count);
    const QString kg = kgText(step.reference, std::min(step.e, e1));
    if (step.position == CentrePosition)
        return VerifyTextOf(VerifyText::PromptCentre, language).arg(number).arg(count).arg(kg);
    return VerifyTextOf(VerifyText::PromptSegment, language)
        .arg(number)
        .arg(count)
        .arg(kg)
        .arg(step.position)
        .arg(segmentName(step.position, language));
}

std::optional<double> numberOf(QString text)
{
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

enum class Taken { Stable, TimedOut, NoAnswer, Aborted };

// Reads the status and the gross weight until the weight is stable or the time is up.
Taken takeWeight(Link &link, int decimals, double timeout, std::optional<double> &indication)
{
    Clock &clock = link.clock();
    const QDateTime start = clock.now();
    bool anyWhole = false;
    for (;;) {
        if (link.AbortRequested)
            return Taken::Aborted;
        const std::optional<bool> stable = ReadStable(link);
        const std::optional<DisplayReading> shown = ReadDisplay(link, decimals);
        if (link.AbortRequested)
            return Taken::Aborted;
        if (shown && shown->gross) {
            anyWhole = true;
            indication = shown->gross->value();
            if (stable.value_or(false))
                return Taken::Stable;
        } else if (stable) {
            anyWhole = true;
        }
        if (start.msecsTo(clock.now()) >= qint64(std::llround(timeout * 1000.0)))
            return anyWhole ? Taken::TimedOut : Taken::NoAnswer;
        clock.idle(kPollSeconds, true);
    }
}

}  // namespace

QString VerifyStepKindKey(VerifyStepKind kind)
{
    switch (kind) {
    case VerifyStepKind::Zero: return QStringLiteral("zero");
    case VerifyStepKind::Increasing: return QStringLiteral("increasing");
    case VerifyStepKind::Decreasing: return QStringLiteral("decreasing");
    case VerifyStepKind::Repeatability: return QStringLiteral("repeatability");
    case VerifyStepKind::Eccentricity: break;
    }
    return QStringLiteral("eccentricity");
}

QString VerificationEndKey(VerificationEnd end)
{
    switch (end) {
    case VerificationEnd::Finished: return QStringLiteral("finished");
    case VerificationEnd::Cancelled: return QStringLiteral("cancelled");
    case VerificationEnd::NoAnswer: break;
    }
    return QStringLiteral("no-answer");
}

std::optional<double> ParseLoad(const QString &text)
{
    const std::optional<double> kg = numberOf(text);
    return kg && *kg > 0 && *kg < 1e7 ? kg : std::nullopt;
}

std::optional<std::vector<double>> ParseLoadList(const QString &text)
{
    std::vector<double> loads;
    const QChar separator = text.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    for (const QString &item : text.split(separator)) {
        const std::optional<double> kg = ParseLoad(item);
        if (!kg)
            return std::nullopt;
        loads.push_back(*kg);
    }
    return loads;
}

std::optional<ScaleRange> RangeOfCodes(const RangeCodes &codes)
{
    auto number = [](const QString &text) { return text.isEmpty() ? 0.0 : text.toDouble(); };
    ScaleRange r;
    r.max1 = number(CapacityValueText(codes.capacity1));
    r.e1 = number(DivisionValueText(codes.division1));
    if (!(r.max1 > 0) || !(r.e1 > 0))
        return std::nullopt;
    if (codes.mode != 0) {
        const double max2 = number(CapacityValueText(codes.capacity2));
        const double e2 = number(DivisionValueText(codes.division2));
        // A second range that does not reach above the first is no second range.
        if (max2 > r.max1 && e2 > 0) {
            r.max2 = max2;
            r.e2 = e2;
        }
    }
    return r;
}

VerificationPlan DefaultPlan(const ScaleRange &range, AccuracyClass accuracy)
{
    VerificationPlan plan;
    plan.zero = true;
    const double max = range.max();
    const bool fine = accuracy == AccuracyClass::IIII;
    std::vector<double> candidates = {MinimumLoad(accuracy, range)};
    // Where the permissible error changes, in each range's own divisions.
    const double lower = fine ? 50 : 500, upper = fine ? 200 : 2000;
    for (double points : {lower, upper}) {
        candidates.push_back(points * range.e1);
        if (range.dual() && points * *range.e2 > range.max1)
            candidates.push_back(points * *range.e2);
    }
    candidates.push_back(max / 2);
    candidates.push_back(max);
    for (double load : candidates) {
        const double e = range.divisionAt(load);
        load = roundTo(load, e);
        if (load <= 0 || load > max + 1e-9)
            continue;
        if (std::none_of(plan.loads.begin(), plan.loads.end(), [&](double l) { return sameLoad(l, load, e); }))
            plan.loads.push_back(load);
    }
    std::sort(plan.loads.begin(), plan.loads.end());
    plan.repeatability = {roundTo(max / 2, range.divisionAt(max / 2)), max};
    plan.eccentricity = roundTo(max / 3, range.divisionAt(max / 3));
    return plan;
}

std::vector<VerifyStep> PlanSteps(const VerificationPlan &plan, const ScaleRange &range)
{
    std::vector<VerifyStep> steps;
    if (plan.zero)
        steps.push_back({VerifyStepKind::Zero, 0.0, CentrePosition, 0, range.e1});
    bool secondReached = false;
    for (double load : plan.loads) {
        const double e = range.divisionAt(load);
        secondReached = secondReached || (range.dual() && load > range.max1);
        steps.push_back({VerifyStepKind::Increasing, load, CentrePosition, 0, e});
    }
    for (auto it = plan.loads.rbegin(); it != plan.loads.rend(); ++it) {
        // Down from the second range the scale keeps its division until it is at zero.
        const double e = secondReached ? *range.e2 : range.divisionAt(*it);
        steps.push_back({VerifyStepKind::Decreasing, *it, CentrePosition, 0, e});
    }
    int series = 0;
    for (double load : plan.repeatability) {
        ++series;
        for (int i = 0; i < plan.repeats; ++i)
            steps.push_back({VerifyStepKind::Repeatability, load, CentrePosition, series, range.divisionAt(load)});
    }
    if (plan.eccentricity) {
        for (int position = CentrePosition; position <= SegmentCount; ++position)
            steps.push_back({VerifyStepKind::Eccentricity, *plan.eccentricity, position, 0,
                             range.divisionAt(*plan.eccentricity)});
    }
    return steps;
}

bool VerificationResult::anyFailed() const
{
    return std::any_of(steps.begin(), steps.end(), [](const VerifyStepResult &s) { return !s.pass; })
           || std::any_of(series.begin(), series.end(), [](const VerifySeries &s) { return !s.pass; });
}

bool VerificationResult::withoutChangeover() const
{
    return std::any_of(steps.begin(), steps.end(), [](const VerifyStepResult &s) {
        return s.step.kind != VerifyStepKind::Zero && !s.changeover;
    });
}

VerificationResult RunVerification(Link &link, Operator &op, const TextService &texts,
                                   const VerificationRequest &request)
{
    const Language language = texts.language();
    VerificationResult result;
    result.accuracy = request.accuracy;
    result.inService = request.inService;
    result.range = request.range;
    result.stableTimeout = request.stableTimeout;
    const std::vector<VerifyStep> steps = PlanSteps(request.plan, request.range);
    result.plannedSteps = int(steps.size());
    const QString title = VerifyTextOf(VerifyText::PromptTitle, language);
    // Tolerance for comparing kg that went through decimal rounding.
    const double slack = request.range.e1 * 1e-6;

    auto finish = [&](VerificationEnd end) {
        result.end = end;
        result.when = link.clock().now();
        op.showStep(QString());
        return result;
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const VerifyStep &step = steps[i];
        const QString prompt = promptOf(step, int(i) + 1, int(steps.size()), request.range.e1, language);
        if (op.okCancel(prompt, Icon::Question, title) != Choice::Ok)
            return finish(VerificationEnd::Cancelled);
        op.showStep(prompt, Tone::Working);
        VerifyStepResult taken;
        taken.step = step;
        const Taken how = takeWeight(link, request.decimals, request.stableTimeout, taken.indication);
        if (how == Taken::Aborted)
            return finish(VerificationEnd::Cancelled);
        if (how == Taken::NoAnswer)
            return finish(VerificationEnd::NoAnswer);
        taken.stable = how == Taken::Stable;
        if (taken.stable && request.askChangeover && step.kind != VerifyStepKind::Zero) {
            // Asked again until the entry is empty or a weight from 0 to one division.
            for (;;) {
                const std::optional<QString> entry =
                    op.input(VerifyTextOf(VerifyText::PromptChangeover, language).arg(int(i) + 1), title, QString());
                if (!entry)
                    return finish(VerificationEnd::Cancelled);
                if (entry->trimmed().isEmpty())
                    break;
                const std::optional<double> added = numberOf(*entry);
                if (added && *added >= 0 && *added <= step.e + slack) {
                    taken.changeover = *added;
                    break;
                }
                op.message(VerifyTextOf(VerifyText::ChangeoverOutOfRange, language)
                               .arg(entry->trimmed(), kgText(step.e, step.e)),
                           Icon::Warning, title);
            }
        }
        const double indication = taken.indication.value_or(0.0);
        taken.error = taken.changeover ? indication + step.e / 2 - *taken.changeover - step.reference
                                       : indication - step.reference;
        taken.mpe = PermissibleError(request.accuracy, request.inService, step.reference, step.e);
        taken.pass = taken.stable && std::abs(taken.error) <= taken.mpe + slack;
        op.showStep(prompt, taken.pass ? Tone::Success : Tone::Failure);
        result.steps.push_back(taken);

        // A repeatability series is judged once its last weighing is in.
        const bool seriesEnds = step.kind == VerifyStepKind::Repeatability
                                && (i + 1 == steps.size() || steps[i + 1].kind != VerifyStepKind::Repeatability
                                    || steps[i + 1].series != step.series);
        if (seriesEnds) {
            VerifySeries s{.series = step.series, .reference = step.reference};
            double low = 1e300, high = -1e300;
            for (const VerifyStepResult &r : result.steps) {
                if (r.step.kind == VerifyStepKind::Repeatability && r.step.series == step.series) {
                    const double value = r.indication.value_or(0.0) - r.changeover.value_or(0.0);
                    low = std::min(low, value);
                    high = std::max(high, value);
                }
            }
            s.spread = high - low;
            s.mpe = PermissibleError(request.accuracy, request.inService, step.reference, step.e);
            s.pass = s.spread <= s.mpe + slack;
            result.series.push_back(s);
        }
    }
    return finish(VerificationEnd::Finished);
}

}  // namespace vx
