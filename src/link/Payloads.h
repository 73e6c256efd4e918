#pragma once
// Payloads: a request's data field built by its write tag, an answer's data field
// read by its read tag. Which bytes a text keeps is the read tag's own rule, chosen
// by the sequence that reads:
//   "Tx1" keeps every byte (status words, ticket lines);
//   "Tx"  drops line feeds (0A) and keeps NULs;
//   "Tx0" drops line feeds and NULs (00).

#include "link/Tags.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace vx {

// What DecodeAnswer needs from the rest of the program.
struct DecodeContext {
    QStringList weekdayNames;      // texts 314..320 (Monday..Sunday)
    QString weekdayText;           // set by "Tarih" decoding: " \ " + day name
    std::function<void(const QString &line)> log;  // communication log; may be empty
    QString shortDate;             // date prefix for log lines (system short format)
};

// The data field of a write request of byteCount bytes.
QString EncodeWriteData(WriteTag tag, const QVariant &data, int byteCount);

// Returns an invalid QVariant for "empty" (a missing answer, one that is not a whole
// frame, no data, unknown tag), a qint64 for "LG", a QString for the text tags.
// An answer that came but is not a whole frame is logged once through ctx.log.
// expectedByteCount: the byte count the request asked for (-1: any that matches the data).
QVariant DecodeAnswer(const QString &answer, ReadTag dataType, const QString &address,
                      bool checksumOn, int reg, DecodeContext &ctx, int expectedByteCount = -1);

// Empty optional for empty text.
std::optional<qint64> HexToNumber(const QString &hexText);

QString WeekdayName(const QString &code, const QStringList &weekdayNames);

}  // namespace vx
