#include "files/RestorePoint.h"

#include "params/Catalogue.h"
#include "files/ConfigFile.h"
#include "files/ConfigurationRecord.h"
#include "files/WorkingSet.h"
#include "link/AppPaths.h"
#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "params/ParameterSet.h"
#include "shell/TextService.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace vx {
namespace {

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");

RestorePointResult failed(RestorePointResult::Failure failure, const TextService &texts, const QString &why)
{
    return {false, failure, {}, texts.builtIn(BuiltIn::RestorePointFailed).arg(why), {}};
}

// The folder exists (made when missing), is a folder, and takes a new file.
bool folderWritable(const QString &folder, QString *why)
{
    if (folder.isEmpty()) {
        *why = QStringLiteral("no folder");
        return false;
    }
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *why = QStringLiteral("not a folder");
        return false;
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        *why = QStringLiteral("cannot be created");
        return false;
    }
    return CheckWritableTarget(QDir(folder).filePath(QStringLiteral("restore-point-check.Vxr")), why);
}

// The time a restore point's name carries, its last "_" part, and the number after it
// of a second one made in the same second ("-2"; 1 without).
struct Stamp {
    QDateTime time;
    int number = 1;
};
Stamp stampOf(const QString &fileName)
{
    const QString last = QFileInfo(fileName).completeBaseName().section(QLatin1Char('_'), -1);
    const qsizetype stampLength = kStampFormat.size();
    Stamp stamp{QDateTime::fromString(last.left(stampLength), kStampFormat), 1};
    if (last.size() > stampLength) {
        bool ok = false;
        const int number = last.mid(stampLength + 1).toInt(&ok);
        if (last.at(stampLength) != QLatin1Char('-') || !ok || number < 2)
            return {};
        stamp.number = number;
    }
    return stamp;
}

// How many restore points of one indicator one second may hold.
constexpr int kMostInOneSecond = 99;

}  // namespace

QString DefaultRestorePointFolder() { return QDir(WritableFolder()).filePath(QStringLiteral("BACKUP")); }

ReadAllChoice RestorePointGroups(const SendAllChoice &send, Model model)
{
    ReadAllChoice read;
    read.header = send.header;
    read.id = send.id;
    read.setpoint = send.setpoint;
    read.parameters = send.parameters.calibration || send.parameters.jmp || send.parameters.nrm;
    read.printer = send.printer;
    read.model = model;
    return read;
}

bool RestorePointNeeded(const SendAllChoice &send)
{
    const ReadAllChoice read = RestorePointGroups(send, Model::None);
    return read.header || read.id || read.setpoint || read.parameters;
}

QString RestorePointFileName(const QString &model, const QString &secondText, const QDateTime &time, int number)
{
    QString safe;
    for (const QChar c : secondText.trimmed()) {
        const bool plain = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
                           c == QLatin1Char('.');
        safe += plain ? c : QLatin1Char('-');
    }
    if (safe.isEmpty())
        safe = QStringLiteral("none");
    const QString stamp = time.toString(kStampFormat);
    return number > 1 ? QStringLiteral("%1_%2_%3-%4.Vxr").arg(model, safe, stamp).arg(number)
                      : QStringLiteral("%1_%2_%3.Vxr").arg(model, safe, stamp);
}

RestorePointResult MakeRestorePoint(Link &link, const TextService &texts, const SendAllChoice &send, Model model,
                                    const std::optional<IdentificationTexts> &indicator, const WeightFormat &weight,
                                    const QString &folder, const DisconnectAction &disconnect)
{
    if (!RestorePointNeeded(send))
        return {true, RestorePointResult::Failure::None, {}, {}, {}};
    if (!indicator)
        return failed(RestorePointResult::Failure::Identification, texts, texts.builtIn(BuiltIn::RestorePointNoIdentification));
    if (std::optional<RestorePointResult> unusable = RestorePointFolderUnusable(folder, texts))
        return *unusable;

    auto made = std::make_shared<WorkingSet>();
    WorkingSet &set = *made;
    set.parameters().weight = weight;
    LayOutGrid(set.parameters(), texts.lines(), model);
    set.ticket().setPrinterKind(send.printer);
    const ReadAllResult read = ReadAll(link, set, texts, RestorePointGroups(send, model), weight, disconnect);
    if (read.outcome != BatchOutcome::Completed)
        return failed(RestorePointResult::Failure::Read, texts, texts.builtIn(BuiltIn::RestorePointNotRead));
    RestorePointResult saved = SaveRestorePoint(set, texts, model, *indicator, folder, link.clock().now());
    if (saved.ok)
        saved.before = std::move(made);
    return saved;
}

std::optional<RestorePointResult> RestorePointFolderUnusable(const QString &folder, const TextService &texts)
{
    QString why;
    if (!folderWritable(folder, &why))
        return failed(RestorePointResult::Failure::Folder, texts, texts.builtIn(BuiltIn::RestorePointFolderNotWritable).arg(QDir::toNativeSeparators(folder), why));
    return std::nullopt;
}

RestorePointResult SaveRestorePoint(WorkingSet &set, const TextService &texts, Model model,
                                    const IdentificationTexts &indicator, const QString &folder, const QDateTime &time)
{
    NameRestorePointIndicator(set, indicator);
    return WriteRestorePoint(set.record(), texts, model, indicator, folder, time);
}

void NameRestorePointIndicator(WorkingSet &set, const IdentificationTexts &indicator)
{
    // The restore point names its indicator whatever groups it holds.
    set.parameters().setValue(params::ModelTextRow, indicator.model);
    set.parameters().setValue(params::SecondTextRow, indicator.second);
    set.collect();
}

RestorePointResult WriteRestorePoint(const ConfigurationRecord &record, const TextService &texts, Model model,
                                     const IdentificationTexts &indicator, const QString &folder, const QDateTime &time)
{
    // Made exclusively: a restore point of the same second (another send, another
    // process) is never overwritten; this one takes the next free number instead.
    const QByteArray bytes = EncodeRecord(record);
    QString path;
    QString why;
    for (int number = 1; number <= kMostInOneSecond; ++number) {
        path = QDir(folder).filePath(RestorePointFileName(ModelName(model), indicator.second, time, number));
        bool taken = false;
        if (CreateFileSafely(path, bytes, &why, &taken))
            return {true, RestorePointResult::Failure::None, path, {}, {}};
        if (!taken)
            break;
    }
    return failed(RestorePointResult::Failure::Save, texts,
                  texts.builtIn(BuiltIn::RestorePointNotSaved).arg(QDir::toNativeSeparators(path), why));
}

std::vector<RestorePointEntry> ListRestorePoints(const QString &folder, const QString &model,
                                                 const IdentificationTexts &indicator)
{
    struct Found {
        RestorePointEntry entry;
        int number;  // within its second
    };
    std::vector<Found> found;
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.vxr"), QStringLiteral("*.Vxr"), QStringLiteral("*.VXR")},
                          QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!file.fileName().startsWith(model + QLatin1Char('_')))
            continue;
        const std::optional<ConfigurationRecord> record = ReadConfigurationFile(file.filePath());
        if (!record)
            continue;
        const IdentificationTexts ids = RecordIdentification(*record);
        if (ids.second != indicator.second)
            continue;
        Stamp stamp = stampOf(file.fileName());
        if (!stamp.time.isValid())
            stamp = {file.lastModified(), 1};
        found.push_back({{file.filePath(), file.fileName(), stamp.time, ids}, stamp.number});
    }
    // Newest first; of one second, the later number first.
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        if (a.entry.time != b.entry.time)
            return a.entry.time > b.entry.time;
        return a.number > b.number;
    });
    std::vector<RestorePointEntry> entries;
    entries.reserve(found.size());
    for (Found &f : found)
        entries.push_back(std::move(f.entry));
    return entries;
}

}  // namespace vx
