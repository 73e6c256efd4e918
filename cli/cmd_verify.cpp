// vextora-cli verify: the verification test of the scale from the indicator's live
// weight (zero, weighing test, repeatability, eccentricity), judged against the
// permissible errors of the class; each step's load is confirmed on the terminal, or
// by one line of standard input; optionally the test record as a PDF. The service
// history records the verification with its verdict.

#include "cli/Cli.h"
#include "cli/HistoryNote.h"
#include "cli/StandardInput.h"

#include "calibration/RangeLists.h"
#include "link/Connect.h"
#include "link/ForwardingOperator.h"
#include "files/SameIndicator.h"
#include "link/LineLease.h"
#include "link/Model.h"
#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "link/WeightFormat.h"
#include "params/Connection.h"
#include "report/ReportPdf.h"
#include "service/HistoryRecords.h"
#include "shell/TextService.h"
#include "verify/VerificationRecord.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vx::cli {
namespace {

const QString kClass = QStringLiteral("class");
const QString kInService = QStringLiteral("in-service");
const QString kLoads = QStringLiteral("loads");
const QString kRepeatability = QStringLiteral("repeatability");
const QString kEccentricity = QStringLiteral("eccentricity");
const QString kTimeout = QStringLiteral("stable-timeout");
const QString kReport = QStringLiteral("report");
const QString kCustomer = QStringLiteral("customer");
const QString kSite = QStringLiteral("site");
const QString kTechnician = QStringLiteral("technician");
const QString kWeights = QStringLiteral("weights");

constexpr double kLongestTimeout = 600;  // seconds
constexpr int kLongestText = 200;        // characters of a record field

// The confirmations: on a terminal the console's question; otherwise one line of
// standard input per step, its end a cancel. Each prompt goes to standard error.
class VerifyOperator : public ForwardingOperator {
public:
    explicit VerifyOperator(Session &s) : ForwardingOperator(s.op()), m_s(s) {}
    Choice okCancel(const QString &text, Icon icon, const QString &title) override
    {
        if (AsksOnTerminal())
            return ForwardingOperator::okCancel(text, icon, title);
        m_s.error(text);
        return ReadStandardInputLine(text) ? Choice::Ok : Choice::Cancel;
    }
    void showStep(const QString &, Tone) override {}

private:
    Session &m_s;
};

QJsonValue kgJson(const std::optional<double> &kg) { return kg ? QJsonValue(*kg) : QJsonValue(QJsonValue::Null); }

QJsonObject resultJson(const VerificationResult &r)
{
    QJsonArray steps;
    for (const VerifyStepResult &s : r.steps) {
        steps.append(QJsonObject{{QStringLiteral("kind"), VerifyStepKindKey(s.step.kind)},
                                 {QStringLiteral("reference"), s.step.reference},
                                 {QStringLiteral("indication"), kgJson(s.indication)},
                                 {QStringLiteral("error"), s.indication ? QJsonValue(s.error) : QJsonValue()},
                                 {QStringLiteral("mpe"), s.mpe},
                                 {QStringLiteral("e"), s.step.e},
                                 {QStringLiteral("pass"), s.pass}});
    }
    return {{QStringLiteral("class"), r.accuracy == AccuracyClass::IIII ? QStringLiteral("IIII") : QStringLiteral("III")},
            {QStringLiteral("inService"), r.inService},
            {QStringLiteral("steps"), steps},
            {QStringLiteral("pass"), r.pass()},
            {QStringLiteral("complete"), r.complete()}};
}

void printResult(Session &s, const VerificationResult &r)
{
    const TextService &texts = s.textService();
    VerificationRecord record;
    record.single = r;
    const VerificationRecordText page = RecordText(record, texts);
    const VerificationRecordText::Section &section = page.sections.front();
    auto line = [&s](const std::array<QString, 7> &c) {
        QString text = QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                           .arg(c[0], -24).arg(c[1], 10).arg(c[2], 10).arg(c[3], 8).arg(c[4], 8).arg(c[5], 6).arg(c[6]);
        s.print(text.trimmed());
    };
    line(page.columns);
    for (const auto &row : section.rows)
        line(row);
    for (const QString &note : section.notes)
        s.print(note);
    s.print(page.verdictLabel + QStringLiteral(": ") + page.verdict);
}

int exitOf(const VerificationResult &r)
{
    if (r.end == VerificationEnd::NoAnswer)
        return ExitNoAnswer;
    if (r.anyFailed())
        return ExitCalibration;
    if (r.end == VerificationEnd::Cancelled)
        return ExitCancelled;
    return ExitOk;
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("verify takes no argument"));
    if (const std::optional<QString> badNote = CheckNote(args))
        return s.usageError(*badNote);
    VerificationRequest request;
    if (args.isSet(kClass)) {
        const QString c = args.value(kClass).trimmed().toUpper();
        if (c != QLatin1String("III") && c != QLatin1String("IIII"))
            return s.usageError(QStringLiteral("--class must be III or IIII"));
        request.accuracy = c == QLatin1String("IIII") ? AccuracyClass::IIII : AccuracyClass::III;
    }
    request.inService = args.isSet(kInService);
    VerificationPlan named;
    if (args.isSet(kLoads)) {
        const auto loads = ParseLoadList(args.value(kLoads));
        if (!loads)
            return s.usageError(QStringLiteral("--loads takes loads above 0 in kg joined by commas, e.g. 2,50,150"));
        named.loads = *loads;
        std::sort(named.loads.begin(), named.loads.end());
    }
    if (args.isSet(kRepeatability)) {
        const auto loads = ParseLoadList(args.value(kRepeatability));
        if (!loads)
            return s.usageError(QStringLiteral("--repeatability takes loads above 0 in kg joined by commas"));
        named.repeatability = *loads;
    }
    if (args.isSet(kEccentricity)) {
        named.eccentricity = ParseLoad(args.value(kEccentricity));
        if (!named.eccentricity)
            return s.usageError(QStringLiteral("--eccentricity takes a load above 0 in kg"));
    }
    if (args.isSet(kTimeout)) {
        bool ok = false;
        request.stableTimeout = QLocale::c().toDouble(args.value(kTimeout).trimmed(), &ok);
        if (!ok || !(request.stableTimeout > 0) || request.stableTimeout > kLongestTimeout)
            return s.usageError(QStringLiteral("--stable-timeout takes seconds above 0, at most 600"));
    }
    for (const QString &field : {kCustomer, kSite, kTechnician, kWeights})
        if (args.value(field).size() > kLongestText)
            return s.usageError(QStringLiteral("--%1 is longer than %2 characters").arg(field).arg(kLongestText));
    std::optional<QString> reportPath;
    if (args.isSet(kReport)) {
        reportPath = args.value(kReport);
        // A record that cannot be written is known before the first load goes on.
        QString why;
        if (reportPath->trimmed().isEmpty() || !CheckWritableTarget(*reportPath, &why)) {
            s.error(QStringLiteral("cannot write the record %1: %2").arg(*reportPath, why));
            return ExitFile;
        }
    }

    Link &link = s.link();
    LineLease lease(link, {.attempts = PortOpenAttempts});
    if (!lease)
        return ExitPort;
    Connection connection;
    if (const int rc = s.connect(connection, LearnRange::Yes); rc != ExitOk)
        return rc;
    const std::optional<ScaleRange> range =
        connection.range ? RangeOfCodes(connection.range->codes) : std::optional<ScaleRange>();
    if (!range) {
        s.error(s.textService().builtIn(BuiltIn::RangeUnknown));
        return ExitNoAnswer;
    }
    request.range = *range;
    // The weights come in the decimals of the first division, as the trend reads them.
    request.decimals = DivisionDecimals(DivisionValueText(connection.range->codes.division1));
    request.plan = named.empty() ? DefaultPlan(*range, request.accuracy) : named;
    for (double load : request.plan.loads)
        if (load > range->max() + range->e1 / 2)
            return s.usageError(QStringLiteral("--loads %1 is above Max, %2 kg").arg(load).arg(range->max()));
    for (double load : request.plan.repeatability)
        if (load > range->max() + range->e1 / 2)
            return s.usageError(QStringLiteral("--repeatability %1 is above Max, %2 kg").arg(load).arg(range->max()));
    if (request.plan.eccentricity && *request.plan.eccentricity > range->max())
        return s.usageError(QStringLiteral("--eccentricity %1 is above Max, %2 kg")
                                .arg(*request.plan.eccentricity)
                                .arg(range->max()));

    // The indicator's identification texts, for the record and the history (one read).
    const std::optional<IndicatorTexts> indicatorTexts = ReadIndicatorTexts(link, s.textService().lines());
    const IdentificationTexts identification = indicatorTexts ? indicatorTexts->identification : IdentificationTexts{};

    VerifyOperator op(s);
    const VerificationResult result = RunVerification(link, op, s.textService(), request);

    int rc = exitOf(result);
    QString recordWritten;
    if (reportPath) {
        VerificationRecord record;
        record.model = ModelName(connection.version.model);
        record.versionText = connection.version.versionText.trimmed();
        record.modelText = identification.model;
        record.secondText = identification.second;
        record.customer = args.value(kCustomer);
        record.site = args.value(kSite);
        record.technician = args.value(kTechnician);
        record.weights = args.value(kWeights);
        record.note = args.value(NoteOption().name);
        record.single = result;
        QString why;
        if (report::WriteVerificationPdf(RecordText(record, s.textService()), *reportPath, &why)) {
            recordWritten = QFileInfo(*reportPath).absoluteFilePath();
        } else {
            s.error(QStringLiteral("cannot write the record %1: %2").arg(*reportPath, why));
            if (rc == ExitOk)
                rc = ExitFile;
        }
    }
    lease.release();
    HistoryRecord history = VerificationHistoryRecord({.model = connection.version.modelText,
                                                       .identification = identification.model,
                                                       .identification2 = identification.second,
                                                       .version = connection.version.versionText.trimmed()},
                                                      result, HistoryTool::Cli);
    if (!recordWritten.isEmpty())
        history.report = recordWritten;
    const std::optional<QString> historyError = AppendToHistory(s, args, history);
    rc = WithHistory(rc, historyError);
    if (s.json()) {
        QJsonObject o = resultJson(result);
        if (!recordWritten.isEmpty())
            o.insert(QStringLiteral("report"), recordWritten);
        if (historyError)
            o.insert(QStringLiteral("historyError"), *historyError);
        s.printJson(o);
    } else {
        printResult(s, result);
        if (!recordWritten.isEmpty())
            s.print(QStringLiteral("record: %1").arg(recordWritten));
    }
    return rc;
}

const Registration registration{{
    .name = QStringLiteral("verify"),
    .synopsis = QStringLiteral("verify [--class III|IIII] [--in-service] [--loads LIST] [--repeatability LIST] "
                               "[--eccentricity KG]"),
    .help = QStringLiteral(
        "the verification test from the indicator's live weight: zero, weighing test\n"
        "(increasing then decreasing loads), repeatability (three weighings a load),\n"
        "eccentricity (centre and four segments); without --loads, --repeatability or\n"
        "--eccentricity every part runs at its usual loads, naming one runs only those\n"
        "named. Each step's load is confirmed on the terminal or by one line of standard\n"
        "input (its end cancels). Each weight is taken once the indicator reports it\n"
        "stable (--stable-timeout S, default 10: a failed step). --report FILE.pdf writes\n"
        "the test record; exit 4 a step failed, 6 cancelled, 7 record not written"),
    .options = {{kClass, QStringLiteral("III|IIII"), QStringLiteral("Accuracy class (default III).")},
                {kInService, QString(), QStringLiteral("In-service limits: the permissible errors doubled.")},
                {kLoads, QStringLiteral("LIST"), QStringLiteral("Weighing test loads in kg, e.g. 2,50,150,300.")},
                {kRepeatability, QStringLiteral("LIST"), QStringLiteral("Repeatability series loads in kg.")},
                {kEccentricity, QStringLiteral("KG"), QStringLiteral("Eccentricity load in kg.")},
                {kTimeout, QStringLiteral("S"), QStringLiteral("Seconds a step waits for a stable weight (default 10).")},
                {kReport, QStringLiteral("FILE"), QStringLiteral("Write the test record (A4 PDF) to FILE.")},
                {kCustomer, QStringLiteral("TEXT"), QStringLiteral("The customer, for the record.")},
                {kSite, QStringLiteral("TEXT"), QStringLiteral("The site, for the record.")},
                {kTechnician, QStringLiteral("TEXT"), QStringLiteral("The technician, for the record.")},
                {kWeights, QStringLiteral("TEXT"), QStringLiteral("The test weights: set and certificate number.")},
                NoteOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
