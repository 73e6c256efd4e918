#include "files/ParameterRecord.h"

#include "files/ConfigurationRecord.h"
#include "link/Codec.h"
#include "link/Cp1254.h"
#include "memory/TicketText.h"
#include "params/BlockCodec.h"
#include "params/Catalogue.h"
#include "params/ParameterSet.h"
#include "params/RowValue.h"

#include <QRegularExpression>
#include <QtEndian>
#include <cmath>
#include <limits>

namespace vx {
namespace {

using record::BlockBytes;
using record::Field;
using record::Type;

constexpr int kRow1 = 1;
constexpr int kRow1SearchFrom = 10;  // the 11th character

enum class Rule { Cell, FirstCharacter, RawNumber, WholeNumber };

Rule ruleOf(const Field &f)
{
    switch (params::RowAt(f.row).fileForm) {
    case params::FileForm::FirstCharacter: return Rule::FirstCharacter;
    case params::FileForm::RawNumber: return Rule::RawNumber;
    case params::FileForm::Text: break;
    }
    return f.type == Type::Text ? Rule::Cell : Rule::WholeNumber;
}

// ---- a field's bytes inside its block ----

QString textAt(const BlockBytes &b, int width) { return cp1254::decode(b.block->mid(b.offset, width)); }

void setText(const BlockBytes &b, int width, const QString &text)
{
    QByteArray bytes = cp1254::encode(FitText(text, width)).left(width);
    b.block->replace(b.offset, width, bytes);
}

qint64 numberAt(const BlockBytes &b, Type type)
{
    const char *at = b.block->constData() + b.offset;
    return type == Type::Int16 ? qint64(qFromLittleEndian<qint16>(at)) : qint64(qFromLittleEndian<qint32>(at));
}

// False when the value does not fit the field: it keeps what it held.
bool setNumber(const BlockBytes &b, Type type, qint64 value)
{
    char bytes[4];
    if (type == Type::Int16) {
        // A word 0..65535 (or its signed form) as 16 bits.
        if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<quint16>::max())
            return false;
        qToLittleEndian(quint16(value), bytes);
        b.block->replace(b.offset, 2, QByteArray(bytes, 2));
        return true;
    }
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return false;
    qToLittleEndian(qint32(value), bytes);
    b.block->replace(b.offset, 4, QByteArray(bytes, 4));
    return true;
}

// A list text longer than its field is stored cut ("1- Metrological (legal fo"): the
// grid shows the whole text of the list item it is the start of, which is stored as
// the same bytes again. Any other text stays as it was stored.
QString WholeListText(const params::Row &row, const QString &stored, int width, const LanguageTexts &texts)
{
    if (stored.size() != width)
        return stored;
    for (const params::Item &item : row.read) {
        const QString whole = item.text.text(texts);
        if (whole.size() > width && whole.startsWith(stored))
            return whole;
    }
    return stored;
}

// ---- a Text field's value ----

QByteArray fieldBytes(const QString &text, int width) { return cp1254::encode(FitText(text, width)).left(width); }

// The value a stored text stands for, when showing that value and storing it again
// gives the same bytes: a list text by its code (a cut one too), a number by its
// number. Any other text is kept as it was stored, padding included.
RowValue storedValue(const ParameterSet &set, const params::Row &row, const QString &stored, const QByteArray &bytes,
                     int width)
{
    QString trimmed = stored;
    while (trimmed.endsWith(QLatin1Char(' ')))
        trimmed.chop(1);
    const QString whole = row.kind == params::Kind::Choice ? WholeListText(row, stored, width, set.texts()) : stored;
    for (const QString &text : {whole, trimmed, trimmed + QLatin1Char(' ')}) {
        const RowValue v = ParseValue(row, text, set.texts(), set.weight);
        if (v.kind == RowValue::Kind::Shown)
            continue;
        if (fieldBytes(RenderValue(row, v, set.texts(), set.weight), width) == bytes)
            return v;
    }
    return RowValue::shown(stored);
}

// A cell that holds a whole number (a sign, digits, perhaps decimals, blanks around
// it); nothing for any other text.
std::optional<qint64> wholeNumber(const QString &text)
{
    const QString t = CommaToPoint(text.trimmed());
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]+(\\.[0-9]*)?$"));
    if (!number.match(t).hasMatch())
        return std::nullopt;
    const double value = t.toDouble();
    if (!std::isfinite(value) || std::fabs(value) > 9.0e15)
        return std::nullopt;
    return RoundHalfEven(value);
}

}  // namespace

Row1Parts SplitParameterRow1Text(const QString &text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('\\'), kRow1SearchFrom);
    if (slash < 0)
        return {std::nullopt, text};
    // The "\" stands at position p = slash + 1 (counting from 1): row 1 is the first
    // p - 2 characters, the suffix the rest from position p - 1.
    return {text.left(slash - 1), text.mid(slash - 1)};
}

std::optional<QString> JoinParameterRow1Text(const QString &row1, const QString &suffix)
{
    const QString joined = row1 + suffix;
    if (joined.isEmpty())
        return std::nullopt;
    return TrimSpaces(joined);
}

namespace {

// Every row's field, or only those of `rows`.
void collect(const ParameterSet &set, ConfigurationRecord &record, const std::set<int> *rows)
{
    const bool all = !rows;
    if (all || rows->contains(kRow1))
        if (const std::optional<QString> row1 = JoinParameterRow1Text(set.value(kRow1), set.clockSuffix()))
            record.ParameterRow1Text = *row1;

    for (const Field &f : record::Fields()) {
        if (f.section != record::Section::Parameters || f.at || f.type == Type::Reserved)
            continue;
        if (!all && !rows->contains(f.row))
            continue;
        const BlockBytes b = std::get<BlockBytes>(record::SlotOf(record, f, 0));
        const QString cell = set.value(f.row);
        switch (ruleOf(f)) {
        case Rule::Cell:
            setText(b, f.width, cell);
            break;
        case Rule::FirstCharacter:
            setText(b, f.width, cell.left(1));
            break;
        case Rule::RawNumber:
            if (const std::optional<qint64> held = set.rowValue(f.row).held())
                setNumber(b, f.type, *held);
            break;
        case Rule::WholeNumber:
            if (const std::optional<qint64> number = wholeNumber(cell))
                setNumber(b, f.type, *number);
            break;
        }
    }
}

}  // namespace

void ParametreKaydet(const ParameterSet &set, ConfigurationRecord &record) { collect(set, record, nullptr); }

void ParametreKaydetRows(const ParameterSet &set, ConfigurationRecord &record, const std::set<int> &rows)
{
    collect(set, record, &rows);
}

void ParametreOku(const ConfigurationRecord &source, ParameterSet &set, const LanguageTexts &texts)
{
    ConfigurationRecord record = source;  // the slots reach a record they may write; this one is a copy
    set.setTexts(texts);
    const Row1Parts row1 = SplitParameterRow1Text(record.ParameterRow1Text);
    if (row1.row1)
        set.setRowValue(kRow1, RowValue::indicatorText(*row1.row1));
    set.setClockSuffix(row1.suffix);

    for (const Field &f : record::Fields()) {
        if (f.section != record::Section::Parameters || f.at || f.type == Type::Reserved)
            continue;
        const params::Row &row = params::RowAt(f.row);
        const BlockBytes b = std::get<BlockBytes>(record::SlotOf(record, f, 0));
        switch (ruleOf(f)) {
        case Rule::Cell: {
            const QByteArray bytes = b.block->mid(b.offset, f.width);
            set.setRowValue(f.row, storedValue(set, row, textAt(b, f.width), bytes, f.width));
            break;
        }
        case Rule::FirstCharacter: {
            // The code the first character names, when its list text begins with it;
            // anything else stays as it was stored.
            const QString stored = textAt(b, f.width);
            RowValue v = RowValue::shown(stored);
            if (!stored.isEmpty() && stored.at(0) >= QLatin1Char('0') && stored.at(0) <= QLatin1Char('9')) {
                const int code = stored.at(0).digitValue();
                const QString listText = RenderValue(row, RowValue::code(code), texts, set.weight);
                if (listText.startsWith(stored.at(0)))
                    v = RowValue::code(code);
            }
            set.setRowValue(f.row, v);
            break;
        }
        case Rule::RawNumber: {
            qint64 value = numberAt(b, f.type);
            if (f.type == Type::Int16 && value < 0)
                value += 65536;
            set.setRowValue(f.row, RowValue::of(value));
            break;
        }
        case Rule::WholeNumber:
            set.setRowValue(f.row, RowValue::of(numberAt(b, f.type)));
            break;
        }
    }
}

}  // namespace vx
