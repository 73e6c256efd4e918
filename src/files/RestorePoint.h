#pragma once
// Restore points: before a send-all overwrites groups of the indicator, those groups
// are read from it into a working set of their own and saved as a configuration file
// in the "BACKUP" folder (or a folder the caller names), named from the model, the
// second identification text as the parameter grid shows it (row 83) and the time:
// "ZR2_SN0001234_20261207-142530.Vxr". The send starts only after the restore point
// was read whole and saved; any failure leaves the indicator untouched.
//
//   const RestorePointResult backup = MakeRestorePoint(link, texts, choice, model, ids, weight, folder);
//   if (!backup.ok) { link.op().message(backup.message, Icon::Critical); return; }
//   SendAll(link, set, texts, choice, weight);

#include "files/Batch.h"
#include "files/SameIndicator.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

namespace vx {

// "<WritableFolder()>/BACKUP".
QString DefaultRestorePointFolder();

// The groups a send of `send` overwrites, as the read-all reads them: the header
// (ticket lines or EPL text as the send's printer), the ID and setpoint memories, and
// the parameters when any of calibration, Jmp or Nrm goes. The clock is never a
// reason to make one: nothing to read when only the date and time go.
ReadAllChoice RestorePointGroups(const SendAllChoice &send, Model model);
bool RestorePointNeeded(const SendAllChoice &send);

// "<model>_<second text made safe for a file name>_<yyyyMMdd-HHmmss>.Vxr"; a character
// that is not a letter, a digit, "-" or "." becomes "-", and an empty text "none". The
// second restore point of the same second is "..._<yyyyMMdd-HHmmss>-2.Vxr", and so on.
QString RestorePointFileName(const QString &model, const QString &secondText, const QDateTime &time,
                             int number = 1);

struct RestorePointResult {
    enum class Failure { None, Identification, Folder, Read, Save };
    bool ok = false;
    Failure failure = Failure::None;
    QString path;     // the file written (empty when none was needed or it failed)
    QString message;  // why it failed, ready to show (RestorePointFailed)
    // What the indicator held before the send, as read for the file (none when no
    // file was needed or it failed): the service history's changed rows come from it.
    std::shared_ptr<const WorkingSet> before;
};

// Checks that `folder` (created when missing) can be written, reads the groups the
// send overwrites into a fresh working set (every answer whole) and saves it through
// the checked write, with the indicator's identification texts in rows 82 and 83
// (so the restore point is the indicator's own, whatever groups it holds). Nothing is
// read when the folder cannot be written, and nothing is written to the indicator.
// ok and no path when the send overwrites nothing that is kept (the clock alone).
RestorePointResult MakeRestorePoint(Link &link, const TextService &texts, const SendAllChoice &send, Model model,
                                    const std::optional<IdentificationTexts> &indicator, const WeightFormat &weight,
                                    const QString &folder, const DisconnectAction &disconnect = {});

// The folder check MakeRestorePoint makes before it reads: the failure, or nothing
// when the folder (created when missing) takes a new file.
std::optional<RestorePointResult> RestorePointFolderUnusable(const QString &folder, const TextService &texts);
// What was read into `set` saved as a restore point of the indicator whose texts are
// `indicator` (put into rows 82 and 83, then collected), named with `time`. `before`
// stays empty: the caller keeps the set.
RestorePointResult SaveRestorePoint(WorkingSet &set, const TextService &texts, Model model,
                                    const IdentificationTexts &indicator, const QString &folder, const QDateTime &time);
// Its two steps: rows 82 and 83 set and the set collected; the record written.
void NameRestorePointIndicator(WorkingSet &set, const IdentificationTexts &indicator);
RestorePointResult WriteRestorePoint(const ConfigurationRecord &record, const TextService &texts, Model model,
                                     const IdentificationTexts &indicator, const QString &folder, const QDateTime &time);

struct RestorePointEntry {
    QString path;
    QString fileName;
    QDateTime time;  // from the file name; the file's modification time when it has none
    IdentificationTexts identification;  // the file's own rows 82 and 83
};

// The restore points of the indicator whose texts are `indicator` in `folder`: every
// configuration file there whose name begins with the model and whose own row 83
// equals the indicator's; newest first. A file that cannot be read is left out.
std::vector<RestorePointEntry> ListRestorePoints(const QString &folder, const QString &model,
                                                 const IdentificationTexts &indicator);

}  // namespace vx
