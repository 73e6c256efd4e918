// The session every command of vextora-cli shares.

#include "cli/Session.h"

#include "link/AppPaths.h"
#include "link/SerialPort.h"
#include "link/SystemClock.h"
#include "link/Traffic.h"
#include "link/Transaction.h"
#include "shell/Refusal.h"
#include "shell/ConsoleOperator.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QDir>
#include <QJsonDocument>
#include <optional>

namespace vx::cli {

namespace {

// --trace: each traffic line on standard error as it happens, below a progress
// line shown there (beforeLine ends it).
class TraceToStream : public TrafficListener {
public:
    TraceToStream(QTextStream &err, std::function<void()> beforeLine)
        : m_err(err), m_beforeLine(std::move(beforeLine))
    {
    }
    void traffic(const TrafficEvent &event) override
    {
        m_beforeLine();
        m_err << FormatTrafficLine(event) << '\n';
        m_err.flush();
    }

private:
    QTextStream &m_err;
    std::function<void()> m_beforeLine;
};

}  // namespace

struct Session::Owned {
    std::unique_ptr<QtSerialPort> port;
    std::unique_ptr<SystemClock> clock;
    std::unique_ptr<ConsoleOperator> op;
    std::unique_ptr<CommsLog> log;
    std::optional<TextService> texts;
    std::unique_ptr<TraceToStream> trace;
};

Session::Session(Environment &env, SessionOptions options, std::unique_ptr<SettingsStore> store)
    : m_env(env), m_options(std::move(options)), m_store(std::move(store)), m_owned(std::make_unique<Owned>())
{
    if (env.port) {
        m_port = env.port;
    } else {
        ComPortMap map(*m_store);
        for (const ComMapping &m : m_options.maps)
            map.setOverride(m.number, m.path);
        m_owned->port = std::make_unique<QtSerialPort>(std::move(map));
        m_port = m_owned->port.get();
    }
    if (env.clock) {
        m_clock = env.clock;
    } else {
        m_owned->clock = std::make_unique<SystemClock>();
        m_clock = m_owned->clock.get();
    }
    m_owned->op = std::make_unique<ConsoleOperator>(QStringLiteral("vextora-cli"), env.interactive, &env.err);
    m_owned->log = std::make_unique<CommsLog>(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt")));
    m_link = std::make_unique<Link>(*m_port, *m_clock, *m_owned->op, *m_owned->log);
    m_link->settings = m_options.link;
    if (m_options.trace) {
        m_owned->trace = std::make_unique<TraceToStream>(env.err, [this] { endProgress(); });
        m_link->addTrafficListener(m_owned->trace.get());
    }
}

Session::~Session()
{
    if (m_owned->trace)
        m_link->removeTrafficListener(m_owned->trace.get());
}

void Session::traceLink(Link &link)
{
    if (m_owned->trace)
        link.addTrafficListener(m_owned->trace.get());
}

void Session::untraceLink(Link &link)
{
    if (m_owned->trace)
        link.removeTrafficListener(m_owned->trace.get());
}

Operator &Session::op() { return *m_owned->op; }

const TextService &Session::textService()
{
    std::optional<TextService> &texts = m_owned->texts;
    if (texts)
        return *texts;
    texts.emplace();
    const QString english = TextService::shippedFile(Language::English);
    if (!texts->load(m_options.languageFile)) {
        if (texts->load(english))
            error(QStringLiteral("language file \"%1\" not found, using %2").arg(m_options.languageFile, english));
    }
    m_link->transactionErrorText = texts->transactionErrorText();
    m_link->decode.weekdayNames = texts->lines().weekdayNames();
    return *texts;
}

const LanguageTexts &Session::texts() { return textService().lines(); }

QString Session::text(int line, BuiltIn fallback)
{
    const QString t = textService().line(line);
    return t.isEmpty() ? textService().builtIn(fallback) : t;
}

QString Session::devicePath() const
{
    return m_owned->port ? m_owned->port->devicePath() : QString();
}

void Session::print(const QString &line)
{
    m_env.out << line << '\n';
    m_env.out.flush();
}

void Session::printJson(const QJsonObject &object, bool compact)
{
    const QByteArray json = QJsonDocument(object).toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented);
    m_env.out << QString::fromUtf8(json);
    if (compact)
        m_env.out << '\n';
    m_env.out.flush();
}

void Session::error(const QString &text)
{
    m_env.err << "vextora-cli: " << text << '\n';
    m_env.err.flush();
}

int Session::usageError(const QString &text)
{
    m_env.err << "vextora-cli: " << text << "\nTry 'vextora-cli --help'.\n";
    m_env.err.flush();
    return ExitUsage;
}

bool Session::interrupted() const { return m_env.interrupted && m_env.interrupted(); }

bool Session::showsProgress() const { return m_env.progress; }

void Session::progress(const QString &line)
{
    if (!m_env.progress)
        return;
    m_env.err << "\r\x1b[K" << line;
    m_env.err.flush();
    m_progressShown = true;
}

void Session::endProgress()
{
    if (!m_progressShown)
        return;
    m_env.err << '\n';
    m_env.err.flush();
    m_progressShown = false;
}

std::unique_ptr<SettingsStore> Session::openSettings(const std::optional<QString> &file)
{
    return file ? std::make_unique<SettingsStore>(*file) : std::make_unique<SettingsStore>();
}

int Session::connect(Connection &connection, LearnRange learn)
{
    texts();  // the transaction's texts before the first exchange
    connection = ConnectAndLearnRange(*m_link, learn);
    if (connection.version.outcome == VersionResult::Outcome::PortFailed)
        return ExitPort;
    if (!connection.connected()) {
        ReportRefusal(op(), textService());
        return ExitNoAnswer;
    }
    return ExitOk;
}

}  // namespace vx::cli
