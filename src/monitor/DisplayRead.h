#pragma once
// The live weight: what the indicator's display shows, read as numbers, the gross
// weight (register 0) and the net weight (register 3), each a signed 4-byte value in
// units of the division's last decimal, and whether the weight is stable (bit 0 of
// byte B of the operating status word, register 2). The one reader of these for the
// status reading, the weight trend, the calibration tab's display readout, the
// calibration report and the tool. Plain synchronous reads over the link with the
// port open.
//
//   if (const auto shown = ReadDisplay(link, DivisionDecimals(division)))
//       label->setText(shown->gross ? shown->gross->text() : "-");
//   const std::optional<bool> stable = ReadStable(link);

#include <QString>
#include <optional>

namespace vx {

class Link;
struct Answer;

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

// The weight an answer to a 4-byte read of `reg` carries: only a whole answer that
// decodes ("LG") gives one.
std::optional<DisplayWeight> LiveWeightOf(Link &link, const Answer &answer, int reg, int decimals);

// Reads registers 0 and 3 (one read each, 4 bytes). A value is there only when its
// answer was a whole frame; nothing at all when neither was.
std::optional<DisplayReading> ReadDisplay(Link &link, int decimals);

// Reads the operating status word (register 2, 2 bytes): true when the weight is
// stable. Nothing when the answer was not whole.
std::optional<bool> ReadStable(Link &link);

}  // namespace vx
