#pragma once
// Connecting: opening the port with retries and reading the indicator's version
// text (register 199), whose first three characters name the model.
// Written against the Link only, so the window and the command-line tool share it.

#include "link/Model.h"
#include "link/Registers.h"
#include "link/Transaction.h"

#include <QString>

namespace vx {

inline constexpr int VersionRegister = reg::Version;
inline constexpr int VersionByteCount = 10;
inline constexpr int PortOpenAttempts = 10;
inline constexpr double VersionPreDelay = 0.2;

// The port errors after which retrying the opening is pointless: no such port,
// port busy, port not open, malformed settings, a device that is no serial port and a
// serial server that closed the connection at once (another client holds its port).
bool IsFatalPortError(int error);

// Opens the port with OpenLinkPort up to `attempts` times. A fatal error ends the attempts
// at once; any other error closes the port and tries again. The same failure
// message is shown once, not once per attempt. Returns 0 when the port is open,
// otherwise the last error number.
int OpenPortWithRetries(Link &link, int attempts = PortOpenAttempts);
// The same with the settings and the operator given.
int OpenPortWithRetries(SerialPortIo &port, const LinkSettings &settings, Operator &op, int attempts);

struct VersionResult {
    enum class Outcome {
        Connected,   // the indicator answered with its version text
        PortFailed,  // the port could not be opened (portError says why)
        Refused,     // no usable version text (reason says which way)
    };
    // Why an open port gave no version text.
    enum class Reason {
        None,            // connected, or the port failed
        NoAnswer,        // nothing came
        Refused,         // the indicator refused the request
        NotVersionText,  // noise, a cut-off answer or a frame of another kind
    };
    Outcome outcome = Outcome::PortFailed;
    Reason reason = Reason::None;
    int portError = 0;
    QString answer;       // the raw answer to the version request (for the log only)
    AnswerOutcome answerOutcome = AnswerOutcome::Missing;  // ... as judged
    QString versionText;  // the version text, line feeds and NULs dropped, e.g. "ZR2 V2.20 "
    QString modelText;    // its first three characters
    Model model = Model::None;  // ... as a model

    bool connected() const { return outcome == Outcome::Connected; }
    // The indicator itself refused (as against no answer or an unreadable one).
    bool refusedByIndicator() const { return reason == Reason::Refused; }
};

// VersiyonOku without the window: on the line of the operation in force (or on one
// taken for it, up to 10 opening attempts, closed again after),
// sends the read request for the version register, waits 0.2 s plus the reading
// time and decodes the answer ("Tx0": line feeds and NULs dropped, as the window
// always read it on the tab it opens on). The caller corrects the model and marks
// the connection.
VersionResult VersiyonOku(Link &link);

// The model named by a version text: its first three characters.
QString ModelFromVersion(const QString &versionText);

}  // namespace vx
