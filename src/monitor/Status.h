#pragma once
// Reading the indicator's live status: six measured values, the operating status
// word (register 2) and the hardware status word (register 25), decoded bit by
// bit into the status grid's language texts.

#include "monitor/StatusTable.h"

#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <optional>

namespace vx {

class Link;
class LanguageTexts;

// Flags derived from the hardware status word, consulted by calibration.
struct MonitorFlags {
    bool CalibrationPermitted = false;  // hardware word A bit 3
    bool AnalogCardPresent = false;     // hardware word B bit 4
};

// Everything a status reading touches besides the wire.
struct StatusReading {
    Link &link;
    const LanguageTexts &texts;
    StatusTable &grid;
    MonitorFlags &flags;
    // The last three measured values (rows 1-3), so a row is rewritten only when it changed.
    std::array<QVariant, 3> &kept;
    QString weightReference;  // FormatWithDecimals reference (empty: values shown raw)
    int decimals = 0;         // InsertDecimalComma decimals for rows 4-6
    std::function<void()> disconnect;  // the window's disconnect action
};

// Row captions of the status grid: row -> language line.
struct StatusCaption {
    int row;
    int line;
};
const std::array<StatusCaption, 25> &StatusCaptions();
void ApplyStatusCaptions(StatusTable &grid, const LanguageTexts &texts);

// The whole reading between one pair of host-mode commands. Returns false when the
// indicator did not answer the first request (the message is shown and the window
// disconnected).
bool StatuOku(StatusReading &reading);
void DurumOku(const QString &statusText, StatusTable &grid, const LanguageTexts &texts);
void HWDurumOku(const QString &statusText, StatusTable &grid, const LanguageTexts &texts,
                MonitorFlags &flags);

// The two bytes of a status word as the indicator sent them (a one-character text gives B = A).
struct StatusBytes {
    int a = 0;
    int b = 0;
};
std::optional<StatusBytes> StatusWordBytes(const QString &statusText);

}  // namespace vx
