#pragma once
// Windows-1254 (Turkish), the single-byte code page of the indicator's texts,
// the language files and the configuration files.

#include <QByteArray>
#include <QChar>
#include <QString>

namespace vx::cp1254 {

// The character for one byte; the undefined bytes (0x81, 0x8D..0x90, 0x9D, 0x9E) map to
// the C1 controls of the same value, so decode/encode is lossless for all 256 bytes.
QChar toUnicode(unsigned char byte);
// The byte for one character; characters outside the code page give '?'.
unsigned char fromUnicode(QChar ch, bool *ok = nullptr);

QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);

}  // namespace vx::cp1254
