#include "monitor/Status.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "link/Transaction.h"
#include "shell/LanguageTexts.h"

namespace vx {
namespace {

enum class Byte { A, B };

// One flag row: the bit of byte A or B picks the first text (bit 0) or the second (bit 1).
struct FlagRow {
    int row;
    Byte byte;
    int bit;
    int textClear;
    int textSet;
};

constexpr std::array<FlagRow, 11> kOperatingRows = {{
    {7, Byte::B, 0, 235, 236},
    {8, Byte::B, 1, 237, 238},
    {9, Byte::B, 2, 239, 240},
    {10, Byte::B, 3, 241, 242},
    {11, Byte::B, 4, 241, 242},
    {12, Byte::B, 5, 243, 244},
    {13, Byte::B, 6, 243, 244},
    {14, Byte::B, 7, 243, 244},
    {15, Byte::A, 0, 243, 244},
    {16, Byte::A, 1, 243, 244},
    {17, Byte::A, 2, 243, 244},
}};
// Row 18: A bits 7, 6, 5 as a number n: texts 245..250 for n = 0..5, 251 for 6 and 7.
constexpr int kModeRow = 18;
constexpr int kModeFirstText = 245;
constexpr int kModeOtherText = 251;

constexpr std::array<FlagRow, 6> kHardwareRows = {{
    {23, Byte::B, 0, 243, 244},
    {25, Byte::B, 4, 241, 242},
    {26, Byte::B, 5, 241, 242},
    {27, Byte::B, 6, 241, 242},
    {28, Byte::B, 7, 241, 242},
    {29, Byte::A, 0, 241, 242},
}};
constexpr int kHardwareNumberRow = 24;  // 4 x B bit 3 + 2 x B bit 2 + B bit 1

// Status grid captions. Rows 1-6 name the measured values, 7-18 the operating
// flags, 23-29 the hardware flags.
constexpr std::array<StatusCaption, 25> kCaptions = {{
    {1, 272}, {2, 273}, {3, 274}, {4, 275}, {5, 276}, {6, 277},
    {7, 386}, {8, 387}, {9, 388}, {10, 389}, {11, 390}, {12, 391}, {13, 392},
    {14, 393}, {15, 394}, {16, 395}, {17, 396}, {18, 397},
    {23, 398}, {24, 399}, {25, 400}, {26, 401}, {27, 402}, {28, 403}, {29, 404},
}};

constexpr int kTextRefused = 309;

bool bitOf(int value, int bit) { return (value & (1 << bit)) != 0; }

int byteOf(const StatusBytes &bytes, Byte which) { return which == Byte::A ? bytes.a : bytes.b; }

template <size_t N>
void applyFlags(const std::array<FlagRow, N> &rows, const StatusBytes &bytes, StatusTable &grid,
                const LanguageTexts &texts)
{
    for (const FlagRow &r : rows) {
        const bool set = bitOf(byteOf(bytes, r.byte), r.bit);
        grid.setCell(r.row, 1, texts.text(set ? r.textSet : r.textClear));
    }
}

QString numberText(const QVariant &value)
{
    return value.isValid() ? QString::number(value.toLongLong()) : QString();
}

}  // namespace

const std::array<StatusCaption, 25> &StatusCaptions() { return kCaptions; }

void ApplyStatusCaptions(StatusTable &grid, const LanguageTexts &texts)
{
    for (const StatusCaption &c : kCaptions)
        grid.setCell(c.row, 0, texts.text(c.line));
}

std::optional<StatusBytes> StatusWordBytes(const QString &statusText)
{
    if (statusText.isEmpty())
        return std::nullopt;
    StatusBytes bytes;
    bytes.a = cp1254::fromUnicode(statusText.at(0));
    bytes.b = statusText.size() > 1 ? cp1254::fromUnicode(statusText.at(1)) : bytes.a;
    return bytes;
}

void DurumOku(const QString &statusText, StatusTable &grid, const LanguageTexts &texts)
{
    const auto bytes = StatusWordBytes(statusText);
    if (!bytes)
        return;
    applyFlags(kOperatingRows, *bytes, grid, texts);
    const int n = 4 * bitOf(bytes->a, 7) + 2 * bitOf(bytes->a, 6) + bitOf(bytes->a, 5);
    grid.setCell(kModeRow, 1, texts.text(n <= 5 ? kModeFirstText + n : kModeOtherText));
}

void HWDurumOku(const QString &statusText, StatusTable &grid, const LanguageTexts &texts,
                MonitorFlags &flags)
{
    const auto bytes = StatusWordBytes(statusText);
    if (!bytes)
        return;
    applyFlags(kHardwareRows, *bytes, grid, texts);
    const int number = 4 * bitOf(bytes->b, 3) + 2 * bitOf(bytes->b, 2) + bitOf(bytes->b, 1);
    grid.setCell(kHardwareNumberRow, 1, QString::number(number));
    flags.AnalogCardPresent = bitOf(bytes->b, 4);
    flags.CalibrationPermitted = bitOf(bytes->a, 3);
}

bool StatuOku(StatusReading &r)
{
    Link &link = r.link;
    Operator &op = link.op();
    constexpr double wait = 0.05;
    constexpr int steps = 10;
    int step = 0;
    auto advance = [&] {
        ++step;
        op.setProgress(ProgressId::Small, step, steps);
        op.setProgress(ProgressId::Main, step, steps);
    };
    // A measured value of rows 1-3: kept, and written only when it changed.
    auto measured = [&](int row, int keptIndex, const QVariant &value) {
        if (value == r.kept[keptIndex])
            return;
        r.kept[keptIndex] = value;
        r.grid.setCell(row, 1,
                       value.isValid() ? FormatWithDecimals(numberText(value), r.weightReference)
                                       : QString());
    };

    link.HostYazdır(true);
    if (r.grid.cell(9, 1).isEmpty()) {
        for (int row = 23; row <= 28; ++row)
            r.grid.setCell(row, 1, QString());
    }
    op.showProgress(ProgressId::Small, true);
    op.setProgress(ProgressId::Small, 0, steps);
    op.setProgress(ProgressId::Main, 0, steps);

    const QString first = link.readRaw(0, 4, wait);
    if (first.isEmpty() || first.startsWith(QStringLiteral("@8"))) {
        // Leave host mode before giving up so a refusing indicator is not left in it.
        link.HostYazdır(false);
        op.message(r.texts.text(kTextRefused), Icon::Critical);
        if (r.disconnect)
            r.disconnect();
        op.showProgress(ProgressId::Small, false);
        return false;
    }
    measured(1, 0, link.decodeAnswer(first, "LG", 0));
    advance();

    measured(2, 1, link.read(3, 4, "LG", wait));
    advance();

    // Register 5, then 7 into register 8 before its answer is decoded.
    const QString fifth = link.readRaw(5, 4, wait);
    advance();
    link.writeNoAck(8, 2, "LG", 7, wait);
    measured(3, 2, link.decodeAnswer(fifth, "LG", 5));
    advance();

    const std::array<std::pair<int, int>, 3> scaled = {{{11, 4}, {13, 5}, {15, 6}}};
    for (const auto &[reg, row] : scaled) {
        const QString answer = link.readRaw(reg, 4, wait);
        if (!answer.isEmpty()) {
            const QVariant value = link.decodeAnswer(answer, "LG", reg);
            if (value.isValid())
                r.grid.setCell(row, 1, InsertDecimalComma(numberText(value), r.decimals));
        }
        advance();
    }

    const QString operating = link.readRaw(2, 2, wait);
    if (!operating.isEmpty())
        DurumOku(link.decodeAnswer(operating, "Tx", 2).toString(), r.grid, r.texts);
    advance();

    const QString hardware = link.readRaw(25, 2, wait);
    if (!hardware.isEmpty())
        HWDurumOku(link.decodeAnswer(hardware, "Tx", 25).toString(), r.grid, r.texts,
                   r.flags);
    advance();

    link.HostYazdır(false);
    advance();
    op.showProgress(ProgressId::Small, false);
    return true;
}

}  // namespace vx
