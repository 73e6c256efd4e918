#pragma once
// The virtual indicator's own frame arithmetic and code page. It shares nothing
// with the program's codec on purpose: a fault on either side shows up as a
// frame the other side refuses.

#include <QByteArray>
#include <QString>
#include <optional>

namespace vx::sim::wire {

// `value` as `width` upper-case hex digits; a wider value keeps its low digits.
QByteArray hexNumber(quint32 value, int width);
// Two upper-case hex digits per byte.
QByteArray hexBytes(const QByteArray &bytes);
// Hex pairs to bytes; nothing for an odd length or a character that is not hex.
std::optional<QByteArray> bytesOfHex(const QByteArray &text);
// The checksum of a frame body of hex pairs: the byte that brings the sum of all
// bytes to 0 modulo 256, as two hex digits.
QByteArray checksum(const QByteArray &body);

// The indicator's texts are Windows-1254 (Turkish). Every byte has a character
// (the five undefined ones their C1 control), so any byte survives a round trip.
QString decodeText(const QByteArray &bytes);
// Characters outside the code page become '?'.
QByteArray encodeText(const QString &text);

}  // namespace vx::sim::wire
