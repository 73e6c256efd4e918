#include "sim/Calibration.h"

#include <algorithm>
#include <memory>

namespace vx::sim {
namespace {

constexpr int kTestWeight = 20;
constexpr int kStep = 22;
constexpr int kStatus = 23;
constexpr int kAdjust = 24;
constexpr int kUnlock = 144;
constexpr int kSeal = 146;
constexpr int kOutputType = 195;
constexpr int kZeroValue = 190;
constexpr int kSpanValue = 191;

// Result codes in B of register 23.
constexpr quint8 kAccepted = 0x00;
constexpr quint8 kWeightTooSmall = 0x25;
constexpr quint8 kNotBegun = 0x30;
// A of register 23 when a step is done.
constexpr quint8 kZeroDone = 0x00;
constexpr quint8 kSpanDone = 0x01;

struct State {
    CalibrationOptions options;
    bool begun = false;      // 22 = 1 seen, no finish since
    bool pending = false;    // a step runs
    int busyLeft = 0;
    quint16 result = 0;      // register 23 once the step is done
    bool adjusting = false;  // 24 = 1 seen, no 24 = 2 since
};

int wordOf(const QByteArray &data)
{
    if (data.size() < 2)
        return data.isEmpty() ? 0 : quint8(data[0]);
    return (quint8(data[0]) << 8) | quint8(data[1]);
}

void startStep(VirtualIndicator &d, State &s, quint8 doneA, quint8 code)
{
    s.pending = true;
    s.busyLeft = std::max(0, s.options.busyPolls);
    s.result = quint16((doneA << 8) | code);
    d.setReg(kStatus, CalibrationBusyWord);
}

void onStep(VirtualIndicator &d, State &s, int value)
{
    switch (value) {
    case 1:
        s.begun = true;
        s.pending = false;
        d.setReg(kStatus, 0);
        break;
    case 3:
        startStep(d, s, kZeroDone, s.begun ? kAccepted : kNotBegun);
        break;
    case 4: {
        quint8 code = s.begun ? kAccepted : kNotBegun;
        if (code == kAccepted && (d.longAt(kTestWeight) <= 0 || s.options.spanRefusals > 0)) {
            code = kWeightTooSmall;
            if (s.options.spanRefusals > 0)
                --s.options.spanRefusals;
        }
        startStep(d, s, kSpanDone, code);
        break;
    }
    case 2:
        startStep(d, s, kZeroDone, s.begun ? kAccepted : kNotBegun);
        if (s.begun && d.longAt(kSeal) == 0 && d.longAt(kUnlock) != 0)
            d.setLong(kSeal, d.longAt(kUnlock) + 1);  // the seal re-armed with the next count
        s.begun = false;
        break;
    default:
        break;
    }
}

void onAdjust(VirtualIndicator &d, State &s, int value)
{
    if (value == 1) {
        s.adjusting = true;
        return;
    }
    if (value == 2) {
        s.adjusting = false;
        return;
    }
    if (!s.adjusting || value < 3 || value > 10)
        return;
    const int reg = value <= 6 ? kZeroValue : kSpanValue;
    static constexpr int kDelta[4] = {100, -100, 5, -5};
    const int next = int(d.reg(reg)) + kDelta[(value - 3) % 4];
    d.setReg(reg, quint16(std::clamp(next, 0, 65535)));
}

}  // namespace

void InstallCalibration(VirtualIndicator &device, CalibrationOptions options)
{
    // A plausible indicator: single range 300 Kg by 0.1, legal trade, sealed. What the
    // image already holds (a loaded state) stays.
    const std::pair<int, quint16> defaults[] = {
        {128, 0x0000}, {129, 0x1E09}, {130, 0x1E09}, {149, 0x0100}, {150, 0x0101}, {151, 0x0101},
        {152, 0x0101}, {kSeal, quint16(quint32(options.seal) >> 16)}, {kSeal + 1, quint16(options.seal & 0xFFFF)},
        {kOutputType, 0x0000}, {kZeroValue, 13107}, {kSpanValue, 60000}};
    for (const auto &[reg, value] : defaults)
        if (!device.holds(reg))
            device.setReg(reg, value);
    device.setReg(kStatus, 0);

    auto state = std::make_shared<State>();
    state->options = options;
    device.onWrite(kStep, [state](VirtualIndicator &d, int, const QByteArray &data) {
        onStep(d, *state, wordOf(data));
    });
    device.onWrite(kAdjust, [state](VirtualIndicator &d, int, const QByteArray &data) {
        onAdjust(d, *state, wordOf(data));
    });
    device.onRead(kStatus, [state](VirtualIndicator &d, int, int) {
        if (!state->pending)
            return;
        if (state->busyLeft > 0) {
            --state->busyLeft;
            d.setReg(kStatus, CalibrationBusyWord);
            return;
        }
        state->pending = false;
        d.setReg(kStatus, state->result);
    });
}

}  // namespace vx::sim
