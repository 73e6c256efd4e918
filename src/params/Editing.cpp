#include "params/Editing.h"

#include "link/Codec.h"
#include "link/Features.h"
#include "params/BlockCodec.h"
#include "params/ParameterSet.h"
#include "params/RowValue.h"
#include "shell/LanguageTexts.h"

#include <QTime>
#include <cmath>

namespace vx::params {
namespace {

// [200] on (a choice starting with "1") forces these rows to these texts.
struct Forced {
    int row;
    int line;
};
constexpr int kRow200 = 3;
constexpr Forced kForcedBy200[] = {{6, 182}, {7, 186}, {9, 186}};

// The port-function rows and the code whose change away from it is warned about.
constexpr int kPortFunctionRows[] = {29, 35, 41, 48};
constexpr QChar kPcCommunication = u'3';
constexpr int kRowTenths = 21;
constexpr int kWeightLimitWithPoint = 7;
constexpr int kWordMax = 65535;

bool isPortFunctionRow(int row)
{
    for (int r : kPortFunctionRows)
        if (r == row)
            return true;
    return false;
}

}  // namespace

bool ItemOffered(const Item &item, const ParameterSet &set, Model model)
{
    switch (item.offered) {
    case Offered::Always: return true;
    case Offered::ZR2Only: return FeaturesOf(model).extendedParameters;
    case Offered::Not200: return !set.param200On();
    }
    return true;
}

namespace {

std::optional<int> fieldValue(const QString &field)
{
    if (field.isEmpty())
        return 0;
    bool ok = false;
    const int v = field.toInt(&ok, 10);
    if (!ok || v < 0)
        return std::nullopt;
    return v;
}

}  // namespace

Editor EditorFor(int row, Model model)
{
    const Row &r = RowAt(row);
    if (r.row != row || row == 0)
        return Editor::None;
    // The date and time row is edited only on a model with a clock to set.
    if (r.editor == Editor::DateTime && !FeaturesOf(model).clock)
        return Editor::None;
    return r.editor;
}

QStringList EditorItems(int row, const ParameterSet &set, const LanguageTexts &texts, Model model)
{
    QStringList items;
    for (const Item &item : RowAt(row).editorItems())
        if (ItemOffered(item, set, model))
            items << item.text.text(texts);
    return items;
}

int TextLimit(int row, const QString &text)
{
    const Row &r = RowAt(row);
    if (r.kind == Kind::Weight && text.contains(QLatin1Char('.')))
        return kWeightLimitWithPoint;
    return r.maxLength;
}

std::optional<QChar> FilterCharacter(QChar typed, const QString &text)
{
    if (typed >= QLatin1Char('0') && typed <= QLatin1Char('9'))
        return typed;
    if ((typed == QLatin1Char(',') || typed == QLatin1Char('.')) && !text.contains(QLatin1Char('.')))
        return QLatin1Char('.');
    return std::nullopt;
}

int NextEditorRow(const ParameterSet &set, int row, int step, Model model)
{
    if (step == 0)
        return row;
    for (int r = row + step; r > 0 && r < RowCount; r += step)
        if (EditorFor(r, model) != Editor::None && !set.isHidden(r))
            return r;
    return row;
}

TextChange ApplyText(ParameterSet &set, int row, const QString &typed)
{
    const Row &r = RowAt(row);
    TextChange change;
    QString cell = typed;
    switch (r.kind) {
    case Kind::Word: {
        // Four hex digits on the wire: a larger number would arrive cut.
        const qint64 value = CellCode(typed);
        if (value > kWordMax) {
            change.refused = true;
            return change;
        }
        set.setRowValue(row, typed.trimmed().isEmpty() ? RowValue{} : RowValue::of(value));
        return change;
    }
    case Kind::Weight: {
        // The value the write will send; the cell shows it in the weight format.
        const double number = ReadLeadingNumber(CommaToPoint(typed)).value_or(0.0);
        set.setRowValue(row, RowValue::of(RoundHalfEven(number * std::pow(10.0, set.weight.decimals()))));
        return change;
    }
    case Kind::Tenths: {
        const double number = ReadLeadingNumber(CommaToPoint(typed)).value_or(0.0);
        if (number < 5.0)
            change.editorText = QStringLiteral("5,1");
        else if (number > 9.9)
            change.editorText = QStringLiteral("9,9");
        if (change.editorText)
            cell = *change.editorText;
        break;
    }
    default:
        break;
    }
    set.setValue(row, cell);
    return change;
}

ChoiceEffect ApplyChoice(ParameterSet &set, PortFunctionWatch &watch, int row, const QString &item,
                         const LanguageTexts &texts)
{
    const Row &r = RowAt(row);
    // A list row keeps the code of the item chosen; any other text is taken as typed.
    std::optional<RowValue> chosen;
    if (r.kind == Kind::Choice || r.kind == Kind::Digit)
        for (const Item &i : r.editorItems())
            if (i.text.text(texts) == item) {
                chosen = RowValue::code(i.code, RowValue::From::List);
                break;
            }
    if (chosen)
        set.setRowValue(row, *chosen);
    else
        set.setValue(row, item);

    ChoiceEffect effect;
    if (row == kRow200 && set.param200On())
        for (const Forced &f : kForcedBy200)
            set.setValue(f.row, texts.text(f.line));
    if (isPortFunctionRow(row)) {
        if (item.startsWith(kPcCommunication)) {
            watch = {true, row};
            return effect;
        }
        effect.portFunctionWarning = watch.pending && watch.row == row;
    }
    watch = {};
    return effect;
}

ClockFields sspanel9_Default(const QString &cell, const QDate &today)
{
    if (cell.isEmpty())
        return {PadLeftZeros(today.day(), 2), PadLeftZeros(today.month(), 2), PadLeftZeros(today.year() % 100, 2),
                QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")};
    ClockFields f{cell.mid(0, 2), cell.mid(3, 2), cell.mid(6, 2)};
    const int at = cell.indexOf(QStringLiteral(" \\ "));
    if (at >= 0) {
        const int t = at + 3;
        f[3] = cell.mid(t, 2);
        f[4] = cell.mid(t + 3, 2);
        f[5] = cell.mid(t + 6, 2);
    }
    // Only digits reach the fields.
    for (QString &field : f) {
        QString digits;
        for (QChar ch : field)
            if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
                digits += ch;
        field = digits;
    }
    return f;
}

ClockCheck sspanel9_Kontrol(const ClockFields &fields)
{
    std::array<int, 6> v{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<int> value = fieldValue(fields[i]);
        if (!value)
            return i < 3 ? ClockCheck::BadRange : ClockCheck::BadTime;
        v[i] = *value;
    }
    if (v[0] < 1 || v[0] > 31 || v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 99)
        return ClockCheck::BadRange;
    if (!QDate::isValid(2000 + v[2], v[1], v[0]))
        return ClockCheck::NotInCalendar;
    if (!QTime::isValid(v[3], v[4], v[5]))
        return ClockCheck::BadTime;
    return ClockCheck::Ok;
}

QString sspanel9_gelen(const ClockFields &f)
{
    auto two = [](const QString &s) { return PadLeftZeros(s, 2); };
    return two(f[0]) + QLatin1Char('-') + two(f[1]) + QLatin1Char('-') + two(f[2]) + QStringLiteral(" \\ ") + two(f[3])
        + QLatin1Char(':') + two(f[4]) + QLatin1Char(':') + two(f[5]);
}

}  // namespace vx::params
