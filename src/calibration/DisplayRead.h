#pragma once
// What the indicator's display shows, read as numbers: the gross weight (register 0)
// and the net weight (register 3), each a signed 4-byte value in units of the
// division's last decimal. A plain synchronous read over the link with the port
// open; the calibration tab's display readout uses it, and anything that follows
// the weight over time can.
//
//   if (const auto shown = ReadDisplay(link, DivisionDecimals(division)))
//       label->setText(shown->gross ? shown->gross->text() : "-");

#include <QString>
#include <optional>

namespace vx {

class Link;

// One weight as the indicator sends it.
struct DisplayWeight {
    qint64 units = 0;  // 1234 for 123.4 with one decimal
    int decimals = 0;  // of the range's (first) division
    double value() const;
    // With the decimal comma: "123,4", "-0,05"; the digits alone without decimals.
    QString text() const;
    friend bool operator==(const DisplayWeight &, const DisplayWeight &) = default;
};

struct DisplayReading {
    std::optional<DisplayWeight> gross;  // register 0
    std::optional<DisplayWeight> net;    // register 3
};

// Reads registers 0 and 3 (one read each, 4 bytes). A value is there only when its
// answer was a whole frame; nothing at all when neither was.
std::optional<DisplayReading> ReadDisplay(Link &link, int decimals);

}  // namespace vx
