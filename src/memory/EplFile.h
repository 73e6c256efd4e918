#pragma once
// EPL command texts in plain text files of the user's choice, in Windows-1254 like
// the configuration files. Only regular files are read.

#include <QString>

namespace vx {

struct EplFile {
    bool ok = false;
    QString error;  // why the file could not be read (ok false)
    qint64 bytes = 0;  // the file's size
    // Every line of the file followed by CR LF (lines end at CR LF, CR or LF).
    QString text;
};
// The EPL text box holds 1000 characters that can go to the indicator; a longer
// file is loaded only when the user agrees.
inline constexpr qint64 EplFileQuestionBytes = 1000;

EplFile ReadEplFile(const QString &path);
// Writes the text as one line: followed by CR LF unless it already ends with one,
// so that loading and saving again gives the same file. Written safely: a failed
// write (a full disk) keeps the old file as it was and returns false with the reason.
bool WriteEplFile(const QString &path, const QString &text, QString *error = nullptr);

}  // namespace vx
