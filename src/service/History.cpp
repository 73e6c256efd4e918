#include "service/History.h"

#include "link/AppPaths.h"
#include "link/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <algorithm>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vx {
namespace {

const QString kTime = QStringLiteral("time");
const QString kModel = QStringLiteral("model");
const QString kIdentification = QStringLiteral("identification");
const QString kVersion = QStringLiteral("version");
const QString kOperation = QStringLiteral("operation");
const QString kTool = QStringLiteral("tool");
const QString kGroups = QStringLiteral("groups");
const QString kGroupResults = QStringLiteral("groupResults");
const QString kProcedure = QStringLiteral("procedure");
const QString kResult = QStringLiteral("result");
const QString kDetails = QStringLiteral("details");
const QString kChangedRows = QStringLiteral("changedRows");
const QString kRestorePoint = QStringLiteral("restorePoint");
const QString kReport = QStringLiteral("report");
const QString kNote = QStringLiteral("note");

// A history line longer than this is no record (a record is well under 4 KiB; the
// changed rows of a whole parameter set stay far below it).
constexpr qsizetype kLongestLine = 1 << 20;

QJsonArray stringArray(const QStringList &list) { return QJsonArray::fromStringList(list); }

std::optional<QStringList> stringsOf(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue &v : value.toArray()) {
        if (!v.isString())
            return std::nullopt;
        out << v.toString();
    }
    return out;
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

}  // namespace

QString HistoryOperationKey(HistoryOperation operation)
{
    switch (operation) {
    case HistoryOperation::Send: return QStringLiteral("send");
    case HistoryOperation::Calibration: return QStringLiteral("calibration");
    case HistoryOperation::AnalogTrim: return QStringLiteral("analog-trim");
    case HistoryOperation::Verification: return QStringLiteral("verification");
    }
    return {};
}

QString HistoryToolKey(HistoryTool tool)
{
    return tool == HistoryTool::Cli ? QStringLiteral("cli") : QStringLiteral("window");
}

QByteArray HistoryLine(const HistoryRecord &record)
{
    return QJsonDocument(HistoryObject(record)).toJson(QJsonDocument::Compact);
}

QJsonObject HistoryObject(const HistoryRecord &r)
{
    QJsonObject o;
    // Local time with its offset from UTC spelt out ("2026-12-07T14:05:09.120+03:00").
    const QDateTime withOffset = r.time.toOffsetFromUtc(r.time.offsetFromUtc());
    o.insert(kTime, withOffset.toString(Qt::ISODateWithMs));
    o.insert(kModel, r.indicator.model);
    o.insert(kIdentification, stringArray({r.indicator.identification, r.indicator.identification2}));
    if (!r.indicator.version.isEmpty())
        o.insert(kVersion, r.indicator.version);
    o.insert(kOperation, HistoryOperationKey(r.operation));
    o.insert(kTool, HistoryToolKey(r.tool));
    if (r.operation == HistoryOperation::Send) {
        o.insert(kGroups, stringArray(r.groups));
        QJsonObject results;
        for (const auto &[group, result] : r.groupResults)
            results.insert(group, result);
        o.insert(kGroupResults, results);
    } else {
        o.insert(kProcedure, r.procedure);
    }
    o.insert(kResult, r.result);
    if (!r.details.isEmpty())
        o.insert(kDetails, stringArray(r.details));
    if (r.changedRows) {
        QJsonArray rows;
        for (const HistoryChangedRow &c : *r.changedRows)
            rows.append(QJsonObject{{QStringLiteral("row"), c.row},
                                    {QStringLiteral("before"), c.before},
                                    {QStringLiteral("after"), c.after}});
        o.insert(kChangedRows, rows);
    }
    if (r.restorePoint)
        o.insert(kRestorePoint, *r.restorePoint);
    if (r.report)
        o.insert(kReport, *r.report);
    if (r.note)
        o.insert(kNote, *r.note);
    return o;
}

std::optional<HistoryRecord> ParseHistoryLine(const QByteArray &line, QString *error)
{
    auto damaged = [error](const QString &why) -> std::optional<HistoryRecord> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (line.size() > kLongestLine)
        return damaged(QStringLiteral("the line is too long"));
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parse);
    if (parse.error != QJsonParseError::NoError)
        return damaged(parse.errorString());
    if (!doc.isObject())
        return damaged(QStringLiteral("not a JSON object"));
    const QJsonObject o = doc.object();

    HistoryRecord r;
    r.time = QDateTime::fromString(o.value(kTime).toString(), Qt::ISODateWithMs);
    if (!r.time.isValid())
        return damaged(QStringLiteral("no valid time"));
    const QString operation = o.value(kOperation).toString();
    if (operation == HistoryOperationKey(HistoryOperation::Send))
        r.operation = HistoryOperation::Send;
    else if (operation == HistoryOperationKey(HistoryOperation::Calibration))
        r.operation = HistoryOperation::Calibration;
    else if (operation == HistoryOperationKey(HistoryOperation::AnalogTrim))
        r.operation = HistoryOperation::AnalogTrim;
    else if (operation == HistoryOperationKey(HistoryOperation::Verification))
        r.operation = HistoryOperation::Verification;
    else
        return damaged(QStringLiteral("unknown operation"));
    if (!o.value(kModel).isString() || !o.value(kResult).isString())
        return damaged(QStringLiteral("no model or result"));
    r.indicator.model = o.value(kModel).toString();
    r.result = o.value(kResult).toString();
    const std::optional<QStringList> ids = stringsOf(o.value(kIdentification));
    if (!ids || ids->size() != 2)
        return damaged(QStringLiteral("no identification texts"));
    r.indicator.identification = ids->at(0);
    r.indicator.identification2 = ids->at(1);
    r.indicator.version = o.value(kVersion).toString();
    r.tool = o.value(kTool).toString() == HistoryToolKey(HistoryTool::Cli) ? HistoryTool::Cli : HistoryTool::Window;

    if (r.operation == HistoryOperation::Send) {
        const std::optional<QStringList> groups = stringsOf(o.value(kGroups));
        if (!groups)
            return damaged(QStringLiteral("a send without its groups"));
        r.groups = *groups;
        const QJsonObject results = o.value(kGroupResults).toObject();
        // In the order the groups were asked for (a JSON object keeps no order).
        for (const QString &group : r.groups)
            if (results.value(group).isString())
                r.groupResults.emplace_back(group, results.value(group).toString());
    } else {
        if (!o.value(kProcedure).isString())
            return damaged(QStringLiteral("no procedure"));
        r.procedure = o.value(kProcedure).toString();
    }
    if (o.contains(kDetails)) {
        const std::optional<QStringList> details = stringsOf(o.value(kDetails));
        if (!details)
            return damaged(QStringLiteral("details are not texts"));
        r.details = *details;
    }
    if (o.contains(kChangedRows)) {
        if (!o.value(kChangedRows).isArray())
            return damaged(QStringLiteral("changed rows are not a list"));
        std::vector<HistoryChangedRow> rows;
        for (const QJsonValue &v : o.value(kChangedRows).toArray()) {
            const QJsonObject c = v.toObject();
            const QJsonValue row = c.value(QStringLiteral("row"));
            if (!row.isDouble() || row.toDouble() != double(row.toInt(-1)) || row.toInt(-1) < 0)
                return damaged(QStringLiteral("a changed row without its number"));
            rows.push_back({row.toInt(), c.value(QStringLiteral("before")).toString(),
                            c.value(QStringLiteral("after")).toString()});
        }
        r.changedRows = std::move(rows);
    }
    auto optionalText = [&o](const QString &key) -> std::optional<QString> {
        return o.value(key).isString() ? std::optional<QString>(o.value(key).toString()) : std::nullopt;
    };
    r.restorePoint = optionalText(kRestorePoint);
    r.report = optionalText(kReport);
    r.note = optionalText(kNote);
    return r;
}

QString HistoryFilePath() { return QDir(UserDataFolder()).filePath(QStringLiteral("history.jsonl")); }

bool AppendHistory(const HistoryRecord &record, QString *error, const QString &givenPath)
{
    const QString path = givenPath.isEmpty() ? HistoryFilePath() : givenPath;
    const QFileInfo info(path);
    // Opening a FIFO for writing would wait for a reader; a folder or device is no history.
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("\"%1\" is not a regular file").arg(QDir::toNativeSeparators(path)));
    if (!info.dir().exists())
        return fail(error, QStringLiteral("the folder \"%1\" does not exist")
                               .arg(QDir::toNativeSeparators(info.dir().path())));

    // Appends of several processes (the window and the tool, two tools) go one after the
    // other: each holds the lock file beside the history while it appends, so the size
    // it checks and any cut after a failed write concern its own line alone. A lock left
    // by a process that died is taken over (QLockFile knows its owner's process id).
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(std::chrono::seconds(30));
    if (!lock.tryLock(std::chrono::seconds(10)))
        return fail(error, lock.error() == QLockFile::LockFailedError
                               ? QStringLiteral("another program kept the history locked")
                               : QStringLiteral("the lock file \"%1\" could not be created")
                                     .arg(QDir::toNativeSeparators(lock.fileName())));

    // Unbuffered: what a failed write leaves is on the disk and cut off below, never
    // held back to go out when the file closes.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    const qint64 before = file.size();
    QByteArray bytes = HistoryLine(record);
    bytes.append('\n');
    // A line cut off by an earlier failure stays one damaged line, not the start of this one.
    if (before > 0) {
        char last = '\n';
        if (!file.seek(before - 1) || file.read(&last, 1) != 1)
            return fail(error, file.errorString());
        if (last != '\n')
            bytes.prepend('\n');
    }
    const qint64 written = file.write(bytes);
    bool ok = written == bytes.size() && file.flush() && syncToDisk(file);
    QString why = ok ? QString() : file.errorString();
    if (ok && file.size() != before + bytes.size()) {
        ok = false;
        why = QStringLiteral("the file holds %1 bytes after the write, not %2").arg(file.size()).arg(before + bytes.size());
    }
    if (!ok) {
        // Whatever part went is cut off again.
        file.resize(before);
        if (why.isEmpty())
            why = QStringLiteral("the line could not be written");
        return fail(error, why);
    }
    return true;
}

HistoryReading ReadHistory(const QString &givenPath)
{
    const QString path = givenPath.isEmpty() ? HistoryFilePath() : givenPath;
    HistoryReading reading;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return reading;
    QFile file;
    if (!OpenRegularFile(file, path, &reading.error)) {
        reading.readable = false;
        return reading;
    }
    int number = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(kLongestLine + 2);
        ++number;
        if (!line.endsWith('\n') && !file.atEnd()) {
            // Longer than any record: the rest of it belongs to the same damaged line.
            reading.damaged.push_back({number, QStringLiteral("the line is too long")});
            while (!file.atEnd() && !line.endsWith('\n'))
                line = file.readLine(kLongestLine + 2);
            continue;
        }
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        QString why;
        if (std::optional<HistoryRecord> r = ParseHistoryLine(trimmed, &why))
            reading.records.push_back(std::move(*r));
        else
            reading.damaged.push_back({number, why});
    }
    if (file.error() != QFileDevice::NoError) {
        reading.readable = false;
        reading.error = file.errorString();
    }
    return reading;
}

std::vector<HistoryRecord> NewestFirst(std::vector<HistoryRecord> records)
{
    std::reverse(records.begin(), records.end());
    std::stable_sort(records.begin(), records.end(),
                     [](const HistoryRecord &a, const HistoryRecord &b) { return a.time > b.time; });
    return records;
}

std::vector<HistoryRecord> FilterByIndicator(const std::vector<HistoryRecord> &records, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return records;
    std::vector<HistoryRecord> out;
    for (const HistoryRecord &r : records) {
        const IndicatorIdentity &i = r.indicator;
        for (const QString &field : {i.model, i.identification, i.identification2, i.version}) {
            if (field.contains(wanted, Qt::CaseInsensitive)) {
                out.push_back(r);
                break;
            }
        }
    }
    return out;
}

QString HistorySummary(const HistoryRecord &r)
{
    QStringList who{r.indicator.model};
    for (const QString &id : {r.indicator.identification.trimmed(), r.indicator.identification2.trimmed()})
        if (!id.isEmpty())
            who << id;
    const QString what = r.operation == HistoryOperation::Send
                             ? QStringLiteral("send %1").arg(r.groups.join(QLatin1Char(',')))
                             : QStringLiteral("%1 %2").arg(HistoryOperationKey(r.operation), r.procedure);
    QString line = QStringLiteral("%1  %2  %3: %4").arg(r.time.toString(Qt::ISODate), who.join(QStringLiteral(" / ")),
                                                         what, r.result);
    if (r.note && !r.note->isEmpty())
        line += QStringLiteral("  \"%1\"").arg(*r.note);
    return line;
}

}  // namespace vx
