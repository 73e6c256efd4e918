#pragma once
// The one place every text the user sees comes from: the lines of the loaded
// language file, and a built-in Turkish and English table for the few messages no
// language line is set aside for. Which of the two built-in languages speaks is
// decided here, once, when a language file is loaded; nothing else looks at file
// names to choose a language.
//
//   vx::TextService texts;
//   texts.load(settings.LanguageFileName);
//   op.message(texts.line(375), vx::Icon::Critical);
//   op.message(texts.builtIn(vx::BuiltIn::HelpMissing).arg(path), vx::Icon::Critical);

#include "shell/LanguageTexts.h"

#include <QString>
#include <optional>

namespace vx {

// The built-in language: the one the shipped Turkish file speaks, or English for any other file.
enum class Language { Turkish, English };

// Messages without a language line. "%1", "%2" are filled by the caller with QString::arg.
enum class BuiltIn {
    DrainCaption,          // the connection panel's drain-mode check box
    DrainToolTip,
    ReadingTimeUnchanged,  // %1 seconds in use
    ReadingTimeInvalid,    // %1 typed, %2 seconds in use
    HelpMissing,           // %1 path
    HelpNotOpened,         // %1 path
    LanguageFileFailed,    // %1 path, %2 reason
    TransactionError,      // the failure text of the transaction before a language file is read
    // The window's status line after a connect: "%1" the line, "%2" what happened.
    LinkLine,              // %1 port, %2 line settings, %3 address
    NoAddress,
    Connected,             // %1 link line, %2 version text
    ConnectFailed,         // %1 link line, %2 reason
    LinkLost,              // %1 link line, %2 reason
    PortNotFound,
    PortBusy,
    PortError,             // %1 error number
    NoAnswer,
    Refused,
    UnreadableAnswer,
    DeviceRefused,         // the indicator refused or did not answer (text 309 missing)
    // The memories and the ticket layout.
    SetpointsNotSent,      // %1 decimals, %2 one line per value
    SetpointTooLong,       // %1 the value typed, %2 decimals
    EplFileNotRead,        // %1 path, %2 reason
    EplFileNotSaved,       // %1 path, %2 reason
    DateTimeNotSent,       // row 1 holds no date and time: the clock is not written
    WordTooLarge,          // %1 the value typed into [410]/[420]
    DateNotInCalendar,     // %1 day, %2 month, %3 year (two digits each)
    TimeInvalid,           // the date and time entry: hours, minutes or seconds out of range
    // Configuration files.
    ConfigFileNotSaved,    // %1 path, %2 reason
    ConfigFileNotOpened,   // %1 path, %2 reason
    ConfigFileCutOff,      // %1 path, %2 bytes the file holds
    ConfigFilesFilter,     // the dialogs' filter of configuration files
    AllFilesFilter,
    // The status line after a read-all or send-all.
    ReadAllDone,           // %1 time
    ReadAllStopped,        // %1 time
    SendAllDone,           // %1 time
    SendAllStopped,        // %1 time
    // Files and the command-line tool
    GroupsNotSent,         // %1 the groups a stopped send did not send, joined by ", "
    GroupsNotRead,         // %1 the groups a stopped read did not read
    // The indicator's weighing range.
    RangeUnknown,          // the range could not be read: nothing that carries a weight goes
    RangeUnknownMark,      // beside raw weights: "range unknown"
    // Calibration
    IndicatorBusy,         // a busy answer: the indicator cannot take the calibration now
    // The window's working set
    ReplaceUnsentData,     // the question before a read replaces data the indicator has not got
    // The window (trial)
    ConfigFileSaved,       // the status line after a save: %1 time, %2 path
    // Calibration report
    ReportTitle,           // the report's heading
    ReportDate,
    ReportModel,
    ReportVersion,
    ReportIdentification,  // parameter rows 82 and 83
    ReportProcedure,
    ReportGeneral,
    ReportZero,
    ReportSpan,
    ReportAsFound,
    ReportAsLeft,
    ReportMode,
    ReportSingleRange,
    ReportDualRange,
    ReportCapacity1,
    ReportDivision1,
    ReportCapacity2,
    ReportDivision2,
    ReportMetrological,
    ReportYes,
    ReportNo,
    ReportGross,           // the displayed gross weight
    ReportTestWeight,
    ReportSteps,
    ReportStep,
    ReportResult,
    ReportCode,
    ReportStepZero,
    ReportStepSpan,
    ReportStepFinish,
    ReportStepAccepted,
    ReportStepRefused,
    ReportStepNoStatus,
    ReportOutcome,
    ReportFinished,
    ReportNotFinished,
    ReportNote,
    ReportSignature,
    ReportOffer,           // the button (and question) after a run
    ReportNotePrompt,
    ReportFilter,          // the save dialog's filter
    ReportSaved,           // %1 path
    ReportNotSaved,        // %1 path, %2 reason
    Count
};

class TextService {
public:
    // Files the language panel offers by name, and the one an empty file gives way to.
    static QString shippedFile(Language language);  // "Türkçe.txt", "English.txt"
    static std::optional<Language> shippedLanguage(const QString &fileName);
    static QString emptyFileFallback();             // "ingilizce.txt"

    TextService();  // no file read yet: empty lines, Turkish built-in texts

    // Reads LANGUAGE/fileName. On success its lines are the texts in use and the built-in
    // texts follow its language (Turkish for "Türkçe.txt", English for any other file).
    // A file that cannot be read changes nothing, except that before any file has been
    // read the built-in texts already follow the name asked for. error says why.
    bool load(const QString &fileName, QString *error = nullptr);
    // The same with lines at hand (tests, tools that read the file themselves).
    void use(LanguageTexts lines, const QString &fileName);

    // The language change's test read of a chosen file: the file to load instead (an
    // empty file gives way to "ingilizce.txt"), or nothing when it cannot be opened.
    struct Probe {
        QString fileName;  // the file to load
        QString path;      // where it was looked for
        QString error;     // why it cannot be opened (empty when it can)
        bool ok = false;
    };
    static Probe probe(const QString &chosenFile);

    bool isLoaded() const { return m_loaded; }
    QString fileName() const { return m_fileName; }
    Language language() const { return m_language; }

    // Line n of the file in use (1-based); empty when the file had none.
    QString line(int n) const { return m_lines.text(n); }
    const LanguageTexts &lines() const { return m_lines; }
    // A message without a language line, in the built-in language.
    QString builtIn(BuiltIn id) const;
    // ... in the language given.
    static QString builtIn(BuiltIn id, Language language);
    // Line n once a file is read; the built-in text before.
    QString lineOr(int n, BuiltIn fallback) const { return m_loaded ? line(n) : builtIn(fallback); }
    QString transactionErrorText() const { return lineOr(306, BuiltIn::TransactionError); }
    // The help document of the language in use: "VextoraTR.pdf" or "VextoraENG.pdf".
    QString helpDocument() const;

private:
    LanguageTexts m_lines;
    QString m_fileName;
    Language m_language = Language::Turkish;
    bool m_loaded = false;
};

}  // namespace vx
