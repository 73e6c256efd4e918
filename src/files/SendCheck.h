#pragma once
// The one check of what a send would write, made once the connected model and its
// range are known and before anything goes on the line. Every group chosen for a
// send-all (or built for a selective send) is looked at as its writer would put it
// on the wire, and the first value that cannot go is named with its group and its
// row or record: the send stops whole, nothing is written.
//
//   a parameter part (calibration, Jmp, Nrm)   a row it writes holds no value (an empty
//                                              cell, or a held raw value never filled);
//                                              a ZR1's hidden rows do not count
//   a parameter row                            a text that is no number of the row's kind,
//                                              or a number its field cannot carry
//                                              ([102] "70000", [120] 300, [211] 999); a
//                                              list text goes by its leading code (one
//                                              that begins with a letter carries 0)
//   a setpoint                                 a text that is not wholly a number
//                                              ("12abc", "1e308", "5 kg"), or one with more
//                                              digits than the write carries
//   an ID number                               a text that is no whole number ("AB12")
//
// The same check lists the chosen memories that hold nothing at all (every ID record
// and header, every setpoint, every ticket line or the EPL text blank): such a send
// clears the indicator's memory, which goes only after a question that says so.
//
//   const SendCheck check = CheckBeforeSend(set.record(), set.parameters(), choice, model, weight);
//   if (check.problem) { op.message(SendProblemText(*check.problem, texts), Icon::Critical); return; }
//   if (!ConfirmClearing(op, texts, check.blank)) return;

#include "files/Batch.h"

#include <QString>
#include <optional>
#include <vector>

namespace vx {

class Operator;
class ParameterSet;
class TextService;
struct ConfigurationRecord;

enum class SendFault {
    NoValue,        // a parameter row the group writes holds nothing
    NotANumber,     // the text is not (wholly) a number of the row's kind
    OutOfField,     // a number the field cannot carry
    TooManyDigits,  // a setpoint with more digits than the write carries
};

struct SendProblem {
    BatchGroup group = BatchGroup::Nrm;
    SendFault fault = SendFault::NoValue;
    int row = -1;        // the parameter grid row; -1 for a memory record
    QString record;      // the memory record: "ID Memory 4", "SP Memory 3, Setpoint - 2"
    QString value;       // the text as the group holds it
    qint64 lowest = 0;   // OutOfField: what the field carries
    qint64 highest = 0;
};

struct SendCheck {
    std::optional<SendProblem> problem;  // the first value that cannot go
    std::vector<BatchGroup> blank;       // chosen memories that hold nothing (Header, Id, Setpoint)
};

// `record` holds the memories as collected, `parameters` the grid and its held
// values; `choice` names the groups; `model` decides which rows count as unfilled;
// `weight` gives the setpoints' decimals.
SendCheck CheckBeforeSend(const ConfigurationRecord &record, const ParameterSet &parameters,
                          const SendAllChoice &choice, Model model, const WeightFormat &weight);

// "row 19 [102]" or the record, as the messages name it.
QString SendProblemPlace(const SendProblem &problem, const TextService &texts);
// The message: nothing was sent, the group, the row or record, the value and why.
QString SendProblemText(const SendProblem &problem, const TextService &texts);
// The memories a send would clear, by their send panel captions.
QString BlankGroupsText(const std::vector<BatchGroup> &blank, const TextService &texts);
// One Yes/No question naming the memories the send would clear; true when there are
// none or the operator said Yes.
bool ConfirmClearing(Operator &op, const TextService &texts, const std::vector<BatchGroup> &blank);

}  // namespace vx
