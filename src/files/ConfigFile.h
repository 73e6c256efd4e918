#pragma once
// Configuration files on disk and the File menu's state around them: the current
// file's name, folder and path, the name rules of a save and the window title.
//
// A save writes a temporary file beside the target, checks every write, flushes it
// to the disk and checks its size, and renames it over the target only then
// (WriteFileSafely), so a full disk or an interrupted save never damages the
// previous file. An open reads the whole record or nothing: a file that cannot be
// read, is not a regular file, or ends before the record does, changes nothing.

#include "files/ConfigurationRecord.h"

#include <QString>
#include <optional>

namespace vx {

// The file name shown while there is no current file, and the pattern of the dialogs.
inline const QString FilePattern = QStringLiteral("*.Vxr");

struct ConfigFileState {
    QString ConfigFileName = FilePattern;  // without folder; "*.Vxr" when there is none
    QString ConfigFolder;                  // ends in "/"
    QString ConfigFilePath;                // what the next plain save writes
    bool ConfigLoaded = false;             // a file has been opened (page clearing asks nothing)

    // DosyaDizin: a full path split at its last "/": the folder with it, the name after it.
    void DosyaDizin(const QString &fullPath);
    bool hasFile() const { return ConfigFileName != FilePattern; }
};

// A save's name: a file name without any "." gets ".vxr"; any other stays.
QString SaveFileName(const QString &name);
// "VEXTORA v<major>.<minor> [name]", or without the brackets when name is empty; then
// " · " and the indicator the data came from ("ZR2 V2.20 SN0001234") when one is named.
QString WindowTitle(const QString &fileName = {}, const QString &indicator = {});

struct FileError {
    enum Kind { None, CannotOpen, CannotWrite, CutOff };
    Kind kind = None;
    QString reason;  // the system's words, or the sizes of a cut-off file
    bool ok() const { return kind == None; }
};

// The record's file form into `path`, through a temporary file renamed over it.
// CannotOpen: the target cannot be written at all (a folder, no such folder, no
// permission); CannotWrite: the write itself failed. Either way the old file stays.
FileError WriteConfigurationFile(const QString &path, const ConfigurationRecord &record);
// The record from the start of `path`; a longer file is read as far as the record reaches.
std::optional<ConfigurationRecord> ReadConfigurationFile(const QString &path, FileError *error = nullptr);

}  // namespace vx
