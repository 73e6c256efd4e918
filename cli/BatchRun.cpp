#include "cli/BatchRun.h"

#include "link/AppPaths.h"
#include "shell/TextService.h"

#include <QDir>

namespace vx::cli {

BatchRun::BatchRun(Session &session, OnFailure onFailure)
    : ForwardingOperator(session.op()),
      m_session(session),
      m_onFailure(onFailure),
      m_log(QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt"))),
      m_link(session.port(), session.clock(), *this, m_log)
{
    session.textService();  // the transaction's texts and the weekday names
    m_link.settings = session.link().settings;
    m_link.decode = session.link().decode;
    m_link.decode.log = {};  // set again for this link on its first answer
    m_link.transactionErrorText = session.link().transactionErrorText;
    session.traceLink(m_link);
}

BatchRun::~BatchRun()
{
    m_session.untraceLink(m_link);
    finish();
}

int BatchRun::connect(VersionResult &version)
{
    Connection connection;
    const int rc = m_session.connect(connection, LearnRange::Yes);
    version = connection.version;
    if (rc != ExitOk)
        return rc;
    // Weights and setpoints carry the indicator's decimals.
    if (connection.range)
        m_weight = connection.range->format;
    return ExitOk;
}

void BatchRun::finish() { m_session.endProgress(); }

void BatchRun::message(const QString &text, Icon icon, const QString &title)
{
    m_session.endProgress();
    ForwardingOperator::message(text, icon, title);
}

Choice BatchRun::abortRetryIgnore(const QString &text, Icon, const QString &)
{
    m_session.endProgress();
    if (m_onFailure == OnFailure::Ignore) {
        ++m_skipped;
        if (m_group && !m_skippedGroups.contains(int(*m_group)))
            m_skippedGroups << int(*m_group);
        m_session.error(text + QStringLiteral(" (skipped)"));
        return Choice::Ignore;
    }
    m_session.error(text + QStringLiteral(" (aborted)"));
    return Choice::Abort;
}

void BatchRun::setProgress(ProgressId bar, int value, int maximum)
{
    if (bar != ProgressId::Small) {
        m_value = value;
        if (maximum >= 0)
            m_maximum = maximum;
        draw();
    }
    poll();
}

void BatchRun::showStep(const QString &text, Tone)
{
    if (text == m_step)
        return;
    m_step = text;
    m_value = m_maximum = 0;
    draw();
    poll();
}

void BatchRun::draw()
{
    QString line = m_step;
    if (m_maximum > 0)
        line += QStringLiteral(" %1/%2").arg(m_value).arg(m_maximum);
    m_session.progress(line);
}

void BatchRun::poll()
{
    // An interrupt asks the batch to stop at its next check.
    if (!m_interrupted && m_session.interrupted()) {
        m_interrupted = true;
        m_link.AbortRequested = true;
    }
}

QString GroupKey(BatchGroup group)
{
    switch (group) {
    case BatchGroup::Header: return QStringLiteral("header");
    case BatchGroup::Id: return QStringLiteral("id");
    case BatchGroup::Setpoint: return QStringLiteral("setpoint");
    case BatchGroup::Parameters: return QStringLiteral("params");
    case BatchGroup::Status: return QStringLiteral("status");
    case BatchGroup::DateTime: return QStringLiteral("datetime");
    case BatchGroup::Calibration: return QStringLiteral("calibration");
    case BatchGroup::Jmp: return QStringLiteral("jmp");
    case BatchGroup::Nrm: return QStringLiteral("nrm");
    }
    return {};
}

QJsonObject GroupResults(const QStringList &asked, const std::vector<GroupResult> &groups, const QString &doneWord,
                         const BatchRun *batch)
{
    QJsonObject results;
    for (const QString &name : asked)
        results.insert(name, QStringLiteral("not-run"));
    for (const GroupResult &g : groups) {
        const QString name = GroupKey(g.group);
        if (!results.contains(name))
            continue;
        QString word = QStringLiteral("not-run");
        if (g.outcome == GroupOutcome::Done)
            word = batch && batch->skippedIn(g.group) ? QStringLiteral("failed") : doneWord;
        else if (g.outcome == GroupOutcome::Failed)
            word = QStringLiteral("failed");
        results.insert(name, word);
    }
    return results;
}

std::optional<QString> MissingFeature(const QStringList &groups, const ModelFeatures &has)
{
    const struct {
        const char *group;
        bool present;
        const char *what;
    } needs[] = {{"id", has.idMemory, "ID memory"},
                 {"setpoint", has.setpointMemory, "setpoint memory"},
                 {"datetime", has.clock, "clock to set"}};
    for (const auto &need : needs)
        if (!need.present && groups.contains(QLatin1String(need.group)))
            return QString::fromLatin1(need.what);
    return std::nullopt;
}

QStringList SplitGroups(const QString &list, const QStringList &known, QString *unknown)
{
    QStringList out;
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString name = part.trimmed().toLower();
        if (name.isEmpty())
            continue;
        if (!known.contains(name)) {
            *unknown = name;
            return {};
        }
        if (!out.contains(name))
            out << name;
    }
    return out;
}

const CommandOption &GroupsOption()
{
    static const CommandOption option{QStringLiteral("groups"), QStringLiteral("LIST"),
                                      QStringLiteral("the groups to read or send")};
    return option;
}

const CommandOption &PrinterOption()
{
    static const CommandOption option{QStringLiteral("printer"), QStringLiteral("ticket|epl"),
                                      QStringLiteral("ticket lines or the EPL text (default ticket)")};
    return option;
}

std::optional<PrinterKind> PrinterChoice(const CommandArgs &args)
{
    const QString printer = args.isSet(QStringLiteral("printer")) ? args.value(QStringLiteral("printer"))
                                                                  : QStringLiteral("ticket");
    if (printer == QLatin1String("ticket"))
        return PrinterKind::Ticket;
    if (printer == QLatin1String("epl"))
        return PrinterKind::Epl;
    return std::nullopt;
}

int SelectiveSendFailureExit(const SelectiveSendResult &result, bool interrupted)
{
    if (interrupted || result.outcome == SelectiveOutcome::Declined)
        return ExitCancelled;
    if (result.outcome == SelectiveOutcome::Unfit
        || (result.outcome == SelectiveOutcome::RestorePointFailed && !result.restorePointUnread))
        return ExitFile;
    return ExitNoAnswer;
}

}  // namespace vx::cli
