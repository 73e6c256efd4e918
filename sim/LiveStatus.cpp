#include "sim/LiveStatus.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace vx::sim {

quint16 HardwareWord(const LiveStatusOptions &options)
{
    const quint8 a = options.calibrationPermitted ? 0x08 : 0x00;
    const quint8 b = options.analogCard ? 0x10 : 0x00;
    return quint16((a << 8) | b);
}

namespace {

// A well-mixed 64-bit value from two inputs (the finaliser of splitmix64).
quint64 mix(quint64 a, quint64 b)
{
    quint64 z = a * 0x9E3779B97F4A7C15ULL + b + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

qint32 MovingGross(const WeightMotion &motion, double seconds)
{
    const double t = std::max(0.0, seconds);
    double weight = motion.rest + motion.driftPerMinute * t / 60.0;
    if (motion.load != 0 && t >= motion.loadAt) {
        const double since = t - motion.loadAt;
        weight += motion.load * (motion.settle > 0 ? 1.0 - std::exp(-since / motion.settle) : 1.0);
    }
    if (motion.noise > 0) {
        // One noise value per step of time, the same for every read within it.
        const auto step = quint64(std::floor(t / WeightMotion::NoiseStep));
        const quint64 span = quint64(2 * motion.noise + 1);
        weight += double(qint64(mix(motion.seed, step) % span) - motion.noise);
    }
    return qint32(std::lround(weight));
}

void InstallLiveStatus(VirtualIndicator &device, std::function<double()> seconds,
                       LiveStatusOptions options)
{
    auto clock = std::make_shared<std::function<double()>>(std::move(seconds));
    // A load that settles and sways a little: gross, net and tare in display units,
    // inside the default range of 300 kg by 0.1 (about 125,0 kg gross, 20,0 kg tare).
    const WeightMotion motion = options.motion;
    auto gross = [clock, motion] {
        const double t = (*clock)();
        if (motion.on)
            return MovingGross(motion, t);
        return qint32(std::lround(1250 + 4 * std::sin(t / 2.0) + std::sin(t * 3.1)));
    };
    auto tare = [clock, motion] {
        if (motion.on)
            return motion.tare;
        return qint32(200 + (qint64((*clock)() / 10.0) % 3) * 10);
    };

    device.onRead(0, [gross](VirtualIndicator &d, int, int) { d.setLong(0, gross()); });
    device.onRead(3, [gross, tare](VirtualIndicator &d, int, int) { d.setLong(3, gross() - tare()); });
    device.onRead(5, [tare](VirtualIndicator &d, int, int) { d.setLong(5, tare()); });
    // Three set values the indicator reports alongside.
    device.setLong(11, 5000);
    device.setLong(13, 10000);
    device.setLong(15, 15000);

    device.setReg(2, quint16((options.operatingA << 8) | options.operatingB));
    device.setReg(25, HardwareWord(options));
}

}  // namespace vx::sim
