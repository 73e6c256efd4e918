#pragma once
// The working set: everything the window shows for one indicator and a
// configuration file holds, as plain core models (the parameter set with its typed
// values, the ID, setpoint and preset tare memories, the ticket layout), and
// the working record they are collected into before a save or a send and shown
// from after an open. The window owns one and its pages show its models;
// vextora-cli makes one per run.

#include "files/ConfigurationRecord.h"
#include "files/SameIndicator.h"
#include "link/Model.h"
#include "memory/IdMemory.h"
#include "memory/PresetTares.h"
#include "memory/SetpointMemory.h"
#include "memory/TicketLayout.h"
#include "params/ParameterSet.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vx {

// The groups of the working set as the indicator holds them: what a tab's refresh
// or a read-all group reads, and a send-all group writes.
enum class DataGroup { Ticket, Ids, Setpoints, Parameters, PresetTares, Count };

// The parts of the working set whose origin is kept one by one: the ticket lines and
// the EPL text (the header group, by the printer), the ID, setpoint and preset tare
// memories, and the parameters by the groups a send writes them in.
enum class SetGroup { TicketLines, EplText, Ids, Setpoints, PresetTares, Calibration, Jmp, Nrm, DateTime, Count };
inline constexpr std::size_t SetGroupCount = std::size_t(SetGroup::Count);

// Where a part's data came from.
enum class Origin {
    Empty,      // never filled (a file's part that is blank counts as never filled)
    Indicator,  // read from an indicator
    File,       // opened from a configuration file
};

struct Provenance {
    Origin origin = Origin::Empty;
    Model model = Model::None;        // Indicator: the model it answered as
    IdentificationTexts indicator = {};  // Indicator: its texts as far as known; File: the texts the file names
    QDateTime time = {};              // Indicator: when the read ended
    QString path = {};                // File: the file
    bool edited = false;              // typed or cleared here since
    // Whether the part holds data of its own: filled from somewhere, or typed.
    bool holds() const { return origin != Origin::Empty || edited; }
    bool operator==(const Provenance &) const = default;
};

// The parts a tab's group stands for (Ticket: both the lines and the EPL text).
std::vector<SetGroup> PartsOf(DataGroup group);
// The parameter part a grid row is sent in; nothing for a row no send writes.
std::optional<SetGroup> PartOfRow(int row);
// The names the tool takes ("header" for the ticket lines and the EPL text, "id",
// "setpoint", "tare", "calibration", "jmp", "nrm", "datetime").
QString SetGroupName(SetGroup group);
// Whether a configuration record holds any data of the part: a text that is not
// blank, a number that is not 0. A part a file holds nothing of was never filled.
bool RecordHolds(const ConfigurationRecord &record, SetGroup group);

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

    // The collectors, in their order: TicketLinesToRecord, IdMemoryToRecord, SetpointMemoryToRecord, PresetTaresToRecord,
    // ParametreKaydet (before every save and when the send panel opens).
    void collect();
    // The readers after an open, in their order: TicketLinesFromRecord, IDOKU, SetpointOku,
    // ParametreOku, PDaraOku; then the trailing blanks of the current IDs, the EPL
    // text and the ID headers removed (a ticket line keeps the blanks TicketLinesFromRecord leaves
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
    // The user changed the group (the pages report every edit, a clear included); a
    // parameter edit names its row (-1: every part of the parameters).
    void edited(DataGroup group, int row = -1);
    // A whole read replaced the group: the indicator's data, not saved yet.
    void readFromIndicator(DataGroup group);
    // A read that stopped part way may have replaced some of the group: not saved, and
    // what the indicator has not got stays so (its rest may still be the user's).
    void readInPart(DataGroup group);
    // A whole send wrote the group: the indicator holds what is shown.
    void sentToIndicator(DataGroup group);
    // A file was opened: every group from it, none on the indicator; nothing unsaved.
    // The parts the file holds come from `path`, the others are empty.
    void opened(const QString &path = {});
    // The working set went into a file.
    void saved();
    // New: everything emptied; nothing to keep, nothing unsaved.
    void startedNew();
    // Told when unsaved() changes (the window marks its title).
    std::function<void(bool unsaved)> unsavedChanged;

    // ---- where each part's data came from ----
    const Provenance &provenance(SetGroup group) const { return m_provenance[std::size_t(group)]; }
    bool holds(SetGroup group) const { return provenance(group).holds(); }
    bool holdsAny() const;
    // The indicator reads come from now (the connected one): its model and, when known,
    // its texts. A parameter read that brings rows 82 and 83 completes them.
    void setSource(Model model, const std::optional<IdentificationTexts> &texts);
    const std::optional<IdentificationTexts> &sourceTexts() const { return m_sourceTexts; }
    // The indicator the data came from: the texts of the parts read last from an
    // indicator, else those the opened file names; nothing when no part names one.
    std::optional<IdentificationTexts> dataIndicator() const;
    // Told when a part's origin changed (the window names the indicator in its title).
    std::function<void()> provenanceChanged;

private:
    static std::size_t index(DataGroup group) { return std::size_t(group); }
    void setUnsaved(bool unsaved);
    std::vector<SetGroup> partsRead(DataGroup group);
    Provenance &at(SetGroup group) { return m_provenance[std::size_t(group)]; }
    void tellProvenance() const
    {
        if (provenanceChanged)
            provenanceChanged();
    }

    ParameterSet m_parameters;
    IdMemory m_ids;
    SetpointMemory m_setpoints;
    PresetTares m_presetTares;
    TicketLayout m_ticket;
    ConfigurationRecord m_record;
    std::array<bool, std::size_t(DataGroup::Count)> m_notOnIndicator{};
    bool m_unsaved = false;
    std::array<Provenance, SetGroupCount> m_provenance{};
    Model m_sourceModel = Model::None;
    std::optional<IdentificationTexts> m_sourceTexts;
};

}  // namespace vx
