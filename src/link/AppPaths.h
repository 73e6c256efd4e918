#pragma once
// Where the program finds its files and where it may write.

#include <QString>

namespace vx {

// ProgramFolder: the executable's folder (LANGUAGE/, Help/ and the profiles live
// there). Tests and tools may point it elsewhere with setProgramFolder.
QString ProgramFolder();
void setProgramFolder(const QString &folder);

// The folder for "ZRxLog.txt" and "BACKUP": the program folder when it is writable,
// otherwise the per-user data folder (an installed program). A program folder that
// holds the file InstalledMarker (the Debian package installs it) always counts as
// not writable.
inline const QString InstalledMarker = QStringLiteral("INSTALLED");
QString WritableFolder();
void setWritableFolder(const QString &folder);

// The per-user data folder ($XDG_DATA_HOME/Kormel/Vextora, created when missing): the
// service history always, the log and "BACKUP" when the program folder is not writable.
QString UserDataFolder();

// Where the configuration file dialogs start before a file has been chosen: the
// program folder when it is writable, otherwise the user's documents folder (the
// home folder when the system names none).
QString FirstFileFolder();

}  // namespace vx
