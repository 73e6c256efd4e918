// Rooms: link shell calibration params memory monitor files service
// The service history as a user's disk may hold it (history.jsonl in the per-user
// data folder): every line parsed as a record, and the whole file read.
//
// Rules checked: a line that parses is written again as a line that parses to the
// same line (nothing is lost or changed by a second round); reading the file keeps
// every line that is a record and names every other non-blank line as damaged, each
// once, with a line number inside the file.

#include "FuzzInput.h"

#include "service/History.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    int lines = 0, records = 0, blank = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++lines;
        if (line.trimmed().isEmpty()) {
            ++blank;
            continue;
        }
        const std::optional<HistoryRecord> r = ParseHistoryLine(line.trimmed());
        if (!r)
            continue;
        ++records;
        const QByteArray again = HistoryLine(*r);
        const std::optional<HistoryRecord> back = ParseHistoryLine(again);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(HistoryLine(*back) == again);
    }
    if (bytes.endsWith('\n'))
        --lines, --blank;  // the empty piece after the last line end is no line

    const QString path = QDir(dir.path()).filePath(QStringLiteral("history.jsonl"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    const HistoryReading reading = ReadHistory(path);
    FUZZ_CHECK(reading.readable);
    FUZZ_CHECK(int(reading.records.size()) == records);
    FUZZ_CHECK(int(reading.damaged.size()) == lines - blank - records);
    int previous = 0;
    for (const HistoryDamage &d : reading.damaged) {
        FUZZ_CHECK(d.line > previous && d.line <= lines);
        previous = d.line;
    }
    return 0;
}
