#pragma once
// Reading the parameters from the indicator and writing them back: plain
// synchronous sequences over the Link and its operator, in the indicator's fixed
// order of transfers. The window, vextora-cli and the tests run the same code.

#include "link/Model.h"
#include "params/Catalogue.h"

#include <functional>
#include <vector>

namespace vx {

class Link;
class ParameterSet;
class TextService;

struct ParameterReadResult {
    bool completed = false;  // every step answered; host mode was left (command 20)
    // The register whose answer stopped the read (19: a command), -1 when none did.
    int failedRegister = -1;
    // Boxes of the send panel (SSCheck2) to tick, so that a following send includes
    // what was read: calibration, Jmp group, Nrm group. Ticked whether or not the read
    // completed, as the read ticks them before its first transfer.
    std::vector<int> sendBoxesToTick;
};

// ParametreHostOku: host mode, command 5, the date and time (124), command 12, the
// calibration block (128), command 7, the configuration block (149 and 174), the
// identification texts (199, 204), host mode left. Rows hidden for `model` are hidden
// (and filled like the others). A missing, refused or broken answer stops the read at
// once: language text 309, `disconnect`, and no closing command 20; rows filled
// before keep their new values. Progress: ProgressBar1 from 0 to 15, ProgressBar3
// shown during the read.
ParameterReadResult ParametreHostOku(Link &link, ParameterSet &set, const TextService &texts, Model model,
                                     const std::function<void()> &disconnect = {});

// The groups a write sends: the send panel's boxes 8, 5, 6 and 7.
struct WriteGroups {
    bool dateTime = false;     // SSCheck2_8 "Tarih - Saat"
    bool calibration = false;  // SSCheck2_5 "Calibration P."
    bool jmp = false;          // SSCheck2_6 "Configuration P.(Jmp)"
    bool nrm = false;          // SSCheck2_7 "Configuration P.(Nrm)"
    static WriteGroups all() { return {true, true, true, true}; }
    bool has(params::Group group) const;
    void add(params::Group group);
};

struct ParameterWriteResult {
    bool aborted = false;          // the operator chose Abort: host mode left, the rest not sent
    bool dateTimeSkipped = false;  // row 1 holds no date and time of the calendar: not sent
    WriteGroups sent;              // the groups whose blocks and confirmation all went
};

// ParametreHostYaz: the chosen groups in the order date-time (124, confirmed 6),
// calibration (19, 128, 138, 142, confirmed 13, 20), Jmp (19, 149, confirmed 9, 20),
// Nrm (host mode, 154, 160, 167, 171, 175, 179, 183, 190, confirmed 8, host mode
// left). Rows 18, 20 and 56 show their raw values while it runs; row 21 is held
// to 5..9,9 (the held text stays). AbortRequested is tested after every confirmed
// write: host mode is left and nothing further is sent. The caller clears
// AbortRequested before.
// groupStarted, when given, hears of each group before its first block goes.
ParameterWriteResult ParametreHostYaz(Link &link, ParameterSet &set, const TextService &texts, WriteGroups groups,
                                      const std::function<void(params::Group)> &groupStarted = {});

// Row 21's value held to 5..9,9: "4,2" becomes "5", "12" "9,9". The byte it sends.
int ClampTenths(ParameterSet &set);

}  // namespace vx
