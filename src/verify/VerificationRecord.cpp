#include "verify/VerificationRecord.h"

#include "verify/VerifyTexts.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace vx {
namespace {

const QString kUnknown = QStringLiteral("—");

QString orUnknown(const QString &text) { return text.trimmed().isEmpty() ? kUnknown : text.trimmed(); }

int decimalsOf(double e)
{
    int decimals = 0;
    for (double step = e; decimals < 6 && std::abs(step - std::round(step)) > 1e-9; step *= 10)
        ++decimals;
    return decimals;
}

QString signedKg(double kg, double e)
{
    const QString text = VerifyKgText(kg, e);
    return kg > 0 && text.contains(QRegularExpression(QStringLiteral("[1-9]"))) ? QStringLiteral("+") + text : text;
}

QString testText(const VerifyStep &step, Language l)
{
    QString text;
    switch (step.kind) {
    case VerifyStepKind::Zero: return VerifyTextOf(VerifyText::KindZero, l);
    case VerifyStepKind::Increasing: return VerifyTextOf(VerifyText::KindIncreasing, l);
    case VerifyStepKind::Decreasing: return VerifyTextOf(VerifyText::KindDecreasing, l);
    case VerifyStepKind::Repeatability:
        return VerifyTextOf(VerifyText::KindRepeatability, l) + QStringLiteral(" %1").arg(step.series);
    case VerifyStepKind::Eccentricity: break;
    }
    return VerifyTextOf(VerifyText::KindEccentricity, l) + QStringLiteral(", ")
           + (step.position == CentrePosition ? VerifyTextOf(VerifyText::Centre, l)
                                              : VerifyTextOf(VerifyText::Segment, l).arg(step.position));
}

QString rangeText(const ScaleRange &r)
{
    QString text = QStringLiteral("Max %1 kg, e = %2 kg").arg(VerifyKgText(r.max1, 1), VerifyKgText(r.e1, r.e1));
    if (r.dual())
        text += QStringLiteral(" / Max %1 kg, e = %2 kg").arg(VerifyKgText(*r.max2, 1), VerifyKgText(*r.e2, *r.e2));
    return text;
}

VerificationRecordText::Section sectionOf(const QString &heading, const VerificationResult &result, Language l)
{
    VerificationRecordText::Section section;
    section.heading = heading;
    for (const VerifyStepResult &s : result.steps) {
        const double e = s.step.e;
        QString verdict = VerifyTextOf(s.pass ? VerifyText::Pass : VerifyText::Fail, l);
        if (!s.stable)
            verdict += QStringLiteral(" (%1)").arg(
                VerifyTextOf(VerifyText::NotStable, l).arg(QLocale::c().toString(result.stableTimeout)));
        section.rows.push_back({testText(s.step, l), VerifyKgText(s.step.reference, e),
                                s.indication ? VerifyKgText(*s.indication, e) : kUnknown,
                                s.indication ? signedKg(s.error, e) : kUnknown,
                                QStringLiteral("±") + VerifyKgText(s.mpe, s.mpe), VerifyKgText(e, e), verdict});
    }
    for (const VerifySeries &s : result.series)
        section.notes << VerifyTextOf(VerifyText::Series, l)
                             .arg(s.series)
                             .arg(VerifyKgText(s.spread, result.range.e1 / 10), VerifyKgText(s.mpe, result.range.e1 / 10))
                             + QStringLiteral(": ") + VerifyTextOf(s.pass ? VerifyText::Pass : VerifyText::Fail, l);
    if (result.end == VerificationEnd::Cancelled)
        section.notes << VerifyTextOf(VerifyText::Incomplete, l);
    else if (result.end == VerificationEnd::NoAnswer)
        section.notes << VerifyTextOf(VerifyText::NoAnswerEnd, l);
    section.notes << VerifyTextOf(result.withoutChangeover() ? VerifyText::HalfDivision : VerifyText::ChangeoverUsed, l);
    return section;
}

}  // namespace

QString VerifyKgText(double kg, double e)
{
    return QLocale::c().toString(kg, 'f', decimalsOf(e)).replace(QLatin1Char('.'), QLatin1Char(','));
}

const VerificationResult *VerificationRecord::last() const
{
    if (asLeft)
        return &*asLeft;
    if (single)
        return &*single;
    return asFound ? &*asFound : nullptr;
}

bool VerificationRecord::pass() const
{
    const VerificationResult *result = last();
    return result && result->pass();
}

VerificationRecordText RecordText(const VerificationRecord &r, const TextService &texts)
{
    const Language l = texts.language();
    VerificationRecordText page;
    page.title = VerifyTextOf(VerifyText::RecordTitle, l);
    const VerificationResult *last = r.last();
    QString identification = orUnknown(r.modelText);
    if (!r.secondText.trimmed().isEmpty())
        identification += QStringLiteral(" / ") + r.secondText.trimmed();
    QString accuracy = last && last->accuracy == AccuracyClass::IIII ? QStringLiteral("IIII") : QStringLiteral("III");
    if (last && last->inService)
        accuracy += QStringLiteral(", ") + VerifyTextOf(VerifyText::InService, l);
    page.facts = {
        {VerifyTextOf(VerifyText::Date, l),
         last && last->when.isValid() ? last->when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : kUnknown},
        {VerifyTextOf(VerifyText::Model, l), orUnknown(r.model)},
        {VerifyTextOf(VerifyText::Version, l), orUnknown(r.versionText)},
        {VerifyTextOf(VerifyText::Identification, l), identification},
        {VerifyTextOf(VerifyText::Range, l), last ? rangeText(last->range) : kUnknown},
        {VerifyTextOf(VerifyText::AccuracyClassCaption, l), accuracy},
        {VerifyTextOf(VerifyText::Customer, l), orUnknown(r.customer)},
        {VerifyTextOf(VerifyText::Site, l), orUnknown(r.site)},
        {VerifyTextOf(VerifyText::Technician, l), orUnknown(r.technician)},
        {VerifyTextOf(VerifyText::TestWeights, l), orUnknown(r.weights)},
    };
    page.columns = {VerifyTextOf(VerifyText::ColumnTest, l),       VerifyTextOf(VerifyText::ColumnReference, l),
                    VerifyTextOf(VerifyText::ColumnIndication, l), VerifyTextOf(VerifyText::ColumnError, l),
                    VerifyTextOf(VerifyText::ColumnMpe, l),        VerifyTextOf(VerifyText::ColumnE, l),
                    VerifyTextOf(VerifyText::ColumnResult, l)};
    if (r.asFound)
        page.sections.push_back(sectionOf(VerifyTextOf(VerifyText::AsFound, l), *r.asFound, l));
    if (r.single)
        page.sections.push_back(sectionOf(VerifyTextOf(VerifyText::PromptTitle, l), *r.single, l));
    if (r.asLeft)
        page.sections.push_back(sectionOf(VerifyTextOf(VerifyText::AsLeft, l), *r.asLeft, l));
    page.verdictLabel = VerifyTextOf(VerifyText::Verdict, l);
    if (!last || !last->complete())
        page.verdict = VerifyTextOf(last && last->end == VerificationEnd::NoAnswer ? VerifyText::NoAnswerEnd
                                                                                  : VerifyText::Incomplete, l);
    else
        page.verdict = VerifyTextOf(last->pass() ? VerifyText::VerdictPass : VerifyText::VerdictFail, l);
    page.noteLabel = VerifyTextOf(VerifyText::Note, l);
    page.note = r.note.trimmed().isEmpty() ? kUnknown : r.note.trimmed();
    page.signatures = {VerifyTextOf(VerifyText::SignatureTechnician, l), VerifyTextOf(VerifyText::SignatureCustomer, l)};
    return page;
}

QString VerificationFileName(const QDateTime &when)
{
    return QStringLiteral("verification-%1.pdf").arg(when.toString(QStringLiteral("yyyyMMdd-HHmm")));
}

}  // namespace vx
