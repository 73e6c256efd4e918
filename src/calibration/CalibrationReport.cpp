#include "calibration/CalibrationReport.h"

#include "shell/TextService.h"

namespace vx {
namespace {

QString orUnknown(const QString &text) { return text.trimmed().isEmpty() ? ReportUnknown : text.trimmed(); }

QString kg(const QString &value) { return value.isEmpty() ? ReportUnknown : value + QStringLiteral(" kg"); }

QString kindText(CalibrationKind kind, const TextService &t)
{
    switch (kind) {
    case CalibrationKind::General: return t.builtIn(BuiltIn::ReportGeneral);
    case CalibrationKind::Zero: return t.builtIn(BuiltIn::ReportZero);
    case CalibrationKind::Span: break;
    }
    return t.builtIn(BuiltIn::ReportSpan);
}

// The step in the technician's words (the register value it was given stays out).
QString stepText(int step, const TextService &t)
{
    switch (step) {
    case CalibrationStep::Zero: return t.builtIn(BuiltIn::ReportStepZero);
    case CalibrationStep::Span: return t.builtIn(BuiltIn::ReportStepSpan);
    case CalibrationStep::Finish: return t.builtIn(BuiltIn::ReportStepFinish);
    default: break;
    }
    return ReportUnknown;
}

// "Finished", or "Not finished" with every reason the run gave.
QString runOutcomeText(const CalibrationReport &r, const TextService &t)
{
    if (r.finished())
        return t.builtIn(BuiltIn::ReportFinished);
    QStringList why;
    if (r.pollGaveUp)
        why << t.builtIn(BuiltIn::ReportWhyNoStatus);
    if (r.stepRefused || r.end == CalibrationEnd::StepRefused)
        why << t.builtIn(BuiltIn::ReportWhyStepRefused);
    if (r.end == CalibrationEnd::Refused)
        why << t.builtIn(BuiltIn::ReportWhyNoAnswer);
    const QString notFinished = t.builtIn(BuiltIn::ReportNotFinished);
    return why.isEmpty() ? notFinished : notFinished + QStringLiteral(": ") + why.join(QStringLiteral("; "));
}

QString outcomeText(PollOutcome outcome, const TextService &t)
{
    switch (outcome) {
    case PollOutcome::Done: return t.builtIn(BuiltIn::ReportStepAccepted);
    case PollOutcome::Refused: return t.builtIn(BuiltIn::ReportStepRefused);
    case PollOutcome::GaveUp: break;
    }
    return t.builtIn(BuiltIn::ReportStepNoStatus);
}

// The range fields of one side: mode, the two capacities and divisions, metrology.
std::array<QString, 6> rangeTexts(const std::optional<RangeCodes> &codes, const TextService &t)
{
    std::array<QString, 6> out;
    out.fill(ReportUnknown);
    if (!codes)
        return out;
    const bool dual = codes->mode != 0;
    out[0] = t.builtIn(dual ? BuiltIn::ReportDualRange : BuiltIn::ReportSingleRange);
    out[1] = kg(CapacityValueText(codes->capacity1));
    out[2] = kg(DivisionValueText(codes->division1));
    if (dual) {
        out[3] = kg(CapacityValueText(codes->capacity2));
        out[4] = kg(DivisionValueText(codes->division2));
    }
    out[5] = t.builtIn(codes->metrology == 1 ? BuiltIn::ReportYes : BuiltIn::ReportNo);
    return out;
}

QString weightText(const std::optional<DisplayWeight> &w) { return w ? w->text() + QStringLiteral(" kg") : ReportUnknown; }

}  // namespace

bool CalibrationReport::finished() const
{
    CalibrationResult run;
    run.end = end;
    run.pollGaveUp = pollGaveUp;
    run.stepRefused = stepRefused;
    return run.verdict() == CalibrationVerdict::Finished;
}

CalibrationReport ReportOfRun(CalibrationKind kind, const CalibrationResult &result)
{
    CalibrationReport report;
    report.when = QDateTime::currentDateTime();
    report.kind = kind;
    report.steps = result.steps;
    report.testWeight = result.testWeight;
    report.end = result.end;
    report.pollGaveUp = result.pollGaveUp;
    report.stepRefused = result.stepRefused;
    return report;
}

CalibrationReportText ReportText(const CalibrationReport &r, const TextService &t)
{
    CalibrationReportText page;
    page.title = t.builtIn(BuiltIn::ReportTitle);
    QString identification = orUnknown(r.modelText);
    if (!r.secondText.trimmed().isEmpty())
        identification += QStringLiteral(" / ") + r.secondText.trimmed();
    page.facts = {
        {t.builtIn(BuiltIn::ReportDate), r.when.isValid() ? r.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                                          : ReportUnknown},
        {t.builtIn(BuiltIn::ReportModel), orUnknown(r.model)},
        {t.builtIn(BuiltIn::ReportVersion), orUnknown(r.versionText)},
        {t.builtIn(BuiltIn::ReportIdentification), identification},
        {t.builtIn(BuiltIn::ReportProcedure), kindText(r.kind, t)},
        {t.builtIn(BuiltIn::ReportTestWeight), kg(r.testWeight)},
        {t.builtIn(BuiltIn::ReportOutcome), runOutcomeText(r, t)},
    };
    page.foundHeading = t.builtIn(BuiltIn::ReportAsFound);
    page.leftHeading = t.builtIn(BuiltIn::ReportAsLeft);
    const std::array<QString, 6> found = rangeTexts(r.rangeFound, t);
    const std::array<QString, 6> left = rangeTexts(r.rangeLeft, t);
    const BuiltIn labels[6] = {BuiltIn::ReportMode,      BuiltIn::ReportCapacity1, BuiltIn::ReportDivision1,
                               BuiltIn::ReportCapacity2, BuiltIn::ReportDivision2, BuiltIn::ReportMetrological};
    for (int i = 0; i < 6; ++i)
        page.comparison.push_back({t.builtIn(labels[i]), found[std::size_t(i)], left[std::size_t(i)]});
    page.comparison.push_back({t.builtIn(BuiltIn::ReportGross), weightText(r.grossFound), weightText(r.grossLeft)});
    page.stepsHeading = t.builtIn(BuiltIn::ReportSteps);
    page.stepColumns = {t.builtIn(BuiltIn::ReportStep), t.builtIn(BuiltIn::ReportResult),
                        t.builtIn(BuiltIn::ReportCode)};
    for (const CalibrationStepRecord &s : r.steps)
        page.steps.push_back({stepText(s.step, t),
                              outcomeText(s.outcome, t), s.code.isEmpty() ? ReportUnknown : s.code});
    page.noteLabel = t.builtIn(BuiltIn::ReportNote);
    page.note = r.note.trimmed();
    page.signatureLabel = t.builtIn(BuiltIn::ReportSignature);
    return page;
}

QString ReportFileName(const QDateTime &when)
{
    return QStringLiteral("calibration-%1.pdf").arg(when.toString(QStringLiteral("yyyyMMdd-HHmm")));
}

}  // namespace vx
