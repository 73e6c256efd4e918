#include "service/CalibrationJob.h"

#include "calibration/RangeLists.h"
#include "files/SameIndicator.h"
#include "link/Transaction.h"
#include "monitor/DisplayRead.h"
#include "params/Range.h"
#include "service/HistoryRecords.h"
#include "shell/TextService.h"

namespace vx {
namespace {

// The gross weight on display, in the decimals of the range's first division.
std::optional<DisplayWeight> grossOn(Link &link, const std::optional<RangeCodes> &range)
{
    const int decimals = range ? DivisionDecimals(DivisionValueText(range->division1)) : 0;
    const std::optional<DisplayReading> shown = ReadDisplay(link, decimals);
    return shown ? shown->gross : std::nullopt;
}

}  // namespace

CalibrationJobResult RunCalibrationJob(Link &link, Operator &op, const TextService &texts, const CalibrationJob &job,
                                       const CalibrationHooks &hooks)
{
    CalibrationJobResult done;
    done.indicator.model = job.model;
    const std::optional<RangeCodes> rangeFound =
        job.request.indicator ? std::optional<RangeCodes>(job.request.indicator->codes) : std::nullopt;
    std::optional<DisplayWeight> grossFound;

    // The reads before the run come once its checks have passed and the port is open.
    CalibrationHooks around = hooks;
    around.openPort = [&]() {
        if (hooks.openPort && !hooks.openPort())
            return false;
        if (const std::optional<IndicatorTexts> read = ReadIndicatorTexts(link, texts.lines())) {
            done.indicator.identification = read->identification.model;
            done.indicator.identification2 = read->identification.second;
            done.indicator.version = read->version;
        }
        if (job.report)
            grossFound = grossOn(link, rangeFound);
        return true;
    };
    done.run = RunCalibration(link, op, texts, job.request, around);
    const CalibrationResult &run = done.run;

    done.record = CalibrationHistoryRecord(done.indicator, job.request.kind, run, job.tool);
    if (!job.note.trimmed().isEmpty())
        done.record.note = job.note.trimmed();

    if (!job.report || run.steps.empty() || run.verdict() == CalibrationVerdict::Cancelled)
        return done;
    CalibrationReport report = ReportOfRun(job.request.kind, run);
    report.model = job.model;
    report.versionText = done.indicator.version;
    report.modelText = done.indicator.identification;
    report.secondText = done.indicator.identification2;
    report.rangeFound = rangeFound;
    report.grossFound = grossFound;
    report.note = job.note.trimmed();
    // "As left": read again unless the link was dropped.
    if (run.end != CalibrationEnd::Refused) {
        if (const std::optional<IndicatorRange> after = ReadRange(link))
            report.rangeLeft = after->codes;
        report.grossLeft = grossOn(link, report.rangeLeft ? report.rangeLeft : rangeFound);
    }
    report.when = link.clock().now();
    done.report = std::move(report);
    return done;
}

}  // namespace vx
