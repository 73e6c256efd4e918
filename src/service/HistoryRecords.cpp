#include "service/HistoryRecords.h"

#include "calibration/RangeLists.h"
#include "files/Compare.h"
#include "files/WorkingSet.h"
#include "params/Catalogue.h"
#include "params/ParameterSet.h"

#include <QFileInfo>

namespace vx {

QString BatchGroupKey(BatchGroup group)
{
    switch (group) {
    case BatchGroup::Header: return QStringLiteral("header");
    case BatchGroup::Id: return QStringLiteral("id");
    case BatchGroup::Setpoint: return QStringLiteral("setpoint");
    case BatchGroup::Parameters: return QStringLiteral("parameters");
    case BatchGroup::Status: return QStringLiteral("status");
    case BatchGroup::DateTime: return QStringLiteral("datetime");
    case BatchGroup::Calibration: return QStringLiteral("calibration");
    case BatchGroup::Jmp: return QStringLiteral("jmp");
    case BatchGroup::Nrm: return QStringLiteral("nrm");
    }
    return {};
}

QStringList SendGroupKeys(const SendAllChoice &c)
{
    QStringList keys;
    const std::pair<bool, BatchGroup> groups[] = {
        {c.header, BatchGroup::Header},           {c.id, BatchGroup::Id},
        {c.setpoint, BatchGroup::Setpoint},       {c.parameters.dateTime, BatchGroup::DateTime},
        {c.parameters.calibration, BatchGroup::Calibration}, {c.parameters.jmp, BatchGroup::Jmp},
        {c.parameters.nrm, BatchGroup::Nrm}};
    for (const auto &[chosen, group] : groups)
        if (chosen)
            keys << BatchGroupKey(group);
    return keys;
}

QString SendOutcomeKey(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::Completed: return QStringLiteral("sent");
    case BatchOutcome::Aborted: return QStringLiteral("aborted");
    case BatchOutcome::Refused: return QStringLiteral("refused");
    case BatchOutcome::NotSent: return QStringLiteral("not-sent");
    case BatchOutcome::ProbeRefused: return QStringLiteral("not-started");
    }
    return {};
}

QString CalibrationKindKey(CalibrationKind kind)
{
    switch (kind) {
    case CalibrationKind::General: return QStringLiteral("general");
    case CalibrationKind::Zero: return QStringLiteral("zero");
    case CalibrationKind::Span: return QStringLiteral("span");
    }
    return {};
}

QString CalibrationEndKey(CalibrationEnd end)
{
    switch (end) {
    case CalibrationEnd::Finished: return QStringLiteral("finished");
    case CalibrationEnd::Cancelled: return QStringLiteral("cancelled");
    case CalibrationEnd::NotPermitted: return QStringLiteral("not-permitted");
    case CalibrationEnd::BadDivisions: return QStringLiteral("bad-divisions");
    case CalibrationEnd::MissingField: return QStringLiteral("range-unknown");
    case CalibrationEnd::PortFailed: return QStringLiteral("port-failed");
    case CalibrationEnd::NoLoad: return QStringLiteral("no-load");
    case CalibrationEnd::Refused: return QStringLiteral("refused");
    case CalibrationEnd::Busy: return QStringLiteral("busy");
    case CalibrationEnd::StepRefused: return QStringLiteral("step-refused");
    }
    return {};
}

HistoryRecord SendHistoryRecord(const IndicatorIdentity &indicator, const SendAllChoice &choice,
                                const SendAllResult &result, HistoryTool tool, int skippedWrites)
{
    HistoryRecord r;
    r.time = QDateTime::currentDateTime();
    r.indicator = indicator;
    r.operation = HistoryOperation::Send;
    r.tool = tool;
    r.groups = SendGroupKeys(choice);
    // Every group asked for gets its result; one the batch never reached did not run.
    for (const QString &key : r.groups) {
        QString outcome = QStringLiteral("not-run");
        for (const GroupResult &g : result.groups)
            if (BatchGroupKey(g.group) == key)
                outcome = g.outcome == GroupOutcome::Done     ? QStringLiteral("sent")
                          : g.outcome == GroupOutcome::Failed ? QStringLiteral("failed")
                                                              : QStringLiteral("not-run");
        r.groupResults.emplace_back(key, outcome);
    }
    r.result = SendOutcomeKey(result.outcome);
    if (result.dateTimeSkipped)
        r.details << QStringLiteral("date and time not sent: row 1 held none");
    if (skippedWrites > 0)
        r.details << QStringLiteral("skipped writes: %1").arg(skippedWrites);
    return r;
}

void AddChangedRows(HistoryRecord &record, const WorkingSet &before, const WorkingSet &sent, const WriteGroups &groups)
{
    CompareParts parts;
    parts.ticketLines = parts.eplText = parts.ids = parts.setpoints = false;
    std::vector<HistoryChangedRow> rows;
    for (const Difference &d : Compare(before, sent, CompareScope::IndicatorVsFile, parts)) {
        if (d.kind == DifferenceKind::ParameterRow && groups.has(params::RowAt(d.index).group))
            rows.push_back({d.index, d.textA, d.textB});
        else if (d.kind == DifferenceKind::CalibrationRaw && groups.calibration)
            record.details << QStringLiteral("calibration (raw zero and span) changed");
    }
    record.changedRows = rows;
}

HistoryRecord SelectiveSendHistoryRecord(const IndicatorIdentity &indicator, const SelectiveSendResult &result,
                                         HistoryTool tool, int skippedWrites)
{
    HistoryRecord r;
    r.time = QDateTime::currentDateTime();
    r.indicator = indicator;
    r.operation = HistoryOperation::Send;
    r.tool = tool;
    for (BatchGroup group : result.groups) {
        const QString key = BatchGroupKey(group);
        r.groups << key;
        QString outcome = QStringLiteral("not-run");
        for (const GroupResult &g : result.sent.groups)
            if (g.group == group)
                outcome = g.outcome == GroupOutcome::Done     ? QStringLiteral("sent")
                          : g.outcome == GroupOutcome::Failed ? QStringLiteral("failed")
                                                              : QStringLiteral("not-run");
        r.groupResults.emplace_back(key, outcome);
    }
    switch (result.outcome) {
    case SelectiveOutcome::Sent: r.result = SendOutcomeKey(BatchOutcome::Completed); break;
    case SelectiveOutcome::SendStopped: r.result = SendOutcomeKey(result.sent.outcome); break;
    case SelectiveOutcome::Declined: r.result = QStringLiteral("declined"); break;
    case SelectiveOutcome::ReadFailed:
    case SelectiveOutcome::NothingTicked:
    case SelectiveOutcome::NothingDiffers:
    case SelectiveOutcome::Unfit:
    case SelectiveOutcome::RestorePointFailed:
    case SelectiveOutcome::BothPrinters: r.result = QStringLiteral("not-started"); break;
    }
    if (!result.restorePoint.isEmpty())
        r.restorePoint = QFileInfo(result.restorePoint).fileName();
    r.details << QStringLiteral("ticked rows only");
    std::vector<HistoryChangedRow> rows;
    QStringList others;
    for (const Difference &d : result.changed) {
        if (d.kind == DifferenceKind::ParameterRow)
            rows.push_back({d.index, d.textA, d.textB});
        else
            others << DifferenceKey(d);
    }
    r.changedRows = rows;
    if (!others.isEmpty())
        r.details << QStringLiteral("also sent: %1").arg(others.join(QStringLiteral(", ")));
    if (skippedWrites > 0)
        r.details << QStringLiteral("skipped writes: %1").arg(skippedWrites);
    return r;
}

HistoryRecord CalibrationHistoryRecord(const IndicatorIdentity &indicator, CalibrationKind kind,
                                       const CalibrationResult &result, HistoryTool tool)
{
    HistoryRecord r;
    r.time = QDateTime::currentDateTime();
    r.indicator = indicator;
    r.operation = HistoryOperation::Calibration;
    r.tool = tool;
    r.procedure = CalibrationKindKey(kind);
    r.result = CalibrationEndKey(result.end);
    if (result.pollGaveUp)
        r.details << QStringLiteral("no valid status from a step");
    if (result.stepRefused)
        r.details << QStringLiteral("a step was refused");
    if (result.written) {
        const RangeCodes &c = result.written->codes;
        QString range = QStringLiteral("range written: %1, %2 kg by %3 kg")
                            .arg(c.mode == 0 ? QStringLiteral("single") : QStringLiteral("dual"),
                                 CapacityValueText(c.capacity1), DivisionValueText(c.division1));
        if (c.mode != 0)
            range += QStringLiteral(", %1 kg by %2 kg").arg(CapacityValueText(c.capacity2), DivisionValueText(c.division2));
        range += c.metrology == 1 ? QStringLiteral(", metrological") : QStringLiteral(", not metrological");
        r.details << range;
    }
    return r;
}

QString VerificationVerdictKey(const VerificationResult &result)
{
    // A fault found counts before the end: it is what the scale's owner must hear.
    if (result.anyFailed())
        return QStringLiteral("fail");
    if (!result.complete())
        return VerificationEndKey(result.end);
    return QStringLiteral("pass");
}

HistoryRecord VerificationHistoryRecord(const IndicatorIdentity &indicator, const VerificationResult &result,
                                        HistoryTool tool)
{
    HistoryRecord r;
    r.time = QDateTime::currentDateTime();
    r.indicator = indicator;
    r.operation = HistoryOperation::Verification;
    r.tool = tool;
    r.procedure = QStringLiteral("class %1").arg(result.accuracy == AccuracyClass::IIII ? QStringLiteral("IIII")
                                                                                       : QStringLiteral("III"));
    if (result.inService)
        r.procedure += QStringLiteral(", in service");
    r.result = VerificationVerdictKey(result);
    r.details << QStringLiteral("steps measured: %1 of %2").arg(result.steps.size()).arg(result.plannedSteps);
    if (!result.complete())
        r.details << QStringLiteral("ended: %1").arg(VerificationEndKey(result.end));
    for (const VerifyStepResult &s : result.steps) {
        if (s.pass)
            continue;
        r.details << QStringLiteral("failed: %1 at %2 kg, error %3 kg, permissible %4 kg%5")
                         .arg(VerifyStepKindKey(s.step.kind), QString::number(s.step.reference),
                              s.indication ? QString::number(s.error) : QStringLiteral("-"), QString::number(s.mpe),
                              s.stable ? QString() : QStringLiteral(", not stable"));
    }
    for (const VerifySeries &s : result.series)
        if (!s.pass)
            r.details << QStringLiteral("failed: repeatability series %1, spread %2 kg, permissible %3 kg")
                             .arg(s.series)
                             .arg(QString::number(s.spread), QString::number(s.mpe));
    return r;
}

HistoryRecord AnalogTrimHistoryRecord(const IndicatorIdentity &indicator, bool voltage, AnalogTrimEnd end,
                                      const AnalogValues &values, HistoryTool tool)
{
    HistoryRecord r;
    r.time = QDateTime::currentDateTime();
    r.indicator = indicator;
    r.operation = HistoryOperation::AnalogTrim;
    r.tool = tool;
    r.procedure = voltage ? QStringLiteral("0-10 VDC") : QStringLiteral("4-20 mA");
    switch (end) {
    case AnalogTrimEnd::Ended: r.result = QStringLiteral("ended"); break;
    case AnalogTrimEnd::Busy: r.result = QStringLiteral("busy"); break;
    case AnalogTrimEnd::Refused: r.result = QStringLiteral("refused"); break;
    case AnalogTrimEnd::EndRefused: r.result = QStringLiteral("end-refused"); break;
    case AnalogTrimEnd::EndNotSent: r.result = QStringLiteral("end-not-sent"); break;
    }
    // Only values the indicator showed in a whole answer.
    if (values.zero)
        r.details << QStringLiteral("zero point: %1").arg(*values.zero);
    if (values.fullScale)
        r.details << QStringLiteral("full scale: %1").arg(*values.fullScale);
    return r;
}

}  // namespace vx
