#pragma once
// A parameter row's value as the indicator stores it: a list row's item code, a
// number row's raw signed number, an identification text's characters as read. The
// display text is made from it with the catalogue, the language and the weight
// format whenever it is shown or written to a file, so a language change only shows
// the same values again. A text that stands for no value of its row (opened from a
// file, typed, a cut list text the list does not hold) is kept word for word.

#include "link/WeightFormat.h"
#include "params/Catalogue.h"

#include <QString>
#include <optional>

namespace vx {

class LanguageTexts;

struct RowValue {
    enum class Kind {
        Empty,   // never filled: the send and compare checks see an empty cell
        Code,    // a list row's item code ([120]'s digit too)
        Number,  // the raw signed number of a number, weight, word or calibration row
        Text,    // the indicator's own text: rows 82 and 83 as read, row 1's clock text
        Shown,   // a display text kept word for word
    };
    // Which text shows a code: the read's item, the editor list's item (a choice), or
    // the row's other text (a read of a code outside the list: the code is that text's).
    enum class From : quint8 { Read, List, Other };

    Kind kind = Kind::Empty;
    qint64 number = 0;  // Code: the code; Number: the value; row 1: the weekday 0-6 (-1 none)
    QString text;       // Text, Shown: the characters; row 1: the clock text
    From from = From::Read;
    QString tail;  // row 1: the weekday part kept from a file (" \ Thursday")

    static RowValue code(qint64 c, From f = From::Read) { return {Kind::Code, c, {}, f, {}}; }
    static RowValue of(qint64 n) { return {Kind::Number, n, {}, From::Read, {}}; }
    static RowValue indicatorText(const QString &t) { return {Kind::Text, -1, t, From::Read, {}}; }
    static RowValue shown(const QString &t) { return {Kind::Shown, 0, t, From::Read, {}}; }
    bool empty() const { return kind == Kind::Empty; }
    // A raw number held for the write (weights, [410]/[420], the calibration values).
    std::optional<qint64> held() const { return kind == Kind::Number ? std::optional<qint64>(number) : std::nullopt; }

    friend bool operator==(const RowValue &, const RowValue &) = default;
};

// The display text of `value` in `row`.
QString RenderValue(const params::Row &row, const RowValue &value, const LanguageTexts &texts,
                    const WeightFormat &weight);
// A display text back into the value it shows: the typed value whose display text is
// exactly `text`, else the text kept as it is; an empty text is an empty value.
RowValue ParseValue(const params::Row &row, const QString &text, const LanguageTexts &texts,
                    const WeightFormat &weight);
// What the write carries for a value: its code or number; a kept text by its leading
// number (tenths by their byte); nothing for an empty value or a text row.
std::optional<qint64> WireNumber(const params::Row &row, const RowValue &value);

}  // namespace vx
