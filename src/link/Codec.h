#pragma once
// Wire format of the indicator's register protocol: request frames, answer
// decoding by data-type tag, the LRC checksum and the number-text helpers that
// every screen uses. All functions are pure; what the original read from global
// state arrives in a DecodeContext or as an explicit argument.

#include "link/Tabs.h"
#include "link/Tags.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace vx {

inline constexpr char FrameStart = '@';
inline constexpr char FrameEnd = '\r';


// What DecodeAnswer needs from the rest of the program.
struct DecodeContext {
    int currentTab = -1;           // CurrentTab of the main window; -1 when unknown
    QStringList weekdayNames;      // texts 314..320 (Monday..Sunday)
    QString weekdayText;           // set by "Tarih" decoding: " \ " + day name
    std::function<void(const QString &line)> log;  // communication log; may be empty
    QString shortDate;             // date prefix for log lines (system short format)
};

// PadLeftZeros(value, width): left-pad with '0' and keep the rightmost width characters.
QString PadLeftZeros(const QString &value, int width);
QString PadLeftZeros(qint64 value, int width);

// Numeric value of a device address text ("", "00".."99"); 0 means "no address field".
int AddressValue(const QString &address);

QString ComputeLrc(const QString &body);

// Complete request texts, carriage return included.
QString BuildWriteFrame(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data);
QString BuildReadFrame(const QString &address, int reg, int byteCount, bool checksumOn);

// Returns an invalid QVariant for "empty" (no or bad answer, unknown tag), a qint64
// for "LG", a QString for the text tags.
QVariant DecodeAnswer(const QString &answer, ReadTag dataType, const QString &address,
                      bool checksumOn, int reg, DecodeContext &ctx);

// Empty optional for empty text.
std::optional<qint64> HexToNumber(const QString &hexText);

QString WeekdayName(const QString &code, const QStringList &weekdayNames);

// The leading number of a typed text, as the original's number conversion reads
// it: blanks, an optional sign, digits and one decimal separator ("." or ",");
// reading stops at the first other character. Nothing when no digit came.
std::optional<double> ReadLeadingNumber(const QString &text);

QString CommaToPoint(const QString &text);
QString PointToComma(const QString &text);
QString StripDecimalPoint(const QString &text);
// referenceValue: the weight format reference of the parameter work (empty: unchanged).
QString FormatWithDecimals(const QString &digits, const QString &referenceValue);
// decimals: number of decimals (the length of the decimals pattern).
QString InsertDecimalComma(const QString &digits, int decimals);

}  // namespace vx
