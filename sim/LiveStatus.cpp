#include "sim/LiveStatus.h"

#include <cmath>
#include <memory>

namespace vx::sim {

quint16 HardwareWord(const LiveStatusOptions &options)
{
    const quint8 a = options.calibrationPermitted ? 0x08 : 0x00;
    const quint8 b = options.analogCard ? 0x10 : 0x00;
    return quint16((a << 8) | b);
}

void InstallLiveStatus(VirtualIndicator &device, std::function<double()> seconds,
                       LiveStatusOptions options)
{
    auto clock = std::make_shared<std::function<double()>>(std::move(seconds));
    // A load that settles and sways a little: gross, net and tare in display units,
    // inside the default range of 300 kg by 0.1 (about 125,0 kg gross, 20,0 kg tare).
    auto gross = [clock] {
        const double t = (*clock)();
        return qint32(std::lround(1250 + 4 * std::sin(t / 2.0) + std::sin(t * 3.1)));
    };
    auto tare = [clock] { return qint32(200 + (qint64((*clock)() / 10.0) % 3) * 10); };

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
