#include "files/ConfigurationSheet.h"

#include "files/WorkingSet.h"
#include "link/NumberTexts.h"
#include "params/Catalogue.h"
#include "shell/TextService.h"

namespace vx {
namespace {


WorkingSet &open(const WorkingSet &set) { return const_cast<WorkingSet &>(set); }

QString trimmed(const QString &text)
{
    QString t = text;
    t.remove(QChar(0));
    return t.trimmed();
}

bool usedTare(const QString &value)
{
    const QString t = trimmed(value);
    if (t.isEmpty())
        return false;
    const std::optional<double> number = ReadLeadingNumber(CommaToPoint(t));
    return !number || *number != 0.0;
}

}  // namespace

Model SheetModel(const WorkingSet &set)
{
    return trimmed(open(set).parameters().value(params::ModelTextRow)).startsWith(QLatin1String("ZR1")) ? Model::ZR1 : Model::ZR2;
}

ConfigurationSheetText ConfigurationSheet(const WorkingSet &constSet, Model model, const TextService &texts,
                                          const QDateTime &when, const QString &file)
{
    WorkingSet &set = open(constSet);  // read only: the models' getters are not const
    const ParameterSet &p = set.parameters();
    ConfigurationSheetText sheet;
    const QString none = QStringLiteral("—");
    auto orNone = [&](const QString &text) { return text.isEmpty() ? none : text; };

    sheet.title = texts.builtIn(BuiltIn::SheetTitle);
    sheet.facts.emplace_back(texts.builtIn(BuiltIn::ReportDate), when.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (!file.isEmpty())
        sheet.facts.emplace_back(texts.builtIn(BuiltIn::SheetFile), file);
    sheet.facts.emplace_back(texts.builtIn(BuiltIn::ReportModel), orNone(ModelName(model)));
    sheet.facts.emplace_back(orNone(trimmed(params::RowCaption(params::RowAt(params::ModelTextRow), texts.lines()))),
                             orNone(trimmed(p.value(params::ModelTextRow))));
    sheet.facts.emplace_back(orNone(trimmed(params::RowCaption(params::RowAt(params::SecondTextRow), texts.lines()))),
                             orNone(trimmed(p.value(params::SecondTextRow))));

    sheet.parametersHeading = texts.builtIn(BuiltIn::SheetParameters);
    sheet.parameterColumns = {texts.builtIn(BuiltIn::SheetCode), texts.builtIn(BuiltIn::SheetParameter),
                              texts.builtIn(BuiltIn::SheetValue)};
    for (const params::Row &r : params::Rows()) {
        if (!r.shownFor(model) || r.row == params::ModelTextRow || r.row == params::SecondTextRow)
            continue;
        if (r.kind == params::Kind::Section) {
            sheet.parameters.push_back({.section = true, .code = {}, .caption = trimmed(p.value(r.row)), .value = {}});
            continue;
        }
        if (!r.isValueRow())
            continue;
        const QString line = r.literal ? QString::fromUtf8(r.literal) : texts.line(r.caption);
        sheet.parameters.push_back(
            {.section = false, .code = params::RowCode(r), .caption = trimmed(line), .value = trimmed(p.value(r.row))});
    }

    sheet.memoriesHeading = texts.builtIn(BuiltIn::SheetMemories);
    int ids = 0;
    for (int i = 0; i < IdRecordCount; ++i)
        if (!trimmed(set.ids().number(i)).isEmpty() || !trimmed(set.ids().name(i)).isEmpty())
            ++ids;
    int setpoints = 0;
    for (int j = 0; j < SetpointRecordCount; ++j)
        for (int k = 0; k < SetpointsPerRecord; ++k)
            if (!trimmed(set.setpoints().value(j, k)).isEmpty()) {
                ++setpoints;
                break;
            }
    int tares = 0;
    for (int j = 0; j < PresetTareRecordCount; ++j)
        if (usedTare(set.presetTares().value(j)))
            ++tares;
    sheet.memories.push_back(texts.builtIn(BuiltIn::SheetIdUsed).arg(ids).arg(IdRecordCount));
    sheet.memories.push_back(texts.builtIn(BuiltIn::SheetSetpointsUsed).arg(setpoints).arg(SetpointRecordCount));
    sheet.memories.push_back(texts.builtIn(BuiltIn::SheetPresetTaresUsed).arg(tares).arg(PresetTareRecordCount));

    sheet.ticketHeading = texts.builtIn(BuiltIn::SheetTicket);
    for (int k = 0; k < TicketLineCount; ++k) {
        const bool footnote = k >= HeaderLineCount;
        const QString label = (footnote ? texts.builtIn(BuiltIn::SheetFootnoteLine).arg(k - HeaderLineCount + 1)
                                        : texts.builtIn(BuiltIn::SheetHeaderLine).arg(k + 1))
            + QStringLiteral(" (")
            + texts.builtIn(set.ticket().centred(k) ? BuiltIn::SheetCentred : BuiltIn::SheetLeftAligned)
            + QLatin1Char(')');
        sheet.ticket.emplace_back(label, orNone(trimmed(set.ticket().line(k))));
    }
    return sheet;
}

}  // namespace vx
