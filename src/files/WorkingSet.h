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

#include <array>
#include <functional>

namespace vx {

// The groups of the working set as the indicator holds them: what a tab's refresh
// or a read-all group reads, and a send-all group writes.
enum class DataGroup { Ticket, Ids, Setpoints, Parameters, PresetTares, Count };

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
    // A configuration file's record opened as the window opens one: the parameter grid
    // laid out for `model` with the indicator's `weight`, the record taken, then shown.
    void showFile(const ConfigurationRecord &record, const LanguageTexts &texts, Model model, const WeightFormat &weight);
    // A new working set: the ticket lines, the EPL text, the ID and setpoint memories
    // and the parameter values emptied, both alignments flush left, the record reset
    // to the blank one. The preset tares stay.
    void clearForNew();
    void resetRecord() { m_record = ConfigurationRecord{}; }

    // ---- where the data stands against the indicator and the file ----
    // Data of the group the indicator has not got: typed since the group was last read
    // or sent, or opened from a file. A read would replace it without a trace.
    bool notOnIndicator(DataGroup group) const { return m_notOnIndicator[index(group)]; }
    // Changes no file holds: typed, or read from the indicator, since the last open,
    // save or New.
    bool unsaved() const { return m_unsaved; }
    // The user changed the group (the pages report every edit, a clear included).
    void edited(DataGroup group);
    // A whole read replaced the group: the indicator's data, not saved yet.
    void readFromIndicator(DataGroup group);
    // A read that stopped part way may have replaced some of the group: not saved, and
    // what the indicator has not got stays so (its rest may still be the user's).
    void readInPart(DataGroup group);
    // A whole send wrote the group: the indicator holds what is shown.
    void sentToIndicator(DataGroup group);
    // A file was opened: every group from it, none on the indicator; nothing unsaved.
    void opened();
    // The working set went into a file.
    void saved();
    // New: everything emptied; nothing to keep, nothing unsaved.
    void startedNew();
    // Told when unsaved() changes (the window marks its title).
    std::function<void(bool unsaved)> unsavedChanged;

private:
    static std::size_t index(DataGroup group) { return std::size_t(group); }
    void setUnsaved(bool unsaved);

    ParameterSet m_parameters;
    IdMemory m_ids;
    SetpointMemory m_setpoints;
    PresetTares m_presetTares;
    TicketLayout m_ticket;
    ConfigurationRecord m_record;
    std::array<bool, std::size_t(DataGroup::Count)> m_notOnIndicator{};
    bool m_unsaved = false;
};

}  // namespace vx
