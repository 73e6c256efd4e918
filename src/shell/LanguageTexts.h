#pragma once
// The language file: a plain text file whose N-th line is the text for slot N
// (418 slots). Lines are taken whole; missing lines are empty; lines after 418
// are ignored. Files are Windows-1254 with CR LF; a file that is valid UTF-8 is
// read as UTF-8 (a user editing on Linux).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

// Language lines more than one room shows.
namespace TextLine {
// "The indicator did not answer or refused the command": a refusal or no answer.
inline constexpr int DeviceRefused = 309;
// "Ready" / the finish step: the analog start's idle caption and the calibration's finish.
inline constexpr int Ready = 263;
// The port could not be opened.
inline constexpr int PortFailed = 271;
// The indicator does not permit calibration.
inline constexpr int NotPermitted = 310;
// A field or the range is missing; the indicator is not ready for a send.
inline constexpr int NotReady = 313;
// Not connected.
inline constexpr int NotConnected = 375;
}  // namespace TextLine

class LanguageTexts {
public:
    static constexpr int LineCount = 418;

    LanguageTexts();  // all texts empty
    // 1-based line; empty for a line the file did not have or out of range.
    QString text(int line) const;
    void setText(int line, const QString &text);
    // True when the file had no line at all.
    bool isEmpty() const { return m_linesRead == 0; }
    int linesRead() const { return m_linesRead; }

    static LanguageTexts fromBytes(const QByteArray &bytes);
    // Nothing when the file cannot be opened (error describes why).
    static std::optional<LanguageTexts> fromFile(const QString &path, QString *error = nullptr);

    QStringList weekdayNames() const;  // texts 314 (Monday) .. 320 (Sunday)
    bool brandIsHalvern() const;       // text 383 is exactly "HALVERN"

private:
    QStringList m_texts;  // index 0 is line 1
    int m_linesRead = 0;
};

// The language folder: ProgramFolder() + "/LANGUAGE".
QString LanguageFolder();
QString LanguageFilePath(const QString &fileName);
// A language file is named by its name inside the language folder: not empty, no
// folder part ("/" or "\\"), not "." or "..".
bool IsLanguageFileName(const QString &fileName);
// The "*.txt" files of the language folder, sorted.
QStringList LanguageFiles();

}  // namespace vx
