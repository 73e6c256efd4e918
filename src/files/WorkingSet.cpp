#include "files/WorkingSet.h"

#include "files/ParameterRecord.h"
#include "memory/TicketText.h"

namespace vx {

WorkingSet::WorkingSet() = default;

void WorkingSet::collect()
{
    BaslıkKaydı(m_ticket, m_record.ticket);
    IDKaydı(m_ids, m_record.idMemory);
    SetpointKaydı(m_setpoints, m_record.setpoints);
    PDaraKaydı(m_presetTares, m_record.presetTares);
    ParametreKaydet(m_parameters, m_record);
}

void WorkingSet::showFile(const ConfigurationRecord &record, const LanguageTexts &texts, Model model,
                          const WeightFormat &weight)
{
    m_parameters.weight = weight;
    GridDüzen(m_parameters, texts, model);
    m_record = record;
    show(texts);
}

void WorkingSet::show(const LanguageTexts &texts)
{
    BaslıkOku(m_record.ticket, m_ticket);
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

void WorkingSet::edited(DataGroup group)
{
    m_notOnIndicator[index(group)] = true;
    setUnsaved(true);
}

void WorkingSet::readFromIndicator(DataGroup group)
{
    m_notOnIndicator[index(group)] = false;
    setUnsaved(true);
}

void WorkingSet::readInPart(DataGroup) { setUnsaved(true); }

void WorkingSet::sentToIndicator(DataGroup group) { m_notOnIndicator[index(group)] = false; }

void WorkingSet::opened()
{
    m_notOnIndicator.fill(true);
    setUnsaved(false);
}

void WorkingSet::saved() { setUnsaved(false); }

void WorkingSet::startedNew()
{
    m_notOnIndicator.fill(false);
    setUnsaved(false);
}

}  // namespace vx
