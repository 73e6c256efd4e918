#include "files/SelectiveSend.h"

#include "files/RestorePoint.h"
#include "files/SameIndicator.h"
#include "files/WorkingSet.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <algorithm>
#include <array>

namespace vx {
namespace {

using params::Group;
using params::Row;

constexpr std::array<int, 7> kCalibrationRawRows = {69, 70, 71, 72, 74, 75, 76};

bool isCalibrationRaw(int row)
{
    return std::find(kCalibrationRawRows.begin(), kCalibrationRawRows.end(), row) != kCalibrationRawRows.end();
}

// A row a tick can send on its own: a written row other than the clock and the raw
// calibration values.
bool sendableRow(int row)
{
    if (row < 0 || row >= params::RowCount)
        return false;
    const Row &r = params::RowAt(row);
    return r.isValueRow() && r.group != Group::None && r.group != Group::DateTime && !isCalibrationRaw(row);
}

WorkingSet &open(const WorkingSet &set) { return const_cast<WorkingSet &>(set); }

// The row's value from the file.
void takeRow(ParameterSet &to, const ParameterSet &from, int row) { to.setRowValue(row, from.rowValue(row)); }

bool selected(const Selection &s, const Difference &d)
{
    switch (d.kind) {
    case DifferenceKind::ParameterRow: return s.parameterRows.contains(d.index);
    case DifferenceKind::CalibrationRaw: return s.calibration;
    case DifferenceKind::IdRecord: return s.idRecords.contains(d.index);
    case DifferenceKind::IdHeader: return s.idHeaders.contains(d.index);
    case DifferenceKind::SetpointRecord: return s.setpointRecords.contains(d.index);
    case DifferenceKind::TicketLine: return s.ticketLines;
    case DifferenceKind::EplText: return s.eplText;
    case DifferenceKind::PresetTare: return false;
    }
    return false;
}

WriteGroups parameterGroups(const Selection &s)
{
    WriteGroups groups;
    for (int row : s.parameterRows)
        if (sendableRow(row))
            groups.add(params::RowAt(row).group);
    if (s.calibration)
        groups.calibration = true;
    return groups;
}

}  // namespace

bool Selection::empty() const { return count() == 0; }

int Selection::count() const
{
    return int(parameterRows.size() + idRecords.size() + idHeaders.size() + setpointRecords.size())
        + (calibration ? 1 : 0) + (ticketLines ? 1 : 0) + (eplText ? 1 : 0);
}

void Selection::tick(const Difference &d)
{
    switch (d.kind) {
    case DifferenceKind::ParameterRow:
        if (sendableRow(d.index))
            parameterRows.insert(d.index);
        break;
    case DifferenceKind::CalibrationRaw: calibration = true; break;
    case DifferenceKind::IdRecord: idRecords.insert(d.index); break;
    case DifferenceKind::IdHeader: idHeaders.insert(d.index); break;
    case DifferenceKind::SetpointRecord: setpointRecords.insert(d.index); break;
    case DifferenceKind::TicketLine: ticketLines = true; break;
    case DifferenceKind::EplText: eplText = true; break;
    case DifferenceKind::PresetTare: break;
    }
}

Selection Selection::of(const Differences &differences)
{
    Selection s;
    for (const Difference &d : differences)
        s.tick(d);
    return s;
}

std::optional<Selection> ParseSelection(const QString &list, QString *bad)
{
    Selection s;
    auto fail = [bad](const QString &word) {
        if (bad)
            *bad = word;
        return std::nullopt;
    };
    const QStringList words = list.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return fail(list);
    for (const QString &raw : words) {
        const QString word = raw.trimmed().toLower();
        if (word == QLatin1String("ticket")) {
            s.ticketLines = true;
            continue;
        }
        if (word == QLatin1String("epl")) {
            s.eplText = true;
            continue;
        }
        if (word == QLatin1String("calibration")) {
            s.calibration = true;
            continue;
        }
        const qsizetype colon = word.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            // A code: the one row that carries it.
            int found = -1;
            for (const Row &r : params::Rows()) {
                if (!sendableRow(r.row) || params::RowCode(r) != word)
                    continue;
                if (found >= 0)
                    return fail(raw.trimmed());  // two rows share the code: name it by its row
                found = r.row;
            }
            if (found < 0)
                return fail(raw.trimmed());
            s.parameterRows.insert(found);
            continue;
        }
        const QString kind = word.left(colon);
        bool ok = false;
        const int n = word.mid(colon + 1).toInt(&ok);
        if (!ok)
            return fail(raw.trimmed());
        if (kind == QLatin1String("row") && sendableRow(n))
            s.parameterRows.insert(n);
        else if (kind == QLatin1String("id") && n >= 0 && n < IdRecordCount)
            s.idRecords.insert(n);
        else if (kind == QLatin1String("idheader") && n >= 0 && n < IdHeaderCount)
            s.idHeaders.insert(n);
        else if (kind == QLatin1String("setpoint") && n >= 0 && n < SetpointRecordCount)
            s.setpointRecords.insert(n);
        else if (kind == QLatin1String("line") && n >= 0 && n < TicketLineCount)
            s.ticketLines = true;
        else
            return fail(raw.trimmed());
    }
    return s;
}

std::vector<BatchGroup> SelectionGroups(const Selection &s)
{
    std::vector<BatchGroup> out;
    if (s.ticketLines || s.eplText)
        out.push_back(BatchGroup::Header);
    if (!s.idRecords.empty() || !s.idHeaders.empty())
        out.push_back(BatchGroup::Id);
    if (!s.setpointRecords.empty())
        out.push_back(BatchGroup::Setpoint);
    const WriteGroups p = parameterGroups(s);
    if (p.calibration)
        out.push_back(BatchGroup::Calibration);
    if (p.jmp)
        out.push_back(BatchGroup::Jmp);
    if (p.nrm)
        out.push_back(BatchGroup::Nrm);
    return out;
}

SelectiveSendResult SelectiveSend(Link &link, const WorkingSet &file, const Selection &selection,
                                  const SelectiveSendContext &context)
{
    SelectiveSendResult result;
    result.groups = SelectionGroups(selection);
    if (result.groups.empty()) {
        result.outcome = SelectiveOutcome::NothingTicked;
        return result;
    }
    if (selection.ticketLines && selection.eplText) {
        result.outcome = SelectiveOutcome::BothPrinters;
        return result;
    }
    // HOOK: the question before a send to another indicator is asked here, before the line is used.
    if (context.confirmSend && !context.confirmSend()) {
        result.outcome = SelectiveOutcome::Declined;
        return result;
    }

    const WriteGroups parameters = parameterGroups(selection);
    const bool anyParameters = parameters.calibration || parameters.jmp || parameters.nrm;
    const bool ids = !selection.idRecords.empty() || !selection.idHeaders.empty();
    const bool setpoints = !selection.setpointRecords.empty();
    const bool header = selection.ticketLines || selection.eplText;
    const PrinterKind printer = selection.eplText ? PrinterKind::Epl : PrinterKind::Ticket;
    const bool restorePoint = !context.restorePointFolder.isEmpty();

    // The restore point's folder is checked before the line is used.
    if (restorePoint) {
        if (const std::optional<RestorePointResult> unusable =
                RestorePointFolderUnusable(context.restorePointFolder, context.texts)) {
            result.outcome = SelectiveOutcome::RestorePointFailed;
            result.restorePointError = unusable->message;
            return result;
        }
    }

    // The indicator's values of the groups concerned, read again just now (and, for a
    // restore point, the ticket lines or EPL text they replace).
    WorkingSet toSend;
    toSend.parameters().weight = context.weight;
    LayOutGrid(toSend.parameters(), context.texts.lines(), context.model);
    toSend.ticket().setPrinterKind(printer);
    if (ids || setpoints || anyParameters || (restorePoint && header)) {
        ReadAllChoice read;
        read.header = restorePoint && header;
        read.id = ids;
        read.setpoint = setpoints;
        read.parameters = anyParameters;
        read.printer = printer;
        read.model = context.model;
        const ReadAllResult r = ReadAll(link, toSend, context.texts, read, context.weight, context.disconnect);
        result.read = r.groups;
        const bool whole = r.outcome == BatchOutcome::Completed
            && std::all_of(r.groups.begin(), r.groups.end(),
                           [](const GroupResult &g) { return g.outcome == GroupOutcome::Done; });
        if (!whole) {
            result.outcome = SelectiveOutcome::ReadFailed;
            return result;
        }
    }

    // What changes: the ticked units whose file value is not what the indicator holds.
    CompareParts parts{.ticketLines = false, .eplText = false, .ids = ids, .setpoints = setpoints,
                       .parameters = anyParameters};
    for (const Difference &d : Compare(toSend, file, CompareScope::IndicatorVsFile, parts))
        if (selected(selection, d))
            result.changed.push_back(d);
    // Nothing ticked differs (the ticket lines and the EPL text always go): nothing to write.
    if (result.changed.empty() && !header) {
        result.outcome = SelectiveOutcome::NothingDiffers;
        return result;
    }

    // The restore point: what the indicator holds now, named after it, kept aside.
    std::optional<ConfigurationRecord> before;
    std::optional<IdentificationTexts> indicator;
    if (restorePoint) {
        indicator = ReadIndicatorIdentification(link, context.texts.lines());
        if (!indicator) {
            result.outcome = SelectiveOutcome::RestorePointFailed;
            result.restorePointUnread = true;
            result.restorePointError = context.texts.builtIn(BuiltIn::RestorePointFailed)
                                           .arg(context.texts.builtIn(BuiltIn::RestorePointNoIdentification));
            return result;
        }
        NameRestorePointIndicator(toSend, *indicator);
        before = toSend.record();
    }

    // The groups built from the indicator's values with the ticked units from the file.
    WorkingSet &f = open(file);
    for (int row : selection.parameterRows)
        if (sendableRow(row))
            takeRow(toSend.parameters(), f.parameters(), row);
    if (selection.calibration)
        for (int row : kCalibrationRawRows)
            takeRow(toSend.parameters(), f.parameters(), row);
    for (int i : selection.idRecords)
        toSend.ids().setRecord(i, f.ids().number(i), f.ids().name(i));
    for (int i : selection.idHeaders)
        toSend.ids().setIdHeader(i, f.ids().idHeader(i));
    for (int j : selection.setpointRecords)
        for (int k = 0; k < SetpointsPerRecord; ++k)
            toSend.setpoints().setValue(j, k, f.setpoints().value(j, k));
    if (selection.ticketLines) {
        toSend.ticket().setHeaderCentred(f.ticket().headerCentred());
        toSend.ticket().setFootnoteCentred(f.ticket().footnoteCentred());
        for (int k = 0; k < TicketLineCount; ++k) {
            toSend.ticket().setLine(k, f.ticket().line(k));
            const QString line = f.ticket().line(k);
            result.changed.push_back({.kind = DifferenceKind::TicketLine, .index = k, .b = line, .textB = line});
        }
    }
    if (selection.eplText) {
        toSend.ticket().setEplText(f.ticket().eplText());
        result.changed.push_back({.kind = DifferenceKind::EplText,
                                  .b = f.ticket().eplText(),
                                  .textB = f.ticket().eplText()});
    }
    toSend.collect();

    SendAllChoice send;
    send.header = header;
    send.id = ids;
    send.setpoint = setpoints;
    send.parameters = parameters;
    send.printer = printer;
    // The groups as they would go: a ticked unit the file holds no value for, or a
    // value that cannot go, stops the send before the restore point and the first write.
    result.problem = CheckBeforeSend(toSend.record(), toSend.parameters(), send, context.model, context.weight).problem;
    if (result.problem) {
        result.outcome = SelectiveOutcome::Unfit;
        return result;
    }
    if (before) {
        const RestorePointResult saved = WriteRestorePoint(*before, context.texts, context.model, *indicator,
                                                           context.restorePointFolder, link.clock().now());
        if (!saved.ok) {
            result.outcome = SelectiveOutcome::RestorePointFailed;
            result.restorePointError = saved.message;
            return result;
        }
        result.restorePoint = saved.path;
    }
    result.sent = SendAll(link, toSend, context.texts, send, context.weight);
    result.outcome = result.sent.outcome == BatchOutcome::Completed && !result.sent.dateTimeSkipped
        ? SelectiveOutcome::Sent
        : SelectiveOutcome::SendStopped;
    return result;
}

QString SelectiveSendMessage(const SelectiveSendResult &result, const TextService &texts)
{
    QStringList names;
    switch (result.outcome) {
    case SelectiveOutcome::NothingTicked: return texts.builtIn(BuiltIn::SelectiveNothingTicked);
    case SelectiveOutcome::BothPrinters: return texts.builtIn(BuiltIn::SelectiveBothPrinters);
    case SelectiveOutcome::Declined: return {};
    case SelectiveOutcome::ReadFailed:
        for (const GroupResult &g : result.read)
            if (g.outcome != GroupOutcome::Done)
                names << BatchGroupCaption(g.group, texts, false).trimmed();
        return texts.builtIn(BuiltIn::SelectiveReadFailed).arg(names.join(QStringLiteral(", ")));
    case SelectiveOutcome::NothingDiffers: return texts.builtIn(BuiltIn::SelectiveNothingDiffers);
    case SelectiveOutcome::Unfit: return result.problem ? SendProblemText(*result.problem, texts) : QString();
    case SelectiveOutcome::RestorePointFailed: return result.restorePointError;
    case SelectiveOutcome::SendStopped: return GroupsNotDoneText(result.sent.groups, texts, true);
    case SelectiveOutcome::Sent:
        for (BatchGroup g : result.groups)
            names << BatchGroupCaption(g, texts, true).trimmed();
        return texts.builtIn(BuiltIn::SelectiveSent).arg(names.join(QStringLiteral(", ")));
    }
    return {};
}

}  // namespace vx
