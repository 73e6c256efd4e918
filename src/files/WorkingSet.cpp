#include "files/WorkingSet.h"

#include "files/ParameterRecord.h"
#include "memory/TicketText.h"
#include "params/Catalogue.h"

#include <algorithm>

namespace vx {
namespace {


// Blanks and NULs: what a field of a record never filled holds.
bool blank(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0); });
}

bool blankBytes(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' ' || c == '\0'; });
}

// A setpoint text of a record: blank, or a number that is 0.
bool blankSetpoint(const QString &text)
{
    if (blank(text))
        return true;
    bool ok = false;
    const double value = QString(text).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && value == 0.0;
}

template <std::size_t N>
bool allBlank(const std::array<QString, N> &texts)
{
    return std::all_of(texts.begin(), texts.end(), [](const QString &t) { return blank(t); });
}

bool parametersBlank(const ConfigurationRecord &source, params::Group group)
{
    ConfigurationRecord record = source;  // SlotOf hands out writable places
    for (const record::Field &f : record::Fields()) {
        if (f.section != record::Section::Parameters || f.at || f.type == record::Type::Reserved || f.row == 0)
            continue;
        if (params::RowAt(f.row).group != group)
            continue;
        const record::Slot slot = record::SlotOf(record, f, 0);
        if (const auto *b = std::get_if<record::BlockBytes>(&slot))
            if (!blankBytes(b->block->mid(b->offset, f.width)))
                return false;
    }
    return true;
}

QString withoutPadding(QString text)
{
    while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back() == QChar(0)))
        text.chop(1);
    return text.trimmed();
}

}  // namespace

std::vector<SetGroup> PartsOf(DataGroup group)
{
    switch (group) {
    case DataGroup::Ticket: return {SetGroup::TicketLines, SetGroup::EplText};
    case DataGroup::Ids: return {SetGroup::Ids};
    case DataGroup::Setpoints: return {SetGroup::Setpoints};
    case DataGroup::PresetTares: return {SetGroup::PresetTares};
    case DataGroup::Parameters: return {SetGroup::Calibration, SetGroup::Jmp, SetGroup::Nrm, SetGroup::DateTime};
    case DataGroup::Count: break;
    }
    return {};
}

std::optional<SetGroup> PartOfRow(int row)
{
    switch (params::RowAt(row).group) {
    case params::Group::DateTime: return SetGroup::DateTime;
    case params::Group::Calibration: return SetGroup::Calibration;
    case params::Group::Jmp: return SetGroup::Jmp;
    case params::Group::Nrm: return SetGroup::Nrm;
    case params::Group::None: break;
    }
    return std::nullopt;
}

QString SetGroupName(SetGroup group)
{
    static const char *const names[SetGroupCount] = {"header", "header",      "id",  "setpoint", "tare",
                                                     "calibration", "jmp", "nrm", "datetime"};
    return QString::fromLatin1(names[std::size_t(group)]);
}

bool RecordHolds(const ConfigurationRecord &record, SetGroup group)
{
    switch (group) {
    case SetGroup::TicketLines:
        return !allBlank(record.ticket.HeaderLines) || !allBlank(record.ticket.FootnoteLines);
    case SetGroup::EplText: return !blank(record.ticket.EplText);
    case SetGroup::Ids:
        return !allBlank(record.idMemory.IdNames) || !allBlank(record.idMemory.IdNumbers)
            || !allBlank(record.idMemory.IdHeaders);
    case SetGroup::Setpoints:
        for (int k = 0; k < SetpointsPerRecord; ++k)
            for (const QString &text : k == 0 ? record.setpoints.Setpoint1
                                     : k == 1 ? record.setpoints.Setpoint2
                                              : record.setpoints.Setpoint3)
                if (!blankSetpoint(text))
                    return true;
        return false;
    case SetGroup::PresetTares:
        return std::any_of(record.presetTares.PresetTare.begin(), record.presetTares.PresetTare.end(),
                           [](double v) { return v != 0.0; });
    case SetGroup::Calibration: return !parametersBlank(record, params::Group::Calibration);
    case SetGroup::Jmp: return !parametersBlank(record, params::Group::Jmp);
    case SetGroup::Nrm: return !parametersBlank(record, params::Group::Nrm);
    case SetGroup::DateTime: return !blank(record.ParameterRow1Text);
    case SetGroup::Count: break;
    }
    return false;
}

WorkingSet::WorkingSet() = default;

void WorkingSet::collect()
{
    TicketLinesToRecord(m_ticket, m_record.ticket);
    IdMemoryToRecord(m_ids, m_record.idMemory);
    SetpointMemoryToRecord(m_setpoints, m_record.setpoints);
    PresetTaresToRecord(m_presetTares, m_record.presetTares);
    ParametreKaydet(m_parameters, m_record);
}

void WorkingSet::showFile(const ConfigurationRecord &record, const LanguageTexts &texts, Model model,
                          const WeightFormat &weight)
{
    m_parameters.weight = weight;
    LayOutGrid(m_parameters, texts, model);
    m_record = record;
    show(texts);
    opened();
}

void WorkingSet::show(const LanguageTexts &texts)
{
    TicketLinesFromRecord(m_record.ticket, m_ticket);
    IDOKU(m_record.idMemory, m_ids);
    SetpointOku(m_record.setpoints, m_setpoints);
    ParametreOku(m_record, m_parameters, texts);
    PDaraOku(m_record.presetTares, m_presetTares);

    // The boxes do not keep the padding of their fields (the ticket lines lose theirs
    // where storing them again gives the same line).
    for (int record = 0; record < CurrentIdCount; ++record)
        m_ids.setRecord(record, TrimTrailingSpaces(m_ids.number(record)), TrimTrailingSpaces(m_ids.name(record)));
    m_ticket.setEplText(TrimTrailingSpaces(m_ticket.eplText()));
    for (int i = 0; i < IdHeaderCount; ++i)
        m_ids.setIdHeader(i, TrimTrailingSpaces(m_ids.idHeader(i)));
}

void WorkingSet::clearForNew()
{
    m_ticket.clear();
    m_ids.clear();
    m_setpoints.clear();
    m_parameters.clearValues();
    resetRecord();
}

void WorkingSet::setUnsaved(bool unsaved)
{
    if (m_unsaved == unsaved)
        return;
    m_unsaved = unsaved;
    if (unsavedChanged)
        unsavedChanged(unsaved);
}

void WorkingSet::edited(DataGroup group, int row)
{
    m_notOnIndicator[index(group)] = true;
    const std::optional<SetGroup> part = group == DataGroup::Parameters && row >= 0 ? PartOfRow(row) : std::nullopt;
    if (part)
        at(*part).edited = true;
    else
        for (SetGroup g : PartsOf(group))
            at(g).edited = true;
    setUnsaved(true);
}

// The parts a whole read of the group replaced: the header group reads the lines or
// the EPL text, as the printer is.
std::vector<SetGroup> WorkingSet::partsRead(DataGroup group)
{
    if (group == DataGroup::Ticket)
        return {m_ticket.printerKind() == PrinterKind::Epl ? SetGroup::EplText : SetGroup::TicketLines};
    return PartsOf(group);
}

void WorkingSet::setSource(Model model, const std::optional<IdentificationTexts> &texts)
{
    m_sourceModel = model;
    m_sourceTexts = texts;
}

void WorkingSet::readFromIndicator(DataGroup group)
{
    m_notOnIndicator[index(group)] = false;
    // A parameter read brings the indicator's own texts (rows 82 and 83), row 82 by the
    // model's code and version as the indicator holds them.
    if (group == DataGroup::Parameters) {
        const RowValue &model = m_parameters.rowValue(params::ModelTextRow);
        const QString modelText = model.kind == RowValue::Kind::Text
                                      ? model.text
                                      : ModelCodeText(m_parameters.value(params::ModelTextRow), m_parameters.texts());
        const IdentificationTexts read{withoutPadding(modelText),
                                       withoutPadding(m_parameters.value(params::SecondTextRow))};
        if (!read.empty())
            m_sourceTexts = read;
    }
    Provenance from{.origin = Origin::Indicator,
                    .model = m_sourceModel,
                    .indicator = m_sourceTexts.value_or(IdentificationTexts{}),
                    .time = QDateTime::currentDateTimeUtc()};
    for (SetGroup g : partsRead(group))
        at(g) = from;
    setUnsaved(true);
    tellProvenance();
}

// Part of the group may now be the indicator's: whatever it held, it holds data.
void WorkingSet::readInPart(DataGroup group)
{
    for (SetGroup g : partsRead(group))
        if (!at(g).holds())
            at(g) = {.origin = Origin::Indicator, .model = m_sourceModel,
                     .indicator = m_sourceTexts.value_or(IdentificationTexts{}), .time = QDateTime::currentDateTimeUtc()};
    setUnsaved(true);
    tellProvenance();
}

bool WorkingSet::holdsAny() const
{
    return std::any_of(m_provenance.begin(), m_provenance.end(), [](const Provenance &p) { return p.holds(); });
}

std::optional<IdentificationTexts> WorkingSet::dataIndicator() const
{
    const Provenance *latest = nullptr;
    for (const Provenance &p : m_provenance)
        if (p.origin == Origin::Indicator && !p.indicator.empty() && (!latest || p.time > latest->time))
            latest = &p;
    if (latest)
        return latest->indicator;
    for (const Provenance &p : m_provenance)
        if (p.origin == Origin::File && !p.indicator.empty())
            return p.indicator;
    return std::nullopt;
}

void WorkingSet::sentToIndicator(DataGroup group) { m_notOnIndicator[index(group)] = false; }

void WorkingSet::opened(const QString &path)
{
    m_notOnIndicator.fill(true);
    const IdentificationTexts named = RecordIdentification(m_record, m_parameters.texts());
    for (std::size_t g = 0; g < SetGroupCount; ++g)
        m_provenance[g] = RecordHolds(m_record, SetGroup(g))
            ? Provenance{.origin = Origin::File, .indicator = named, .path = path}
            : Provenance{};
    setUnsaved(false);
    tellProvenance();
}

void WorkingSet::saved() { setUnsaved(false); }

void WorkingSet::startedNew()
{
    m_notOnIndicator.fill(false);
    m_provenance.fill(Provenance{});
    tellProvenance();
    setUnsaved(false);
}

}  // namespace vx
