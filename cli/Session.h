#pragma once
// What every command of vextora-cli shares: the settings opened for the run, the
// port, clock and operator, the link over them, the language texts, and the output.
// The options that fill SessionOptions are the table in cli/SharedOptions.h.

#include "link/Model.h"
#include "link/Options.h"
#include "link/Settings.h"
#include "params/Connection.h"

#include <QJsonObject>
#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vx {
class Clock;
class LanguageTexts;
class TextService;
enum class BuiltIn;
class Link;
class Operator;
class SerialPortIo;
class SettingsStore;
}  // namespace vx

namespace vx::cli {

// Exit status of every command.
enum Exit : int {
    ExitOk = 0,
    ExitNoAnswer = 1,  // the indicator did not answer, refused, or left registers unanswered
    ExitUsage = 2,
    ExitPort = 3,      // the port could not be opened
    ExitCalibration = 4,  // a calibration ended with one of its messages (not permitted, range, status, refused step)
    ExitDifferent = 5,    // diff: the two sides differ
    ExitCancelled = 6,    // the operator cancelled (a confirmation declined, the end of input)
    ExitFile = 7,         // a file could not be read or written, or holds no value for what was asked
    ExitHistory = 8,      // the operation went through but its history record could not be written
};

// What a run of the tool talks to. main() leaves port and clock empty (the real
// serial port over the COM map, the system clock) and passes the standard streams.
struct Environment {
    QTextStream &out;
    QTextStream &err;
    SerialPortIo *port = nullptr;
    Clock *clock = nullptr;
    bool interactive = false;           // questions may be asked on the terminal
    std::function<bool()> interrupted;  // polled while a command waits (--watch)
    bool progress = false;              // standard error is a terminal: long commands show progress there
};

// The options every command shares, over the stored settings.
struct SessionOptions {
    std::optional<QString> settingsFile;  // --settings: this file instead of the user's store
    LinkSettings link;
    Model model = Model::ZR2;  // assumed before the version text is read
    QString languageFile;
    bool json = false;
    bool trace = false;            // --trace: the traffic lines on standard error
    std::vector<ComMapping> maps;  // --map COMn=PATH, this run only
};

class Session {
public:
    Session(Environment &env, SessionOptions options, std::unique_ptr<SettingsStore> store);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    const SessionOptions &options() const { return m_options; }
    bool json() const { return m_options.json; }
    SettingsStore &store() { return *m_store; }
    SerialPortIo &port() { return *m_port; }
    Clock &clock() { return *m_clock; }
    Operator &op();
    Link &link() { return *m_link; }
    // The language texts, loaded on first use (English when the file is missing).
    const LanguageTexts &texts();
    // The text service: language lines and the built-in texts, loaded on first use.
    const TextService &textService();
    // Language line `line`, or the built-in text when the file has none.
    QString text(int line, BuiltIn fallback);
    // With --trace: another link of this run (a batch's) prints its traffic too;
    // it is let go again before it ends. Nothing without --trace.
    void traceLink(Link &link);
    void untraceLink(Link &link);
    // The device the real port opened last; empty in-process.
    QString devicePath() const;

    void print(const QString &line);                                // a line on standard output
    void printJson(const QJsonObject &object, bool compact = false);  // compact: one line
    void error(const QString &text);                                // "vextora-cli: text" on standard error
    int usageError(const QString &text);                            // reports it, returns ExitUsage
    bool interrupted() const;
    // A progress line on standard error, rewritten in place; shown only on a terminal.
    bool showsProgress() const;
    void progress(const QString &line);
    void endProgress();  // the line shown so far stays, the next output starts below it

    // Opens the settings a run uses: the file given with --settings, or the user's store.
    static std::unique_ptr<SettingsStore> openSettings(const std::optional<QString> &file);

    // Connects as the window does (ConnectAndLearnRange on the session's link): ExitOk
    // when connected, ExitPort when the port did not open, ExitNoAnswer otherwise
    // (with the refusal text on standard error).
    int connect(Connection &connection, LearnRange learn = LearnRange::No);

private:
    struct Owned;
    Environment &m_env;
    SessionOptions m_options;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<Owned> m_owned;  // the real port, clock, operator, log, texts
    SerialPortIo *m_port = nullptr;
    Clock *m_clock = nullptr;
    std::unique_ptr<Link> m_link;
    bool m_progressShown = false;
};

}  // namespace vx::cli
