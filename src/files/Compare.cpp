#include "files/Compare.h"

#include "params/Catalogue.h"
#include "files/WorkingSet.h"
#include "memory/TicketText.h"
#include "params/BlockCodec.h"
#include "shell/TextService.h"

#include <QJsonObject>
#include <algorithm>
#include <array>
#include <map>

namespace vx {
namespace {

using params::Area;
using params::Group;
using params::Kind;
using params::Row;

constexpr int kDateTimeRow = 1;
// Rows 69-72 and 74-76: the raw values a calibration leaves (the write takes them from
// the values held beside the grid; row 74 goes in the same block).
constexpr std::array<int, 7> kCalibrationRawRows = {69, 70, 71, 72, 74, 75, 76};

bool isCalibrationRaw(int row)
{
    return std::find(kCalibrationRawRows.begin(), kCalibrationRawRows.end(), row) != kCalibrationRawRows.end();
}

// The sets are only read here; their accessors are the pages' (non-const) ones.
WorkingSet &open(const WorkingSet &set) { return const_cast<WorkingSet &>(set); }

// Whether a row's value is held beside the grid rather than in its cell.
bool heldBeside(const Row &row)
{
    return row.kind == Kind::Weight || row.kind == Kind::Word || row.kind == Kind::WordPair
        || row.kind == Kind::LongPrefixed;
}

bool heldPresent(const ParameterSet &set, const Row &row) { return set.rowValue(row.row).held().has_value(); }

// The number a row's block carries for its value (as the write would send it); an
// invalid QVariant when the row holds nothing.
QVariant rowValue(const ParameterSet &set, const Row &row, const QString &areaHex)
{
    if (heldBeside(row) ? !heldPresent(set, row) : set.value(row.row).trimmed().isEmpty())
        return {};
    if (row.group == Group::None)  // [800]: read only, never encoded for a write
        return CellCode(set.value(row.row));
    bool ok = false;
    const quint32 raw = areaHex.mid(row.offset * 2, row.width * 2).toUInt(&ok, 16);
    if (!ok)
        return {};
    if (row.width == 4)
        return qint64(qint32(raw));
    return qint64(raw);
}

QString shownValue(const QVariant &v, const QString &text)
{
    return v.isValid() ? text : QString();
}

QString ticketLineValue(const TicketLayout &t, int k, bool align)
{
    const QString line = align ? CutAtNul(AlignedTicketLine(t.line(k), t.centred(k))) : CutAtNul(t.line(k));
    return TrimTrailingSpaces(line);
}

QVariant setpointNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    bool ok = false;
    const double v = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? QVariant(v) : QVariant(t);
}

void addParameters(Differences &out, const WorkingSet &a, const WorkingSet &b, CompareScope scope)
{
    const ParameterSet &pa = open(a).parameters();
    const ParameterSet &pb = open(b).parameters();
    const std::map<Area, QString> hexA = {{Area::Configuration, EncodeArea(pa, Area::Configuration)},
                                          {Area::Calibration, EncodeArea(pa, Area::Calibration)}};
    const std::map<Area, QString> hexB = {{Area::Configuration, EncodeArea(pb, Area::Configuration)},
                                          {Area::Calibration, EncodeArea(pb, Area::Calibration)}};
    Difference raw{.kind = DifferenceKind::CalibrationRaw};
    QVariantList rawA, rawB;
    QStringList rawTextA, rawTextB;
    bool rawDiffers = false;
    for (const Row &row : params::Rows()) {
        if (!row.isValueRow() || row.row == kDateTimeRow || row.row == params::ModelTextRow || row.row == params::SecondTextRow)
            continue;
        if (row.area != Area::Configuration && row.area != Area::Calibration)
            continue;
        // A read-only row cannot be sent: against the indicator it would differ for ever.
        if (row.group == Group::None && scope == CompareScope::IndicatorVsFile)
            continue;
        const QVariant va = rowValue(pa, row, hexA.at(row.area));
        const QVariant vb = rowValue(pb, row, hexB.at(row.area));
        const QString ta = shownValue(va, pa.value(row.row).trimmed());
        const QString tb = shownValue(vb, pb.value(row.row).trimmed());
        if (isCalibrationRaw(row.row)) {
            rawA << va;
            rawB << vb;
            rawTextA << ta;
            rawTextB << tb;
            rawDiffers = rawDiffers || va != vb;
            if (row.row == kCalibrationRawRows.back() && rawDiffers) {
                raw.a = rawA;
                raw.b = rawB;
                raw.textA = rawTextA.join(QStringLiteral("; "));
                raw.textB = rawTextB.join(QStringLiteral("; "));
                out.push_back(raw);
            }
            continue;
        }
        if (va == vb)
            continue;
        out.push_back({.kind = DifferenceKind::ParameterRow,
                       .index = row.row,
                       .code = params::RowCode(row),
                       .a = va,
                       .b = vb,
                       .textA = ta,
                       .textB = tb});
    }
}

}  // namespace

Differences Compare(const WorkingSet &a, const WorkingSet &b, CompareScope scope, const CompareParts &parts)
{
    Differences out;
    WorkingSet &sa = open(a);
    WorkingSet &sb = open(b);
    const bool alignA = scope == CompareScope::FileVsFile;  // the indicator's lines are as it keeps them

    if (parts.ticketLines) {
        for (int k = 0; k < TicketLineCount; ++k) {
            const QString la = ticketLineValue(sa.ticket(), k, alignA);
            const QString lb = ticketLineValue(sb.ticket(), k, true);
            if (la != lb)
                out.push_back({.kind = DifferenceKind::TicketLine, .index = k, .a = la, .b = lb, .textA = la, .textB = lb});
        }
    }
    if (parts.eplText) {
        const QString ea = sa.ticket().eplText().trimmed();
        const QString eb = sb.ticket().eplText().trimmed();
        if (ea != eb)
            out.push_back({.kind = DifferenceKind::EplText, .a = ea, .b = eb, .textA = ea, .textB = eb});
    }
    if (parts.ids) {
        for (int i = 0; i < IdHeaderCount; ++i) {
            const QString ha = TrimTrailingSpaces(sa.ids().idHeader(i));
            const QString hb = TrimTrailingSpaces(sb.ids().idHeader(i));
            if (ha != hb)
                out.push_back({.kind = DifferenceKind::IdHeader, .index = i, .a = ha, .b = hb, .textA = ha, .textB = hb});
        }
        for (int i = 0; i < IdRecordCount; ++i) {
            const QStringList ra = {sa.ids().number(i).trimmed(), TrimTrailingSpaces(sa.ids().name(i))};
            const QStringList rb = {sb.ids().number(i).trimmed(), TrimTrailingSpaces(sb.ids().name(i))};
            if (ra != rb)
                out.push_back({.kind = DifferenceKind::IdRecord,
                               .index = i,
                               .a = ra,
                               .b = rb,
                               .textA = ra.join(QStringLiteral(" ")).trimmed(),
                               .textB = rb.join(QStringLiteral(" ")).trimmed()});
        }
    }
    if (parts.setpoints) {
        for (int j = 0; j < SetpointRecordCount; ++j) {
            QVariantList va, vb;
            QStringList ta, tb;
            for (int k = 0; k < SetpointsPerRecord; ++k) {
                va << setpointNumber(sa.setpoints().value(j, k));
                vb << setpointNumber(sb.setpoints().value(j, k));
                ta << sa.setpoints().value(j, k).trimmed();
                tb << sb.setpoints().value(j, k).trimmed();
            }
            if (va != vb)
                out.push_back({.kind = DifferenceKind::SetpointRecord,
                               .index = j,
                               .a = va,
                               .b = vb,
                               .textA = ta.join(QStringLiteral("; ")),
                               .textB = tb.join(QStringLiteral("; "))});
        }
    }
    if (parts.parameters)
        addParameters(out, a, b, scope);
    if (scope == CompareScope::FileVsFile) {
        for (int i = 0; i < PresetTareRecordCount; ++i) {
            const double va = PresetTareNumber(sa.presetTares().value(i));
            const double vb = PresetTareNumber(sb.presetTares().value(i));
            if (va != vb)
                out.push_back({.kind = DifferenceKind::PresetTare,
                               .index = i,
                               .a = va,
                               .b = vb,
                               .textA = PresetTareText(va),
                               .textB = PresetTareText(vb)});
        }
    }
    return out;
}

QString DifferenceLabel(const Difference &d, const TextService &texts)
{
    switch (d.kind) {
    case DifferenceKind::ParameterRow:
        // The row number keys it; the caption is only for reading.
        return params::RowCaption(params::RowAt(d.index), texts.lines()).trimmed();
    case DifferenceKind::CalibrationRaw: return texts.builtIn(BuiltIn::CompareCalibrationRaw);
    case DifferenceKind::IdRecord: return IdMemory::rowLabel(d.index);
    case DifferenceKind::IdHeader: return texts.builtIn(BuiltIn::CompareIdHeader).arg(d.index + 1);
    case DifferenceKind::SetpointRecord: return SetpointMemory::rowLabel(d.index);
    case DifferenceKind::TicketLine:
        return TicketLayout::isFootnote(d.index)
            ? texts.builtIn(BuiltIn::CompareFootnoteLine).arg(d.index - HeaderLineCount + 1)
            : texts.builtIn(BuiltIn::CompareHeaderLine).arg(d.index + 1);
    case DifferenceKind::EplText: return texts.builtIn(BuiltIn::CompareEplText);
    case DifferenceKind::PresetTare: return PresetTares::rowLabel(d.index);
    }
    return {};
}

QString DifferenceKey(const Difference &d)
{
    switch (d.kind) {
    case DifferenceKind::ParameterRow: return QStringLiteral("row:%1").arg(d.index);
    case DifferenceKind::CalibrationRaw: return QStringLiteral("calibration");
    case DifferenceKind::IdRecord: return QStringLiteral("id:%1").arg(d.index);
    case DifferenceKind::IdHeader: return QStringLiteral("idheader:%1").arg(d.index);
    case DifferenceKind::SetpointRecord: return QStringLiteral("setpoint:%1").arg(d.index);
    case DifferenceKind::TicketLine: return QStringLiteral("line:%1").arg(d.index);
    case DifferenceKind::EplText: return QStringLiteral("epl");
    case DifferenceKind::PresetTare: return QStringLiteral("tare:%1").arg(d.index);
    }
    return {};
}

namespace {

QString kindName(DifferenceKind kind)
{
    switch (kind) {
    case DifferenceKind::ParameterRow: return QStringLiteral("parameter");
    case DifferenceKind::CalibrationRaw: return QStringLiteral("calibration");
    case DifferenceKind::IdRecord: return QStringLiteral("id");
    case DifferenceKind::IdHeader: return QStringLiteral("idHeader");
    case DifferenceKind::SetpointRecord: return QStringLiteral("setpoint");
    case DifferenceKind::TicketLine: return QStringLiteral("ticketLine");
    case DifferenceKind::EplText: return QStringLiteral("epl");
    case DifferenceKind::PresetTare: return QStringLiteral("presetTare");
    }
    return {};
}

// A text on one line of the plain rendering (the EPL text has line breaks).
QString oneLine(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    t.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    t.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return t;
}

}  // namespace

QString DifferencesText(const Differences &differences, const TextService &texts, const QString &columnA,
                        const QString &columnB)
{
    QString out = texts.builtIn(BuiltIn::CompareColumnRow) + QLatin1Char('\t') + columnA + QLatin1Char('\t') + columnB
        + QLatin1Char('\n');
    for (const Difference &d : differences)
        out += DifferenceLabel(d, texts) + QLatin1Char('\t') + oneLine(d.textA) + QLatin1Char('\t') + oneLine(d.textB)
            + QLatin1Char('\n');
    return out;
}

QJsonArray DifferencesJson(const Differences &differences, const TextService &texts)
{
    QJsonArray out;
    for (const Difference &d : differences) {
        QJsonObject o{{QStringLiteral("key"), DifferenceKey(d)},
                      {QStringLiteral("kind"), kindName(d.kind)},
                      {QStringLiteral("label"), DifferenceLabel(d, texts)},
                      {QStringLiteral("a"), d.textA},
                      {QStringLiteral("b"), d.textB}};
        if (d.kind == DifferenceKind::ParameterRow) {
            o.insert(QStringLiteral("row"), d.index);
            o.insert(QStringLiteral("code"), d.code);
            o.insert(QStringLiteral("valueA"), d.a.isValid() ? QJsonValue(d.a.toLongLong()) : QJsonValue());
            o.insert(QStringLiteral("valueB"), d.b.isValid() ? QJsonValue(d.b.toLongLong()) : QJsonValue());
        } else if (d.kind != DifferenceKind::CalibrationRaw && d.kind != DifferenceKind::EplText) {
            o.insert(QStringLiteral("index"), d.index);
        }
        out.append(o);
    }
    return out;
}

}  // namespace vx

namespace vx {
namespace {

// The send panel's captions of the parts (language lines).
int partLine(SetGroup group)
{
    switch (group) {
    case SetGroup::TicketLines: return 31;
    case SetGroup::Ids: return 32;
    case SetGroup::PresetTares: return 33;
    case SetGroup::Setpoints: return 34;
    case SetGroup::DateTime: return 36;
    case SetGroup::Calibration: return 37;
    case SetGroup::Jmp: return 38;
    case SetGroup::Nrm: return 39;
    case SetGroup::EplText:
    case SetGroup::Count: break;
    }
    return 0;
}

bool inParts(SetGroup group, const CompareParts &parts, CompareScope scope)
{
    switch (group) {
    case SetGroup::TicketLines: return parts.ticketLines;
    case SetGroup::EplText: return parts.eplText;
    case SetGroup::Ids: return parts.ids;
    case SetGroup::Setpoints: return parts.setpoints;
    case SetGroup::PresetTares: return scope == CompareScope::FileVsFile;
    case SetGroup::Calibration:
    case SetGroup::Jmp:
    case SetGroup::Nrm:
    case SetGroup::DateTime: return parts.parameters;
    case SetGroup::Count: break;
    }
    return false;
}

}  // namespace

PartChoice PartChoice::all()
{
    PartChoice c;
    c.on.fill(true);
    return c;
}

QStringList PartChoiceNames()
{
    return {QStringLiteral("header"), QStringLiteral("id"),  QStringLiteral("setpoint"), QStringLiteral("calibration"),
            QStringLiteral("jmp"),    QStringLiteral("nrm"), QStringLiteral("datetime"), QStringLiteral("params")};
}

std::optional<PartChoice> ParsePartChoice(const QString &list, QString *unknown)
{
    PartChoice c;
    bool any = false;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString name = part.trimmed().toLower();
        if (name.isEmpty())
            continue;
        if (!PartChoiceNames().contains(name)) {
            if (unknown)
                *unknown = name;
            return std::nullopt;
        }
        any = true;
        for (std::size_t g = 0; g < SetGroupCount; ++g) {
            const SetGroup group = SetGroup(g);
            const bool param = group == SetGroup::Calibration || group == SetGroup::Jmp || group == SetGroup::Nrm;
            if (SetGroupName(group) == name || (name == QLatin1String("params") && param))
                c.on[g] = true;
        }
    }
    if (!any) {
        if (unknown)
            unknown->clear();
        return std::nullopt;
    }
    return c;
}

std::optional<SetGroup> PartOf(const Difference &d)
{
    switch (d.kind) {
    case DifferenceKind::ParameterRow: return PartOfRow(d.index);
    case DifferenceKind::CalibrationRaw: return SetGroup::Calibration;
    case DifferenceKind::IdRecord:
    case DifferenceKind::IdHeader: return SetGroup::Ids;
    case DifferenceKind::SetpointRecord: return SetGroup::Setpoints;
    case DifferenceKind::TicketLine: return SetGroup::TicketLines;
    case DifferenceKind::EplText: return SetGroup::EplText;
    case DifferenceKind::PresetTare: return SetGroup::PresetTares;
    }
    return std::nullopt;
}

Comparison CompareHeld(const WorkingSet &a, const WorkingSet &b, CompareScope scope, const CompareParts &parts,
                       const PartChoice &chosen)
{
    const bool parameters = chosen.has(SetGroup::Calibration) || chosen.has(SetGroup::Jmp)
        || chosen.has(SetGroup::Nrm) || chosen.has(SetGroup::DateTime);
    const CompareParts asked{.ticketLines = parts.ticketLines && chosen.has(SetGroup::TicketLines),
                             .eplText = parts.eplText && chosen.has(SetGroup::EplText),
                             .ids = parts.ids && chosen.has(SetGroup::Ids),
                             .setpoints = parts.setpoints && chosen.has(SetGroup::Setpoints),
                             .parameters = parts.parameters && parameters};
    auto holdsA = [&](SetGroup g) { return scope == CompareScope::IndicatorVsFile || a.holds(g); };
    Comparison out;
    std::array<bool, SetGroupCount> differs{};
    for (Difference &d : Compare(a, b, scope, asked)) {
        const std::optional<SetGroup> part = PartOf(d);
        // A read-only row ([800], between files) goes with the parameters chosen.
        if (part ? !chosen.has(*part) : !parameters)
            continue;
        if (part && (!holdsA(*part) || !b.holds(*part))) {
            differs[std::size_t(*part)] = true;
            continue;
        }
        out.differences.push_back(std::move(d));
    }
    // The header group: as the setting of the printer says, "header" names both.
    for (std::size_t g = 0; g < SetGroupCount; ++g) {
        const SetGroup group = SetGroup(g);
        if (!differs[g] || !inParts(group, parts, scope))
            continue;
        const bool inA = holdsA(group);
        if (inA == b.holds(group))
            continue;  // neither holds it: nothing to say
        out.notHeld.push_back({group, inA});
    }
    return out;
}

QString PartLabel(SetGroup group, const TextService &texts)
{
    if (group == SetGroup::EplText)
        return texts.builtIn(BuiltIn::CompareEplText);
    const QString line = texts.line(partLine(group)).trimmed();
    return line.isEmpty() ? SetGroupName(group) : line;
}

QString NotHeldText(const PartNotHeld &line, bool sideA, const TextService &texts)
{
    return line.inA == sideA ? QString() : texts.builtIn(BuiltIn::CompareNotInFile);
}

QString ComparisonText(const Comparison &comparison, const TextService &texts, const QString &columnA,
                       const QString &columnB)
{
    const QString none = texts.builtIn(BuiltIn::CompareNoDifferences) + QLatin1Char('\n');
    if (comparison.notHeld.empty())
        return comparison.differences.empty() ? none : DifferencesText(comparison.differences, texts, columnA, columnB);
    // What both hold (perhaps nothing different), then a line a part only one side holds.
    QString out = comparison.differences.empty() ? none : QString();
    out += DifferencesText(comparison.differences, texts, columnA, columnB);
    for (const PartNotHeld &line : comparison.notHeld)
        out += PartLabel(line.group, texts) + QLatin1Char('\t') + NotHeldText(line, true, texts) + QLatin1Char('\t')
            + NotHeldText(line, false, texts) + QLatin1Char('\n');
    return out;
}

QJsonArray NotHeldJson(const std::vector<PartNotHeld> &lines, const TextService &texts)
{
    QJsonArray out;
    for (const PartNotHeld &line : lines)
        out.append(QJsonObject{{QStringLiteral("group"), SetGroupName(line.group)},
                               {QStringLiteral("label"), PartLabel(line.group, texts)},
                               {QStringLiteral("a"), NotHeldText(line, true, texts)},
                               {QStringLiteral("b"), NotHeldText(line, false, texts)}});
    return out;
}

}  // namespace vx
