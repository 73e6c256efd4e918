#pragma once
// What `read` and `send` share: a link of their own whose operator shows the batch's
// progress on standard error (on a terminal), turns an interrupt (Ctrl+C) into
// AbortRequested, and answers the transaction's Abort/Retry/Ignore question itself,
// since no one is there to answer it; and the connect both do first.

#include "cli/Cli.h"
#include "files/Batch.h"
#include "files/SelectiveSend.h"
#include "link/Features.h"
#include "link/ForwardingOperator.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "memory/TicketLayout.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <memory>
#include <optional>

namespace vx::cli {

class BatchRun : public ForwardingOperator {
public:
    enum class OnFailure { Abort, Ignore };
    BatchRun(Session &session, OnFailure onFailure = OnFailure::Abort);
    ~BatchRun() override;

    Link &link() { return m_link; }
    int skippedWrites() const { return m_skipped; }
    // The send's groups as they begin: a write skipped with --on-failure ignore belongs
    // to the group it was skipped in, which then counts as failed.
    void groupStarted(BatchGroup group) { m_group = group; }
    bool skippedIn(BatchGroup group) const { return m_skippedGroups.contains(int(group)); }
    bool interrupted() const { return m_interrupted; }

    // Connects as `identify` does and learns the range (ConnectAndLearnRange); ExitOk,
    // or the exit status of the failed connect. The weights' format is in weight().
    int connect(VersionResult &version);
    const WeightFormat &weight() const { return m_weight; }
    // The batch itself takes the line on link() (LineLease); the port is never left open.
    // The progress line ended.
    void finish();

    void message(const QString &text, Icon icon, const QString &title) override;
    Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title) override;
    void setProgress(ProgressId bar, int value, int maximum) override;
    void showStep(const QString &text, Tone tone) override;

private:
    void draw();
    void poll();

    Session &m_session;
    OnFailure m_onFailure;
    CommsLog m_log;
    Link m_link;
    WeightFormat m_weight;
    QString m_step;
    int m_value = 0;
    int m_maximum = 0;
    int m_skipped = 0;
    std::optional<BatchGroup> m_group;
    QList<int> m_skippedGroups;
    bool m_interrupted = false;
};

// A group's name on the command line: "header", "id", "setpoint", "params", "datetime", ...
QString GroupKey(BatchGroup group);
// What --json ends with for read and send: every group asked for (names as GroupKey
// gives them) mapped to doneWord ("read" or "sent"), "failed" or "not-run". A group
// the batch never reached (or a batch that never started) is "not-run".
QJsonObject GroupResults(const QStringList &asked, const std::vector<GroupResult> &groups, const QString &doneWord,
                         const BatchRun *batch = nullptr);

// What the model lacks for the groups asked for ("ID memory", "setpoint memory",
// "clock to set" for id, setpoint and datetime, in that order); nothing when it has
// what every group needs.
std::optional<QString> MissingFeature(const QStringList &groups, const ModelFeatures &has);

// "a,b,c" into its names; an unknown name is returned in `unknown`.
QStringList SplitGroups(const QString &list, const QStringList &known, QString *unknown);

// The options read and send share.
const CommandOption &GroupsOption();
const CommandOption &PrinterOption();
// --printer as given (default ticket); empty when it names neither printer.
std::optional<PrinterKind> PrinterChoice(const CommandArgs &args);

// The exit status of a selective send that did not go through whole: 6 cancelled or
// declined, 7 a value that cannot go or a restore point that could not be saved, 1
// otherwise (the indicator did not answer or refused).
int SelectiveSendFailureExit(const SelectiveSendResult &result, bool interrupted);

}  // namespace vx::cli
