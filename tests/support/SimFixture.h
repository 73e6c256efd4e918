#pragma once
// The virtual indicator in this process, with its default modules, answering on
// the in-process port in virtual time.

#include "sim/Dispatch.h"
#include "sim/InProcessPort.h"
#include "sim/Modules.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"

namespace vx::test {

// The indicator's options with its checksum off (frames as the tests write them).
inline sim::VirtualIndicator::Options WithoutChecksum()
{
    sim::VirtualIndicator::Options o;
    o.checksum = false;
    return o;
}

// What the indicator sends back for a request frame (with or without its CR).
inline QByteArray SimAnswer(sim::VirtualIndicator &device, const QByteArray &frame)
{
    const auto reply = device.handle(frame.endsWith('\r') ? frame.chopped(1) : frame);
    return reply ? reply->bytes : QByteArray("<silent>");
}

// The writes the indicator received, oldest first, as "register:data" (reads left out;
// a command is "19:<its code as four hex digits>").
inline QStringList WritesReceived(const sim::VirtualIndicator &device)
{
    QStringList out;
    const QByteArray address = sim::AddressField(device.options().address);
    for (const QString &text : device.requests()) {
        const std::optional<sim::Request> r = sim::ParseRequest(text.toLatin1(), address, device.options().checksum);
        if (r && r->write)
            out << QStringLiteral("%1:%2").arg(r->reg).arg(QString::fromLatin1(r->data.toHex()).toUpper());
    }
    return out;
}

struct InProcessIndicator {
    explicit InProcessIndicator(sim::VirtualIndicator::Options options = {}, sim::LiveStatusOptions status = {},
                                sim::CalibrationOptions calibration = {}, sim::ParameterOptions parameters = {})
        : device(std::move(options))
    {
        sim::ModuleOptions modules;
        modules.seconds = [this] { return clock.elapsed(); };
        modules.status = status;
        modules.calibration = calibration;
        modules.parameters = parameters;
        sim::InstallDefaultModules(device, modules);
    }

    sim::VirtualIndicator device;
    sim::VirtualClock clock;
    sim::InProcessPort port{device, clock};
};

}  // namespace vx::test
