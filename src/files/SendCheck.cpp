#include "files/SendCheck.h"

#include "files/ConfigurationRecord.h"
#include "link/Interfaces.h"
#include "link/NumberTexts.h"
#include "memory/TicketText.h"
#include "params/ParameterSet.h"
#include "shell/TextService.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace vx {
namespace {

using params::Kind;
using params::Row;

constexpr qint64 kInt32Min = std::numeric_limits<qint32>::min();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();

// The parameter parts in the order the send writes them.
constexpr std::pair<BatchGroup, params::Group> kParameterParts[] = {
    {BatchGroup::Calibration, params::Group::Calibration},
    {BatchGroup::Jmp, params::Group::Jmp},
    {BatchGroup::Nrm, params::Group::Nrm},
};

// A cell as it stands, without the NULs and blanks a file pads it with.
QString shownText(const QString &text) { return TrimSpaces(CutAtNul(text)); }

// A whole number and nothing else around its blanks; nothing for any other text.
std::optional<qint64> wholeNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]{1,18}$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    return text.toLongLong();
}

// A number with one decimal separator ("7,5", "7.5", "7") and nothing else.
bool decimalNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    return number.match(text).hasMatch();
}

// A row's field: what its kind lets it carry.
struct Field {
    qint64 lowest;
    qint64 highest;
};

Field fieldOf(const Row &row)
{
    switch (row.kind) {
    case Kind::Digit: return {0, 9};
    case Kind::Word: return {0, 65535};
    case Kind::Weight:
    case Kind::WordPair:
    case Kind::Long:
    case Kind::LongPrefixed: return {kInt32Min, kInt32Max};
    default: return {0, 255};  // one byte: a choice's code, a number
    }
}

bool heldRow(const Row &row)
{
    return row.kind == Kind::Weight || row.kind == Kind::Word || row.kind == Kind::WordPair
        || row.kind == Kind::LongPrefixed;
}

// One row the group writes: nothing when it can go as it stands.
std::optional<SendProblem> checkRow(const ParameterSet &set, const Row &row, BatchGroup group, bool counts)
{
    SendProblem p;
    p.group = group;
    p.row = row.row;
    p.value = shownText(set.value(row.row));
    const Field field = fieldOf(row);
    p.lowest = field.lowest;
    p.highest = field.highest;
    if (heldRow(row)) {
        // The write takes the raw number; the cell only shows it.
        const std::optional<qint64> held = set.rowValue(row.row).held();
        if (!held) {
            if (!counts)
                return std::nullopt;
            p.fault = SendFault::NoValue;
            return p;
        }
        if (*held < field.lowest || *held > field.highest) {
            p.fault = SendFault::OutOfField;
            p.value = QString::number(*held);
            return p;
        }
        return std::nullopt;
    }
    if (p.value.isEmpty()) {
        if (!counts)
            return std::nullopt;
        p.fault = SendFault::NoValue;
        return p;
    }
    std::optional<qint64> number;
    switch (row.kind) {
    case Kind::Choice: {
        // The list text's leading code ("3-9600"); a text that begins with a letter
        // carries code 0, as a list text of a language file without codes does.
        const std::optional<double> code = ReadLeadingNumber(p.value);
        if (!code)
            return std::nullopt;
        if (std::isfinite(*code) && *code == std::floor(*code) && std::fabs(*code) < 1e15)
            number = qint64(*code);
        break;
    }
    case Kind::Tenths:
        // Held to 5..9,9 as it is written; it has to be a number.
        if (decimalNumber(p.value))
            return std::nullopt;
        break;
    default:
        number = wholeNumber(p.value);
        break;
    }
    if (!number) {
        p.fault = SendFault::NotANumber;
        return p;
    }
    if (*number < field.lowest || *number > field.highest) {
        p.fault = SendFault::OutOfField;
        return p;
    }
    return std::nullopt;
}

std::optional<SendProblem> checkParameters(const ParameterSet &set, const WriteGroups &groups, Model model)
{
    for (const auto &[batch, part] : kParameterParts) {
        if (!groups.has(part))
            continue;
        for (const Row &row : params::Rows()) {
            if (row.group != part || !row.isValueRow())
                continue;
            // A ZR1 shows fewer rows: those it hides are written as they stand.
            const bool counts = model != Model::ZR1 || row.shownFor(model);
            if (std::optional<SendProblem> p = checkRow(set, row, batch, counts))
                return p;
        }
    }
    return std::nullopt;
}

std::optional<SendProblem> checkIds(const IdMemoryBlock &block)
{
    for (int record = 0; record < IdRecordCount; ++record) {
        QString number = shownText(block.IdNumbers[std::size_t(record)]);
        number.remove(QChar(0x00B0));  // the write ends the number at its first "°"
        // An empty number is an unused record; any other text goes as a number.
        if (number.isEmpty())
            continue;
        const std::optional<qint64> value = wholeNumber(number);
        if (value && *value >= kInt32Min && *value <= kInt32Max)
            continue;
        SendProblem p;
        p.group = BatchGroup::Id;
        p.fault = value ? SendFault::OutOfField : SendFault::NotANumber;
        p.record = IdMemory::rowLabel(record);
        p.value = number;
        p.highest = 999999;
        return p;
    }
    return std::nullopt;
}

std::optional<SendProblem> checkSetpoints(const SetpointMemoryBlock &block, int decimals)
{
    for (int record = 0; record < SetpointRecordCount; ++record) {
        for (int k = 0; k < SetpointsPerRecord; ++k) {
            const QString &text = block.value(k, record);
            const SetpointWire wire = SetpointWireValue(text, decimals);
            if (wire.ok())
                continue;
            SendProblem p;
            p.group = BatchGroup::Setpoint;
            p.fault = wire.fault == SetpointFault::TooManyDigits ? SendFault::TooManyDigits : SendFault::NotANumber;
            p.record = SetpointMemory::rowLabel(record) + QStringLiteral(", ") + SetpointMemory::setpointCaption(k);
            p.value = text;
            return p;
        }
    }
    return std::nullopt;
}

bool idsBlank(const IdMemoryBlock &block)
{
    for (int record = 0; record < IdRecordCount; ++record)
        if (!shownText(block.IdNumbers[std::size_t(record)]).isEmpty()
            || !shownText(block.IdNames[std::size_t(record)]).isEmpty())
            return false;
    for (const QString &header : block.IdHeaders)
        if (!shownText(header).isEmpty())
            return false;
    return true;
}

// Every value blank or 0: the indicator's setpoints would all become 0.
bool setpointsBlank(const SetpointMemoryBlock &block, int decimals)
{
    for (int record = 0; record < SetpointRecordCount; ++record)
        for (int k = 0; k < SetpointsPerRecord; ++k)
            if (SetpointWireValue(block.value(k, record), decimals).value != 0)
                return false;
    return true;
}

bool ticketBlank(const TicketBlock &block, PrinterKind printer)
{
    if (printer == PrinterKind::Epl)
        return shownText(block.EplText).isEmpty();
    for (int k = 0; k < TicketLineCount; ++k)
        if (!shownText(block.line(k)).isEmpty())
            return false;
    return true;
}

}  // namespace

SendCheck CheckBeforeSend(const ConfigurationRecord &record, const ParameterSet &parameters,
                          const SendAllChoice &choice, Model model, const WeightFormat &weight)
{
    SendCheck check;
    const int decimals = weight.decimals();
    if (choice.id)
        check.problem = checkIds(record.idMemory);
    if (!check.problem && choice.setpoint)
        check.problem = checkSetpoints(record.setpoints, decimals);
    if (!check.problem)
        check.problem = checkParameters(parameters, choice.parameters, model);

    if (choice.header && ticketBlank(record.ticket, choice.printer))
        check.blank.push_back(BatchGroup::Header);
    if (choice.id && idsBlank(record.idMemory))
        check.blank.push_back(BatchGroup::Id);
    if (choice.setpoint && setpointsBlank(record.setpoints, decimals))
        check.blank.push_back(BatchGroup::Setpoint);
    return check;
}

QString SendProblemPlace(const SendProblem &problem, const TextService &texts)
{
    if (problem.row < 0)
        return problem.record;
    const QString code = params::RowCode(params::RowAt(problem.row));
    return texts.builtIn(BuiltIn::SendCheckRow)
        .arg(problem.row)
        .arg(code.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(code));
}

QString SendProblemText(const SendProblem &problem, const TextService &texts)
{
    const QString group = BatchGroupCaption(problem.group, texts, true).trimmed();
    const QString place = SendProblemPlace(problem, texts);
    switch (problem.fault) {
    case SendFault::NoValue: return texts.builtIn(BuiltIn::SendCheckNoValue).arg(group, place);
    case SendFault::NotANumber: return texts.builtIn(BuiltIn::SendCheckNotANumber).arg(group, place, problem.value);
    case SendFault::OutOfField:
        return texts.builtIn(BuiltIn::SendCheckOutOfField)
            .arg(group, place, problem.value, QString::number(problem.lowest), QString::number(problem.highest));
    case SendFault::TooManyDigits: return texts.builtIn(BuiltIn::SendCheckTooManyDigits).arg(group, place, problem.value);
    }
    return {};
}

QString BlankGroupsText(const std::vector<BatchGroup> &blank, const TextService &texts)
{
    QStringList names;
    for (BatchGroup group : blank)
        names << BatchGroupCaption(group, texts, true).trimmed();
    return names.join(QStringLiteral(", "));
}

bool ConfirmClearing(Operator &op, const TextService &texts, const std::vector<BatchGroup> &blank)
{
    if (blank.empty())
        return true;
    return op.yesNo(texts.builtIn(BuiltIn::ClearMemoryQuestion).arg(BlankGroupsText(blank, texts)), Icon::Warning)
        == Choice::Yes;
}

}  // namespace vx
