// vextora-cli calibrate zero|span|general: the window's calibration procedures
// without the window. The range settings are read first, as entering the
// calibration tab does; a general calibration writes the range given by the
// options (by default what the indicator holds). The unload confirmation and the
// test weight come from --yes and --weight, or from the terminal. The run, its
// report and its history record are the calibration job's (service/CalibrationJob.h),
// the same as the window's; this command gathers the options, answers the job's
// questions and writes the report with --report.

#include "cli/Cli.h"
#include "cli/HistoryNote.h"

#include "calibration/Calibration.h"
#include "calibration/CalibrationReport.h"
#include "calibration/MetrologyProfile.h"
#include "calibration/RangeCheck.h"
#include "link/AppPaths.h"
#include "link/Codec.h"
#include "link/ForwardingOperator.h"
#include "link/LineLease.h"
#include "link/Model.h"
#include "link/Options.h"
#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "service/CalibrationJob.h"
#include "service/HistoryRecords.h"
#include "link/WeightFormat.h"
#include "params/Range.h"
#include "report/ReportPdf.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace vx::cli {
namespace {

const QString kCapacity = QStringLiteral("capacity");
const QString kDivision = QStringLiteral("division");
const QString kCapacity2 = QStringLiteral("capacity2");
const QString kDivision2 = QStringLiteral("division2");
const QString kMode = QStringLiteral("mode");
const QString kMetrological = QStringLiteral("metrological");
const QString kWeight = QStringLiteral("weight");
const QString kYes = QStringLiteral("yes");
const QString kReport = QStringLiteral("report");
const QString kNote = QStringLiteral("note");

// The window's caption for the finish step (the analog start button's idle caption,
// "START"): on a terminal it says nothing, the poll's lines after it do.
constexpr int kReadyCaption = TextLine::Ready;

// Answers the confirmation and the weight entry from the options, and puts each step
// of the run on standard error.
class CalibrateOperator : public ForwardingOperator {
public:
    CalibrateOperator(Operator &inner, std::function<void(const QString &)> say, bool yes,
                      std::optional<QString> weight, QString readyCaption)
        : ForwardingOperator(inner), m_say(std::move(say)), m_yes(yes), m_weight(std::move(weight)),
          m_readyCaption(std::move(readyCaption))
    {
    }

    Choice okCancel(const QString &text, Icon icon, const QString &title) override
    {
        if (!m_yes)
            return ForwardingOperator::okCancel(text, icon, title);
        m_say(oneLine(text) + QStringLiteral(" (--yes)"));
        return Choice::Ok;
    }
    std::optional<QString> input(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        if (!m_weight)
            return ForwardingOperator::input(prompt, title, defaultText);
        // The weight given is typed once; there is no one to type another after a refusal.
        if (m_weightUsed)
            return std::nullopt;
        m_weightUsed = true;
        m_say(oneLine(prompt) + QLatin1Char(' ') + *m_weight + QStringLiteral(" (--weight)"));
        return m_weight;
    }
    void showStep(const QString &text, Tone) override
    {
        if (text != m_readyCaption)
            m_say(text);
    }

private:
    static QString oneLine(QString text)
    {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text.simplified();
    }
    std::function<void(const QString &)> m_say;
    bool m_yes;
    std::optional<QString> m_weight;
    bool m_weightUsed = false;
    QString m_readyCaption;
};

std::optional<double> numberOf(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(CommaToPoint(text).trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The code of a capacity or division value given in kilograms.
std::optional<int> codeOf(const QString &text, int first, int last, QString (*valueText)(int))
{
    const std::optional<double> value = numberOf(text);
    if (!value)
        return std::nullopt;
    for (int code = first; code <= last; ++code)
        if (valueText(code).toDouble() == *value)
            return code;
    return std::nullopt;
}

QString allowed(int first, int last, QString (*valueText)(int))
{
    QStringList values;
    for (int code = first; code <= last; ++code)
        values << valueText(code);
    return values.join(QStringLiteral(", "));
}

QString kindName(CalibrationKind kind)
{
    switch (kind) {
    case CalibrationKind::General: return QStringLiteral("general");
    case CalibrationKind::Zero: return QStringLiteral("zero");
    case CalibrationKind::Span: break;
    }
    return QStringLiteral("span");
}

// The outcome's word: the same stable key the service history records.
QString endName(CalibrationEnd end) { return CalibrationEndKey(end); }

int exitOf(const CalibrationResult &r)
{
    switch (r.verdict()) {
    case CalibrationVerdict::Finished: return ExitOk;
    case CalibrationVerdict::Problem: return ExitCalibration;
    case CalibrationVerdict::Cancelled: return ExitCancelled;
    case CalibrationVerdict::NoAnswer: return ExitNoAnswer;
    case CalibrationVerdict::PortFailed: break;
    }
    return ExitPort;
}

// The options of the range, checked against the lists before anything is sent.
struct RangeOptions {
    std::optional<int> mode, capacity1, division1, capacity2, division2, metrology;
    bool any() const { return mode || capacity1 || division1 || capacity2 || division2 || metrology; }
};

std::optional<QString> parseRange(const CommandArgs &args, RangeOptions &out)
{
    if (args.isSet(kMode)) {
        const QString m = args.value(kMode).trimmed().toLower();
        if (m != QLatin1String("single") && m != QLatin1String("dual"))
            return QStringLiteral("--mode must be single or dual");
        out.mode = m == QLatin1String("single") ? 0 : 1;
    }
    if (args.isSet(kMetrological)) {
        const std::optional<bool> on = ParseOnOff(args.value(kMetrological));
        if (!on)
            return QStringLiteral("--metrological must be on or off");
        out.metrology = *on ? 1 : 0;
    }
    struct Field {
        const QString &name;
        std::optional<int> &code;
        bool capacity;
    };
    for (const Field &f : {Field{kCapacity, out.capacity1, true}, Field{kDivision, out.division1, false},
                           Field{kCapacity2, out.capacity2, true}, Field{kDivision2, out.division2, false}}) {
        if (!args.isSet(f.name))
            continue;
        const QString value = args.value(f.name);
        f.code = f.capacity ? codeOf(value, 0, CapacityCodeCount - 1, &CapacityValueText)
                            : codeOf(value, FirstDivisionCode, LastDivisionCode, &DivisionValueText);
        if (!f.code)
            return QStringLiteral("--%1 %2 is not one of the %3 (kg): %4")
                .arg(f.name, value, f.capacity ? QStringLiteral("capacities") : QStringLiteral("divisions"),
                     f.capacity ? allowed(0, CapacityCodeCount - 1, &CapacityValueText)
                                : allowed(FirstDivisionCode, LastDivisionCode, &DivisionValueText));
    }
    if (out.capacity1 && !out.division1)
        return QStringLiteral("--capacity needs --division (a division the metrology profile offers for it)");
    if (out.capacity2 && !out.division2)
        return QStringLiteral("--capacity2 needs --division2 (a division the metrology profile offers for it)");
    if (out.mode == 0 && (out.capacity2 || out.division2))
        return QStringLiteral("--capacity2 and --division2 go with --mode dual");
    return std::nullopt;
}

// A division the active profile does not offer for its capacity: the usage error.
std::optional<QString> checkProfile(const RangeCodes &c)
{
    const std::optional<ProfileMismatch> mismatch =
        CheckRangeAgainstProfile(c, LoadMetrologyProfiles(ProgramFolder()));
    if (!mismatch)
        return std::nullopt;
    QStringList values;
    for (int code : mismatch->offered)
        values << DivisionValueText(code);
    return QStringLiteral("%1 %2 is not offered for %3 kg by %4 (%5 range, %6); offered: %7")
        .arg(mismatch->range == 1 ? QStringLiteral("--division") : QStringLiteral("--division2"),
             DivisionValueText(mismatch->division), CapacityValueText(mismatch->capacity),
             ProfileFileName(mismatch->profile), c.mode == 0 ? QStringLiteral("single") : QStringLiteral("dual"),
             c.metrology == 1 ? QStringLiteral("metrological") : QStringLiteral("not metrological"),
             values.isEmpty() ? QStringLiteral("none") : values.join(QStringLiteral(", ")));
}

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("calibrate takes one procedure: zero, span or general"));
    const QString name = args.positional.first().toLower();
    CalibrationKind kind;
    if (name == QLatin1String("zero"))
        kind = CalibrationKind::Zero;
    else if (name == QLatin1String("span"))
        kind = CalibrationKind::Span;
    else if (name == QLatin1String("general"))
        kind = CalibrationKind::General;
    else
        return s.usageError(QStringLiteral("unknown procedure \"%1\": zero, span or general").arg(name));

    if (const std::optional<QString> badNote = CheckNote(args))
        return s.usageError(*badNote);
    RangeOptions range;
    if (const auto error = parseRange(args, range))
        return s.usageError(*error);
    if (range.any() && kind != CalibrationKind::General)
        return s.usageError(QStringLiteral("the range options go with calibrate general"));
    std::optional<QString> weight;
    if (args.isSet(kWeight)) {
        if (kind == CalibrationKind::Zero)
            return s.usageError(QStringLiteral("--weight goes with calibrate span or general"));
        weight = args.value(kWeight).trimmed();
        // Its shape and sign now; the capacity it must not exceed once the range is known.
        const WeightCheck check = CheckTestWeightShape(*weight);
        if (check == WeightCheck::NotANumber)
            return s.usageError(QStringLiteral("--weight must be a number of kg, e.g. 150 or 12.5"));
        if (check == WeightCheck::Zero)
            return s.usageError(QStringLiteral("--weight must be above 0"));
    }
    std::optional<QString> reportPath;
    if (args.isSet(kReport)) {
        reportPath = args.value(kReport);
        // A report that cannot be written is known before anything is sent.
        QString why;
        if (reportPath->trimmed().isEmpty() || !CheckWritableTarget(*reportPath, &why)) {
            s.error(QStringLiteral("cannot write the report %1: %2").arg(*reportPath, why));
            return ExitFile;
        }
    }

    // The first range given on the command line is checked before connecting.
    if (weight && range.capacity1) {
        const TestWeight w = CheckTestWeight(*weight, WeighingRange{*range.capacity1, *range.division1});
        if (w.check == WeightCheck::AboveCapacity)
            return s.usageError(QStringLiteral("--weight %1 is above the 1st capacity, %2 kg")
                                    .arg(*weight, CapacityValueText(*range.capacity1)));
    }

    // One operation from the connect to the calibration's last step: the port stays open.
    const LanguageTexts &texts = s.texts();
    Link &link = s.link();
    LineLease lease(link, {.attempts = PortOpenAttempts});
    if (!lease)
        return ExitPort;
    Connection connection;
    if (const int rc = s.connect(connection); rc != ExitOk)
        return rc;

    // What entering the calibration tab reads.
    const RangeReading read = KalibrasyonHost(link, texts);
    if (read.refused)
        return ExitNoAnswer;
    CalibrationRequest request;
    request.kind = kind;
    request.indicator = read.range;
    request.calibrationPermitted = read.permitted();
    RangeChoice &choice = request.choice;
    if (read.range)
        choice = RangeChoice::of(read.range->codes);
    auto take = [](std::optional<int> &field, const std::optional<int> &given) {
        if (given)
            field = given;
    };
    take(choice.mode, range.mode);
    take(choice.metrology, range.metrology);
    take(choice.capacity1, range.capacity1);
    take(choice.division1, range.division1);
    take(choice.capacity2, range.capacity2);
    take(choice.division2, range.division2);
    if (range.any() && read.range) {
        const RangeCodes codes = *choice.codes();
        if (codes.mode == 0 && (range.capacity2 || range.division2))
            return s.usageError(QStringLiteral("--capacity2 and --division2 need dual range: the indicator holds a "
                                               "single range (add --mode dual)"));
        if (const auto error = checkProfile(codes))
            return s.usageError(*error);
    }

    // The weight against the range it is weighed in: the one chosen for a general
    // calibration, the one the indicator holds for a span calibration.
    if (const std::optional<WeighingRange> weighedIn = TestWeightRange(request); weight && weighedIn) {
        const TestWeight w = CheckTestWeight(*weight, *weighedIn);
        if (w.check == WeightCheck::AboveCapacity)
            return s.usageError(QStringLiteral("--weight %1 is above the 1st capacity, %2 kg")
                                    .arg(*weight, weighedIn->capacityText()));
        if (w.check == WeightCheck::Zero)
            return s.usageError(QStringLiteral("--weight %1 is less than one unit of the division %2 kg")
                                    .arg(*weight, weighedIn->divisionText()));
    }

    CalibrateOperator op(s.op(), [&s](const QString &line) { s.error(line); }, args.isSet(kYes), weight,
                         texts.text(kReadyCaption));
    const CalibrationJobResult done =
        RunCalibrationJob(link, op, s.textService(), {.request = request,
                                                      .model = connection.version.modelText,
                                                      .report = reportPath.has_value(),
                                                      .note = args.value(kNote),
                                                      .tool = HistoryTool::Cli});
    const CalibrationResult &result = done.run;
    lease.release();

    int rc = exitOf(result);
    QString reportWritten;
    if (reportPath && !done.report) {
        s.error(QStringLiteral("no report: %1").arg(result.verdict() == CalibrationVerdict::Cancelled
                                                        ? QStringLiteral("the calibration was cancelled")
                                                        : QStringLiteral("no step reached the indicator")));
    } else if (reportPath) {
        QString why;
        if (report::WriteReportPdf(ReportText(*done.report, s.textService()), *reportPath, &why)) {
            reportWritten = QFileInfo(*reportPath).absoluteFilePath();  // for the service history
        } else {
            s.error(QStringLiteral("cannot write the report %1: %2").arg(*reportPath, why));
            if (rc == ExitOk)
                rc = ExitFile;
        }
    }
    // The service history: the job's one record of this run, naming the report written.
    HistoryRecord record = done.record;
    if (!reportWritten.isEmpty())
        record.report = reportWritten;
    const std::optional<QString> historyError = AppendToHistory(s, args, record);
    rc = WithHistory(rc, historyError);
    if (s.json()) {
        QJsonObject o{{QStringLiteral("procedure"), kindName(kind)},
                      {QStringLiteral("outcome"), endName(result.end)},
                      {QStringLiteral("pollGaveUp"), result.pollGaveUp},
                      {QStringLiteral("stepRefused"), result.stepRefused},
                      {QStringLiteral("finished"), result.finishStepRan},
                      {QStringLiteral("exitStatus"), rc}};
        if (!reportWritten.isEmpty())
            o.insert(QStringLiteral("report"), reportWritten);
        if (result.written) {
            const RangeCodes &c = result.written->codes;
            o.insert(QStringLiteral("range"),
                     QJsonObject{{QStringLiteral("mode"), c.mode == 0 ? QStringLiteral("single") : QStringLiteral("dual")},
                                 {QStringLiteral("capacity"), CapacityValueText(c.capacity1).toDouble()},
                                 {QStringLiteral("division"), DivisionValueText(c.division1).toDouble()},
                                 {QStringLiteral("capacity2"), CapacityValueText(c.capacity2).toDouble()},
                                 {QStringLiteral("division2"), DivisionValueText(c.division2).toDouble()},
                                 {QStringLiteral("metrological"), c.metrology == 1}});
        }
        if (historyError)
            o.insert(QStringLiteral("historyError"), *historyError);
        s.printJson(o);
    } else {
        QString line = QStringLiteral("%1 calibration: %2").arg(kindName(kind), endName(result.end));
        if (result.pollGaveUp)
            line += QStringLiteral(", no valid status from a step");
        if (result.stepRefused)
            line += QStringLiteral(", a step was refused");
        s.print(line);
        if (!reportWritten.isEmpty())
            s.print(QStringLiteral("report: %1").arg(reportWritten));
    }
    return rc;
}

const Registration registration{{
    .name = QStringLiteral("calibrate"),
    .synopsis = QStringLiteral("calibrate zero|span|general"),
    .help = QStringLiteral(
        "run a weighing calibration as the calibration tab does, after reading the\n"
        "range settings; steps and messages go to standard error. --yes confirms the\n"
        "unloaded platform, --weight KG is the test weight; general also takes\n"
        "--mode, --capacity, --division, --capacity2, --division2, --metrological\n"
        "(default: what the indicator holds). --report FILE.pdf writes a one-page\n"
        "report (range and display read before and after, each step's code,\n"
        "--note TEXT) unless the run was cancelled or sent no step; exit 4\n"
        "calibration message, 6 cancelled, 7 report not written"),
    .options = {{kYes, QString(), QStringLiteral("Confirm the unloaded platform without asking.")},
                {kWeight, QStringLiteral("KG"), QStringLiteral("The test weight on the platform, in kg.")},
                {kMode, QStringLiteral("single|dual"), QStringLiteral("Operating mode written by a general calibration.")},
                {kCapacity, QStringLiteral("KG"), QStringLiteral("1st capacity written by a general calibration.")},
                {kDivision, QStringLiteral("KG"), QStringLiteral("1st division written by a general calibration.")},
                {kCapacity2, QStringLiteral("KG"), QStringLiteral("2nd capacity (dual range).")},
                {kDivision2, QStringLiteral("KG"), QStringLiteral("2nd division (dual range).")},
                {kMetrological, QStringLiteral("on|off"), QStringLiteral("Legal-trade (metrological) setting.")},
                {kReport, QStringLiteral("FILE"), QStringLiteral("Write a calibration report (one-page A4 PDF) to FILE.")},
                NoteOption()},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
