#include "link/Connect.h"

#include "link/ForwardingOperator.h"
#include "link/LineLease.h"
#include "link/SerialPort.h"

#include <QSet>

namespace vx {
namespace {

// Passes every question and message through, but each distinct message text only
// once: ten failed opening attempts give one message box, not ten.
class OnceOperator : public ForwardingOperator {
public:
    using ForwardingOperator::ForwardingOperator;

    void message(const QString &text, Icon icon, const QString &title) override
    {
        if (m_shown.contains(text))
            return;
        m_shown.insert(text);
        ForwardingOperator::message(text, icon, title);
    }

private:
    QSet<QString> m_shown;
};

}  // namespace

bool IsFatalPortError(int error)
{
    return error == PortErr::NoSuchPort || error == PortErr::Busy || error == PortErr::NotOpen
        || error == PortErr::BadSettings || error == PortErr::NotSerialPort || error == PortErr::ServerClosed;
}

int OpenPortWithRetries(SerialPortIo &port, const LinkSettings &settings, Operator &op, int attempts)
{
    OnceOperator once(op);
    int error = PortErr::Other;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        error = OpenLinkPort(port, settings, once);
        if (error == PortErr::None || IsFatalPortError(error))
            return error;
        port.close();
    }
    return error;
}

int OpenPortWithRetries(Link &link, int attempts)
{
    return OpenPortWithRetries(link.port(), link.settings, link.op(), attempts);
}

QString ModelFromVersion(const QString &versionText) { return versionText.left(3); }

VersionResult VersiyonOku(Link &link)
{
    VersionResult result;
    const LineLease lease(link, {.policy = LineLease::Policy::Join, .attempts = PortOpenAttempts});
    if (!lease) {
        // Ten failed attempts with other errors end the same way as a missing port:
        // there is no open port to send the request on.
        result.portError = lease.portError();
        result.outcome = VersionResult::Outcome::PortFailed;
        return result;
    }

    const Answer answer = link.readAnswer(VersionRegister, VersionByteCount, VersionPreDelay);
    result.answer = answer.raw;
    result.answerOutcome = answer.outcome;
    if (answer.missingOrRefused()) {
        result.outcome = VersionResult::Outcome::Refused;
        result.reason = answer.missing() ? VersionResult::Reason::NoAnswer : VersionResult::Reason::Refused;
        return result;
    }

    // The window reads the version on the tab it opens on, which drops line feeds and NULs.
    result.versionText = link.valueOf(answer, "Tx0", VersionRegister).toString();
    if (result.versionText.isEmpty()) {
        // Noise or a frame of another kind: as good as no answer.
        result.outcome = VersionResult::Outcome::Refused;
        result.reason = VersionResult::Reason::NotVersionText;
        return result;
    }
    result.modelText = ModelFromVersion(result.versionText);
    result.model = ModelFromText(result.modelText);
    result.outcome = VersionResult::Outcome::Connected;
    return result;
}

}  // namespace vx
