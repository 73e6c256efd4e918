#pragma once
// The parameter blocks on the wire: answers taken apart into the rows' values, and
// the values put together into the hex texts the writes send. Every
// byte position comes from the catalogue (params/Catalogue.h).

#include "params/Catalogue.h"

#include <QString>
#include <optional>

namespace vx {

class LanguageTexts;
class ParameterSet;

// ---- small conversions ------------------------------------------------------------

// A signed 32-bit value as its high and low word: "h - l" (a negative high word has
// 65536 added, the low word is the value modulo 65536).
QString ikile(qint64 value);
// The leading code of a cell ("1-xon/xoff" gives 1, a text starting with a letter 0),
// rounded to a whole number.
qint64 CellCode(const QString &text);
// A value as `digits` upper-case hex digits of its two's complement, keeping the
// rightmost digits of a value that is too large.
QString HexField(qint64 value, int digits);
// Tenths ("7,5" or "7.5") as the byte that carries them (75); the leading-number rule.
qint64 TenthsByte(const QString &text);
// A byte of tenths as the grid shows it: 75 gives "7,5", 50 gives "5".
QString TenthsText(int byte);

// ---- the date and time ------------------------------------------------------------

// The clock's cell "DD-MM-YY \ hh:mm:ss" (anything after it, the weekday part, is
// ignored) as the 16 hex digits of register 124: seconds, minutes, hours, "00",
// day, month, year, "00", each group's decimal digits sent as they stand. Nothing
// when the text is not a date and time of the calendar (day 1-31 of its month,
// month 1-12, year 01-99, hours 0-23, minutes and seconds 0-59).
std::optional<QString> DateTimeToWire(const QString &dateTimeText);

// ---- reading ----------------------------------------------------------------------

// The data field of a whole read answer of `byteCount` bytes, as two hex digits a
// byte; nothing for a refused, cut-off, missing or otherwise broken answer.
std::optional<QString> AnswerDataHex(const QString &answer, const QString &address, bool checksumOn,
                                               int byteCount);
// The 200 hex digits of the configuration block into rows 3-60, 78 and 79. A text of another length or with other characters changes nothing
// and gives false.
bool PlaceConfigurationBlock(ParameterSet &set, const QString &blockHex, const LanguageTexts &texts);
// The 80 hex digits of the calibration block into rows 62-76.
bool PlaceCalibrationBlock(ParameterSet &set, const QString &blockHex, const LanguageTexts &texts);
// Row 82: the version text with "ZR1"/"ZR2" replaced by language line 366/367 (any
// other first three characters by nothing). Row 83: the text without its last character.
QString ModelRowText(const QString &versionText, const LanguageTexts &texts);
QString SecondRowText(const QString &text);

// ---- writing ----------------------------------------------------------------------

// The whole area (100 or 40 bytes) as hex text from the rows' values; bytes
// no row writes are "00".
QString EncodeArea(const ParameterSet &set, params::Area area);
// The hex text one block write sends.
QString PieceText(const ParameterSet &set, const params::Piece &piece);

}  // namespace vx
