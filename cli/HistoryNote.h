#pragma once
// The service history in the commands that change the indicator (send, calibrate):
// their --note option, and the record appended once the operation has ended.
//
//   const std::optional<QString> historyError = AppendToHistory(s, args, record);
//   ...print, adding "historyError" to the JSON when it is set...
//   return WithHistory(rc, historyError);

#include "cli/Cli.h"
#include "service/History.h"

namespace vx::cli {

// The shared option "--note TEXT".
CommandOption NoteOption();
// A note too long for a record: the usage error's text; nothing when it is fine.
std::optional<QString> CheckNote(const CommandArgs &args);

// Appends `record` with the note of --note (none for an empty one). A failure is said
// on standard error and its reason returned.
std::optional<QString> AppendToHistory(Session &s, const CommandArgs &args, HistoryRecord record);

// A record the job could not write, said on standard error as AppendToHistory says it.
void SayHistoryNotWritten(Session &s, const HistoryRecord &record, const QString &why);

// The exit status: the operation's own, or ExitHistory when only the record failed.
inline int WithHistory(int rc, const std::optional<QString> &historyError)
{
    return rc == ExitOk && historyError ? ExitHistory : rc;
}

}  // namespace vx::cli
