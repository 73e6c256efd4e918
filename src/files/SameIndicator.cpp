#include "files/SameIndicator.h"

#include "params/Catalogue.h"
#include "files/Batch.h"
#include "files/ConfigurationRecord.h"
#include "files/WorkingSet.h"
#include "link/Cp1254.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "params/BlockCodec.h"
#include "shell/TextService.h"

namespace vx {
namespace {

constexpr int kTextBytes = 10;  // each identification text
constexpr double kWait = 0.05;  // as the send panel's other short reads
constexpr int kModelZR1Line = 366;  // the language's names of the models
constexpr int kModelZR2Line = 367;

// A text as the comparison sees it: the blanks and NULs a 25-byte field pads it with gone.
QString withoutPadding(QString text)
{
    while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back() == QChar(0)))
        text.chop(1);
    return text;
}

QString rowText(const ConfigurationRecord &record, int row)
{
    ConfigurationRecord copy = record;  // SlotOf hands out writable places
    for (const record::Field &field : record::Fields()) {
        if (field.row != row || field.type != record::Type::Text)
            continue;
        const record::Slot slot = record::SlotOf(copy, field, 0);
        if (const auto *bytes = std::get_if<record::BlockBytes>(&slot))
            return withoutPadding(cp1254::decode(bytes->block->mid(bytes->offset, field.width)));
    }
    return {};
}

QString shown(const QString &text, const TextService &texts)
{
    return text.isEmpty() ? texts.builtIn(BuiltIn::IdentificationEmpty) : QStringLiteral("\"%1\"").arg(text);
}

}  // namespace

std::optional<IdentificationTexts> ReadIndicatorIdentification(Link &link, const LanguageTexts &texts)
{
    const std::optional<IndicatorTexts> read = ReadIndicatorTexts(link, texts);
    return read ? std::optional<IdentificationTexts>(read->identification) : std::nullopt;
}

std::optional<IndicatorTexts> ReadIndicatorTexts(Link &link, const LanguageTexts &texts)
{
    // The two texts lie one after the other (199-203, 204-208): one read of both. "Tx1"
    // keeps every byte, so the halves split where the registers do; each then loses its
    // line feeds as the parameter read's "Tx" drops them.
    static_assert(reg::SecondText == reg::Version + kTextBytes / 2);
    const Answer answer = link.readAnswer(reg::Version, 2 * kTextBytes, kWait);
    const QVariant value = link.valueOf(answer, "Tx1", reg::Version);
    if (answer.missingOrRefused() || !value.isValid())
        return std::nullopt;
    const QString both = value.toString();
    if (both.size() != 2 * kTextBytes)
        return std::nullopt;
    QString version = both.left(kTextBytes);
    QString second = both.mid(kTextBytes);
    version.remove(QLatin1Char('\n'));
    second.remove(QLatin1Char('\n'));
    QString versionText = version;
    versionText.remove(QChar(0));
    Q_UNUSED(texts);
    // The model code and the version as the indicator holds them, not the language's
    // name of the model.
    return IndicatorTexts{{withoutPadding(version), withoutPadding(SecondRowText(second))}, versionText.trimmed()};
}

QString ModelCodeText(const QString &rowText, const LanguageTexts &texts)
{
    for (const auto &[line, code] : {std::pair{kModelZR1Line, "ZR1"}, std::pair{kModelZR2Line, "ZR2"}}) {
        const QString name = texts.text(line);
        if (!name.isEmpty() && rowText.startsWith(name))
            return QLatin1String(code) + rowText.mid(name.size());
    }
    return rowText;
}

IdentificationTexts RecordIdentification(const ConfigurationRecord &record, const LanguageTexts &texts)
{
    return {ModelCodeText(rowText(record, params::ModelTextRow), texts), rowText(record, params::SecondTextRow)};
}

SameIndicatorCheck CompareIdentification(const IdentificationTexts &file,
                                         const std::optional<IdentificationTexts> &indicator)
{
    SameIndicatorCheck check{Sameness::Different, file, indicator, {}};
    if (file.empty())
        check.verdict = Sameness::FileHasNone;
    else if (indicator && *indicator == file)
        check.verdict = Sameness::Same;
    return check;
}

QString SameIndicatorQuestion(const SameIndicatorCheck &check, const TextService &texts, bool calibrationTicked)
{
    if (check.verdict == Sameness::Same)
        return {};
    const QString unread = texts.builtIn(BuiltIn::IdentificationUnread);
    const QString indicatorModel = check.indicator ? shown(check.indicator->model, texts) : unread;
    const QString indicatorSecond = check.indicator ? shown(check.indicator->second, texts) : unread;
    QString text = check.verdict == Sameness::FileHasNone
                       ? texts.builtIn(BuiltIn::FileHasNoIdentification).arg(indicatorModel, indicatorSecond)
                       : texts.builtIn(BuiltIn::FileOfAnotherIndicator)
                             .arg(shown(check.file.model, texts), shown(check.file.second, texts), indicatorModel,
                                  indicatorSecond);
    if (calibrationTicked)
        text += QLatin1Char('\n') + texts.builtIn(BuiltIn::CalibrationOfAnotherScale)
                                        .arg(BatchGroupCaption(BatchGroup::Calibration, texts, true));
    return text + QLatin1Char('\n') + texts.builtIn(BuiltIn::SendAnyway);
}

bool ConfirmSameIndicator(Link &link, Operator &op, const TextService &texts, const WorkingSet &file,
                          bool calibrationTicked, SameIndicatorCheck *checked)
{
    const std::optional<IndicatorTexts> read = ReadIndicatorTexts(link, texts.lines());
    SameIndicatorCheck check = CompareIdentification(
        RecordIdentification(file.record(), texts.lines()),
        read ? std::optional<IdentificationTexts>(read->identification) : std::nullopt);
    if (read)
        check.version = read->version;
    if (checked)
        *checked = check;
    if (check.verdict == Sameness::Same)
        return true;
    return op.yesNo(SameIndicatorQuestion(check, texts, calibrationTicked), Icon::Question) == Choice::Yes;
}

}  // namespace vx
