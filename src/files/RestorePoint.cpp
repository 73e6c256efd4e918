#include "files/RestorePoint.h"

#include "files/ConfigFile.h"
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

constexpr int kRowModel = 82;
constexpr int kRowSecond = 83;
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

// The time a restore point's name carries: its last "_" part.
QDateTime stampOf(const QString &fileName)
{
    const QString base = QFileInfo(fileName).completeBaseName();
    return QDateTime::fromString(base.section(QLatin1Char('_'), -1), kStampFormat);
}

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

QString RestorePointFileName(const QString &model, const QString &secondText, const QDateTime &time)
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
    return QStringLiteral("%1_%2_%3.Vxr").arg(model, safe, time.toString(kStampFormat));
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
    GridDüzen(set.parameters(), texts.lines(), model);
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
    set.parameters().setValue(kRowModel, indicator.model);
    set.parameters().setValue(kRowSecond, indicator.second);
    set.collect();
}

RestorePointResult WriteRestorePoint(const ConfigurationRecord &record, const TextService &texts, Model model,
                                     const IdentificationTexts &indicator, const QString &folder, const QDateTime &time)
{
    const QString path = QDir(folder).filePath(RestorePointFileName(ModelName(model), indicator.second, time));
    if (const FileError error = WriteConfigurationFile(path, record); !error.ok())
        return failed(RestorePointResult::Failure::Save, texts, texts.builtIn(BuiltIn::RestorePointNotSaved).arg(QDir::toNativeSeparators(path), error.reason));
    return {true, RestorePointResult::Failure::None, path, {}, {}};
}

std::vector<RestorePointEntry> ListRestorePoints(const QString &folder, const QString &model,
                                                 const IdentificationTexts &indicator)
{
    std::vector<RestorePointEntry> entries;
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
        QDateTime time = stampOf(file.fileName());
        if (!time.isValid())
            time = file.lastModified();
        entries.push_back({file.filePath(), file.fileName(), time, ids});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const RestorePointEntry &a, const RestorePointEntry &b) { return a.time > b.time; });
    return entries;
}

}  // namespace vx
