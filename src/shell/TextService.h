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
    Disconnected,          // %1 link line: after a disconnect asked for
    PortNotFound,
    PortBusy,
    PortError,             // %1 error number
    ServerClosedPort,      // a serial server closed the connection at once (another client holds it)
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
    // The communication monitor
    MonitorTitle,          // the dock's title and its item in the Settings and Help menu
    MonitorPause,
    MonitorClear,
    MonitorRegister,       // the register filter's label
    MonitorAllRegisters,   // the filter's "every register" value
    MonitorRegisterTip,
    MonitorSave,
    MonitorTextFiles,      // the save dialog's filter
    MonitorNotSaved,       // %1 path, %2 reason
    MonitorLoggedTip,      // what the "*" lines are
    // Finding an indicator (the connection panel's "Find…")
    ScanFindButton,        // the button that starts the scan
    ScanSweepAddresses,    // the check box: try the addresses 01..99 too
    ScanSweepQuestion,     // %1 tries, %2 minutes at most
    ScanProgress,          // %1 port, %2 line settings, %3 address, %4 checksum
    ScanCancel,            // the progress dialog's button
    ScanFound,             // %1 port, %2 line settings, %3 address, %4 checksum, %5 version text
    ScanNothingFound,      // %1 port
    ScanCancelled,
    ScanLineBusy,          // another operation holds the line
    ScanPortFailed,        // %1 port, %2 error number
    ScanUseSettings,       // the button that fills the panel with what answered
    ScanChecksumOn,
    ScanChecksumOff,
    ScanRawTcp,            // %1 port, %2 line settings: only checksum and addresses tried
    // The connection panel's network port field
    NetworkPortLabel,
    NetworkPortHint,       // the field's placeholder
    NetworkPortInvalid,    // %1 what is wrong with the name
    ScanSpeedsLabel,       // the speeds to try: the label before the list
    ScanAllSpeeds,         // the list's first entry
    ScanAddressesInvalid,  // the address list cannot be read
    ScanEstimate,          // %1 tries, %2 seconds at most
    // The weight trend view
    TrendMenu,             // the Settings and Help menu's item
    TrendTitle,
    TrendStart,
    TrendPause,
    TrendRate,
    TrendFastest,
    TrendPerSecond,        // %1 samples a second
    TrendWindow,
    TrendMinutes,          // %1 minutes
    TrendExportCsv,
    TrendExportPng,
    TrendGross,
    TrendNet,
    TrendTimeAxis,
    TrendWeightAxis,
    TrendSamples,
    TrendMinimum,
    TrendMaximum,
    TrendMean,
    TrendDeviation,
    TrendDrift,
    TrendKgColumn,         // %1 gross or net
    TrendDivisionColumn,   // %1 gross or net
    TrendNotConnected,
    TrendRunning,          // %1 samples, %2 of them without a whole answer
    TrendPaused,           // %1 samples, %2 of them without a whole answer
    TrendPortFailed,       // the port would not open: stopped; %1 samples, %2 without a whole answer
    TrendSaved,            // %1 path
    TrendExportFailed,     // %1 path, %2 reason
    TrendPlotNotEncoded,   // the reason when the plot could not be made a PNG
    TrendCsvFilter,
    TrendPngFilter,
    // Service history
    HistoryMenuItem,       // the Settings and Help menu's item that opens the list
    HistoryTitle,          // the list's window title
    HistoryFilterLabel,    // the filter by indicator
    HistoryNoteLabel,      // the operator's note in the send panel and on the calibration tab
    HistoryColumnTime,
    HistoryColumnIndicator,
    HistoryColumnOperation,
    HistoryColumnWhat,     // the groups sent or the procedure
    HistoryColumnResult,
    HistoryColumnNote,
    HistoryColumnDetails,
    HistoryOperationSend,
    HistoryOperationCalibration,
    HistoryOperationAnalogTrim,
    HistoryEmpty,          // no records (for the filter)
    HistoryDamaged,        // %1 path, %2 the line numbers
    HistoryNotReadable,    // %1 path, %2 reason
    HistoryNotWritten,     // %1 path, %2 reason: the operation itself ended as shown
    HistoryClose,
    // Restore points and the question before sending another indicator's file
    FileOfAnotherIndicator,     // %1, %2 the file's rows 82 and 83; %3, %4 the indicator's
    FileHasNoIdentification,    // %1, %2 the indicator's rows 82 and 83
    IdentificationEmpty,        // a text that is empty
    IdentificationUnread,       // the indicator's texts could not be read
    CalibrationOfAnotherScale,  // %1 the calibration group's caption
    SendAnyway,
    RestorePointCaption,        // the send panel's check box
    RestorePointFailed,         // %1 why; the send does not start
    RestorePointNotRead,        // the groups were not read whole
    RestorePointNoIdentification,  // the identification texts could not be read
    RestorePointFolderNotWritable, // %1 folder, %2 why
    RestorePointNotSaved,       // %1 path, %2 why
    RestorePointMade,           // %1 path
    RestorePointsMenu,          // File menu: "Restore points…"
    RestorePointsTitle,         // %1 model and version, %2 second identification text
    RestorePointsTimeColumn,
    RestorePointsFileColumn,
    RestorePointsSend,
    RestorePointsCompare,
    RestorePointsClose,
    RestorePointsNone,          // %1 folder
    RestorePointsSendHint,      // after a restore point is opened for sending
    // Compare and the selective send
    CompareHeaderLine,        // %1 1..4
    CompareFootnoteLine,      // %1 1..2
    CompareEplText,
    CompareIdHeader,          // %1 1..2
    CompareCalibrationRaw,    // the raw calibration values as one row
    CompareColumnRow,
    CompareColumnIndicator,
    CompareColumnFileA,
    CompareColumnFileB,
    CompareNoDifferences,
    CompareWithIndicatorMenu,
    CompareWithFileMenu,
    CompareTitle,             // %1 what is compared with what
    CompareCopy,
    CompareSaveText,
    CompareSendTicked,
    CompareClose,
    CompareReadFailed,        // the indicator's read stopped: nothing compared
    CompareSaveFailed,        // %1 path, %2 reason
    CompareOpenFailed,        // %1 path, %2 reason
    CompareNotInFile,         // a part one side does not hold
    SendGroupEmpty,           // the tooltip of a send box whose group holds nothing
    OtherIndicatorQuestion,   // %1 the indicator the data came from, %2 the connected one
    SelectiveNothingTicked,
    SelectiveBothPrinters,    // ticket lines and EPL text both ticked
    SelectiveReadFailed,      // %1 the groups not read again whole
    SelectiveSent,            // %1 the groups sent
    SelectiveSendQuestion,    // %1 the number of ticked rows
    SelectiveNothingDiffers,  // every ticked unit already holds the file's value
    // The check of a send's values before anything is written
    SendCheckRow,             // %1 grid row, %2 " [code]" or nothing
    SendCheckNoValue,         // %1 group, %2 row
    SendCheckNotANumber,      // %1 group, %2 row or record, %3 the text
    SendCheckOutOfField,      // %1 group, %2 row or record, %3 the value, %4 lowest, %5 highest
    SendCheckTooManyDigits,   // %1 group, %2 record, %3 the text
    ClearMemoryQuestion,      // %1 the memories a send would clear
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
    ReportWhyNoStatus,     // why a run is not finished: a step's poll gave up
    ReportWhyStepRefused,  // ... the indicator refused a step
    ReportWhyNoAnswer,     // ... no answer or a refusal dropped the link
    ReportNote,
    ReportSignature,
    ReportOffer,           // the button (and question) after a run
    ReportNotePrompt,
    ReportFilter,          // the save dialog's filter
    ReportSaved,           // %1 path
    ReportNotSaved,        // %1 path, %2 reason
    // Configuration sheet
    SheetTitle,
    SheetFile,
    SheetParameters,
    SheetCode,
    SheetParameter,
    SheetValue,
    SheetMemories,
    SheetIdUsed,           // %1 records used, %2 records
    SheetSetpointsUsed,    // %1, %2
    SheetPresetTaresUsed,  // %1, %2
    SheetTicket,
    SheetHeaderLine,       // %1 line number
    SheetFootnoteLine,     // %1 line number
    SheetCentred,
    SheetLeftAligned,
    SheetMenu,             // File menu item
    SheetSaved,            // %1 path
    SheetNotSaved,         // %1 path, %2 reason
    // The clock from the PC
    ClockFromPc,           // the parameter page's button
    ClockSetDone,          // %1 the time read back
    ClockNotTaken,
    ClockNoReadBack,
    ClockDisagrees,        // %1 read back, %2 seconds off, %3 the PC's time, %4 seconds allowed
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
