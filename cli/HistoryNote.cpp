#include "cli/HistoryNote.h"

#include <QDir>

namespace vx::cli {
namespace {
const QString kNote = QStringLiteral("note");
constexpr int kLongestNote = 1000;  // characters
}  // namespace

CommandOption NoteOption()
{
    return {kNote, QStringLiteral("TEXT"), QStringLiteral("An operator's note for the service history record.")};
}

std::optional<QString> CheckNote(const CommandArgs &args)
{
    if (args.value(kNote).size() > kLongestNote)
        return QStringLiteral("--note is longer than %1 characters").arg(kLongestNote);
    return std::nullopt;
}

std::optional<QString> AppendToHistory(Session &s, const CommandArgs &args, HistoryRecord record)
{
    const QString note = args.value(kNote).trimmed();
    if (!note.isEmpty())
        record.note = note;
    QString why;
    if (AppendHistory(record, &why))
        return std::nullopt;
    SayHistoryNotWritten(s, record, why);
    return why;
}

void SayHistoryNotWritten(Session &s, const HistoryRecord &record, const QString &why)
{
    s.error(QStringLiteral("warning: the service history record could not be written to \"%1\": %2 (the %3 itself "
                           "ended as reported)")
                .arg(QDir::toNativeSeparators(HistoryFilePath()), why, HistoryOperationKey(record.operation)));
}

}  // namespace vx::cli
