#pragma once
// The working set: everything the window shows for one indicator and a
// configuration file holds, as plain core models (the parameter set with its
// companions, the ID, setpoint and preset tare memories, the ticket layout), and
// the working record they are collected into before a save or a send and shown
// from after an open. The window owns one and its pages show its models;
// vextora-cli makes one per run.

#include "files/ConfigurationRecord.h"
#include "memory/IdMemory.h"
#include "memory/PresetTares.h"
#include "memory/SetpointMemory.h"
#include "memory/TicketLayout.h"
#include "params/ParameterSet.h"

namespace vx {

class LanguageTexts;

class WorkingSet {
public:
    WorkingSet();
    WorkingSet(const WorkingSet &) = delete;
    WorkingSet &operator=(const WorkingSet &) = delete;

    ParameterSet &parameters() { return m_parameters; }
    IdMemory &ids() { return m_ids; }
    SetpointMemory &setpoints() { return m_setpoints; }
    PresetTares &presetTares() { return m_presetTares; }
    TicketLayout &ticket() { return m_ticket; }

    ConfigurationRecord &record() { return m_record; }
    const ConfigurationRecord &record() const { return m_record; }

    // The collectors, in their order: BaslıkKaydı, IDKaydı, SetpointKaydı, PDaraKaydı,
    // ParametreKaydet (before every save and when the send panel opens).
    void collect();
    // The readers after an open, in their order: BaslıkOku, IDOKU, SetpointOku,
    // ParametreOku, PDaraOku; then the trailing blanks of the current IDs, the EPL
    // text and the ID headers removed (a ticket line keeps the blanks BaslıkOku leaves
    // it, so that it is stored again as it was).
    void show(const LanguageTexts &texts);
    // A new working set: the ticket lines, the EPL text, the ID and setpoint memories
    // and the parameter values emptied, both alignments flush left, the record reset
    // to the blank one. The preset tares stay.
    void clearForNew();
    void resetRecord() { m_record = ConfigurationRecord{}; }

private:
    ParameterSet m_parameters;
    IdMemory m_ids;
    SetpointMemory m_setpoints;
    PresetTares m_presetTares;
    TicketLayout m_ticket;
    ConfigurationRecord m_record;
};

}  // namespace vx
