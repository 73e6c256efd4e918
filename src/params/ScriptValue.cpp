#include "params/ScriptValue.h"

#include "link/NumberTexts.h"
#include "params/BlockCodec.h"
#include "params/Catalogue.h"
#include "params/Editing.h"
#include "params/ParameterSet.h"

#include <QRegularExpression>

namespace vx::params {
namespace {

constexpr int kByteMax = 255;
constexpr int kWordMax = 65535;
constexpr int kWeightDigits = 6;  // what the grid's weight editor holds besides the point
constexpr int kTenthsLow = 50, kTenthsHigh = 99;

// Digits only, no sign: what the grid's character filter lets through.
bool plainDigits(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

// Digits with at most one decimal point (or comma): the digits before and after it.
std::optional<std::pair<QString, QString>> decimalParts(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^([0-9]+)(?:[.,]([0-9]*))?$"));
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return std::make_pair(m.captured(1), m.captured(2));
}

}  // namespace

RowLookup FindRowByKey(const QString &key)
{
    RowLookup found;
    const QString k = key.trimmed().toLower();
    if (k.startsWith(QLatin1String("row:"))) {
        bool ok = false;
        const int n = k.mid(4).toInt(&ok);
        if (ok && n > 0 && n < RowCount && RowAt(n).isValueRow())
            found.row = n;
        return found;
    }
    if (k.isEmpty())
        return found;
    for (const Row &r : Rows())
        if (r.isValueRow() && RowCode(r) == k)
            found.rows.push_back(r.row);
    if (found.rows.size() == 1)
        found.row = found.rows.front();
    return found;
}

bool ScriptSettable(int row, Model model)
{
    if (row <= 0 || row >= RowCount)
        return false;
    const Editor editor = EditorFor(row, model);
    return editor != Editor::None && editor != Editor::DateTime && RowAt(row).shownFor(model);
}

QString RowName(int row, const LanguageTexts &texts)
{
    if (row <= 0 || row >= RowCount)
        return QStringLiteral("row %1").arg(row);
    const Row &r = RowAt(row);
    const QString caption = RowCaption(r, texts).trimmed();
    return caption.isEmpty() ? QStringLiteral("row %1").arg(row) : caption;
}

std::optional<QString> EnterScriptValue(ParameterSet &set, int row, const QString &value, const LanguageTexts &texts,
                                        Model model)
{
    if (!ScriptSettable(row, model))
        return QStringLiteral("row %1 is not set from a script").arg(row);
    const Row &r = RowAt(row);
    const QString v = value.trimmed();

    if (EditorFor(row, model) == Editor::List) {
        // A choice: the number its list text begins with.
        QStringList offered;
        if (plainDigits(v)) {
            const int code = v.toInt();
            for (const Item &item : r.editorItems()) {
                if (!ItemOffered(item, set, model))
                    continue;
                if (item.code == code) {
                    PortFunctionWatch watch;
                    ApplyChoice(set, watch, row, item.text.text(texts), texts);
                    return std::nullopt;
                }
            }
        }
        for (const Item &item : r.editorItems())
            if (ItemOffered(item, set, model))
                offered << QString::number(item.code);
        return QStringLiteral("takes one of %1").arg(offered.join(QStringLiteral(", ")));
    }

    switch (r.kind) {
    case Kind::Number: {
        const int limit = TextLimit(row, v);
        if (!plainDigits(v) || v.size() > limit || v.toInt() > kByteMax)
            return QStringLiteral("takes a whole number of at most %1 digits").arg(limit);
        ApplyText(set, row, v);
        return std::nullopt;
    }
    case Kind::Tenths: {
        const auto parts = decimalParts(v);
        if (!parts || parts->second.size() > 1 || parts->first.size() > 1)
            return QStringLiteral("takes a number from 5.0 to 9.9 with one decimal");
        const int tenths = parts->first.toInt() * 10 + (parts->second.isEmpty() ? 0 : parts->second.toInt());
        if (tenths < kTenthsLow || tenths > kTenthsHigh)
            return QStringLiteral("takes a number from 5.0 to 9.9 with one decimal");
        set.setValue(row, TenthsText(tenths));
        return std::nullopt;
    }
    case Kind::Weight: {
        if (!set.weight.known())
            return QStringLiteral("is a weight, and the weighing range that gives its decimals is not known");
        const int decimals = set.weight.decimals();
        const auto parts = decimalParts(v);
        if (!parts || parts->second.size() > decimals || parts->first.size() + parts->second.size() > kWeightDigits)
            return QStringLiteral("takes a weight in kg with at most %1 decimal(s) and %2 digits")
                .arg(decimals)
                .arg(kWeightDigits);
        ApplyText(set, row, parts->second.isEmpty() ? parts->first : parts->first + QLatin1Char('.') + parts->second);
        return std::nullopt;
    }
    case Kind::Word: {
        if (!plainDigits(v) || v.size() > 5 || v.toInt() > kWordMax)
            return QStringLiteral("takes a whole number from 0 to %1").arg(kWordMax);
        ApplyText(set, row, QString::number(v.toInt()));
        return std::nullopt;
    }
    default: break;
    }
    return QStringLiteral("row %1 is not set from a script").arg(row);
}

}  // namespace vx::params
