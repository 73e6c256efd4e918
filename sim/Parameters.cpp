#include "sim/Parameters.h"

#include "sim/Wire.h"

#include <memory>

namespace vx::sim {
namespace {

constexpr int kClockRegister = 124;
constexpr int kClockBytes = 8;
constexpr int kCmdShowClock = 5;
constexpr int kCmdSetClock = 6;

// The defaults of a block: hex bytes from a byte offset of the block at `base`.
struct DefaultBytes {
    int base;
    int offset;
    const char *hex;
};

// An indicator as it leaves the factory. Calibration block from byte 6: load cell
// 2 mV/V; zero ADC 98304, span ADC 1000000, span weight 30000, initial zero 512;
// calibration counter 7; gravity 9,80665 and 9,80260. Configuration block from byte
// 8: tilt off, filter 5, standard weighing, F1 print, F2 gross/net, limits 200 and
// 2500 (20,0 and 250,0 kg on the 300 kg x 0,1 kg range), stability 7,5 s, backlight on, key beep, auto power-off 15 minutes; serial
// port 1 talks to the PC at 9600 baud, port 2 drives a printer, port 3 sends the
// weight continuously at 19200; a standard ticket printer; minimum print weight 20;
// the analog output's adjustment values (190, 191) are the calibration module's.
constexpr DefaultBytes kDefaults[] = {
    {128, 6,
     "0200"
     "00018000"
     "000F4240"
     "00007530"
     "00000200"
     "00000007"
     "00000000"
     "00013B19"
     "00013984"},
    {149, 8,
     "0000"
     "050000"
     "00010300"
     "00"
     "000000C8"
     "05"
     "000009C4"
     "4B"
     "00010001"
     "00020000"
     "0303010000010000"
     "0203020000010000"
     "0104030000010000"
     "0005040000010000"
     "01010001"
     "00000014"
     "0101030101"
     "00"
     "00007530"},
};

// The calibration module's registers: the weighing range, the seal, the metrological
// bytes, the analog output's adjustment values ([410], [420]) and its type.
bool notOurs(int reg)
{
    return (reg >= 128 && reg <= 130) || reg == 146 || reg == 147 || (reg >= 149 && reg <= 152) || reg == 190
        || reg == 191 || reg == 195;
}

int bcd(int value) { return (value / 10) * 16 + value % 10; }
int fromBcd(int byte)
{
    const int high = byte >> 4, low = byte & 0x0F;
    return high > 9 || low > 9 ? -1 : high * 10 + low;
}

// The moment 8 clock bytes name; invalid when they name none.
QDateTime clockTime(const QByteArray &b)
{
    if (b.size() < kClockBytes)
        return {};
    const int second = fromBcd(quint8(b[0])), minute = fromBcd(quint8(b[1])), hour = fromBcd(quint8(b[2]));
    const int day = fromBcd(quint8(b[4])), month = fromBcd(quint8(b[5])), year = fromBcd(quint8(b[6]));
    const QDate date(2000 + year, month, day);
    const QTime time(hour, minute, second);
    if (year < 0 || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

struct RunningClock {
    std::function<double()> seconds;
    QDateTime start;
    qint64 offset = 0;     // seconds the clock was set ahead of its start
    QByteArray written;    // what the last write to register 124 carried
    QDateTime now() const { return start.addSecs(qint64(seconds()) + offset); }
};

}  // namespace

QByteArray ClockBytes(const QDateTime &time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    QByteArray b(kClockBytes, '\0');
    b[0] = char(bcd(t.second()));
    b[1] = char(bcd(t.minute()));
    b[2] = char(bcd(t.hour()));
    b[3] = char(bcd(d.dayOfWeek() - 1));
    b[4] = char(bcd(d.day()));
    b[5] = char(bcd(d.month()));
    b[6] = char(bcd(d.year() % 100));
    return b;
}

void InstallParameters(VirtualIndicator &device, std::function<double()> seconds, ParameterOptions options)
{
    for (const DefaultBytes &d : kDefaults) {
        const QByteArray bytes = wire::bytesOfHex(QByteArray(d.hex)).value_or(QByteArray());
        for (int i = 0; i + 1 < bytes.size(); i += 2) {
            const int reg = d.base + (d.offset + i) / 2;
            if (notOurs(reg) || device.holds(reg))
                continue;
            device.setReg(reg, quint16((quint8(bytes[i]) << 8) | quint8(bytes[i + 1])));
        }
    }

    auto clock = std::make_shared<RunningClock>();
    clock->seconds = seconds ? std::move(seconds) : [] { return 0.0; };
    clock->start = options.clockStart.isValid() ? options.clockStart
                                                : QDateTime(QDate(2026, 3, 12), QTime(10, 0, 0));
    auto show = [clock](VirtualIndicator &d) { d.setBytes(kClockRegister, ClockBytes(clock->now())); };
    show(device);
    // Every read shows the running time; a write is kept until command 6 sets the clock.
    device.onRead(kClockRegister, [show](VirtualIndicator &d, int, int) { show(d); });
    device.onWrite(kClockRegister, [clock](VirtualIndicator &, int, const QByteArray &data) { clock->written = data; });
    device.onCommand(kCmdShowClock, show);
    device.onCommand(kCmdSetClock, [clock, show, ignore = options.clockIgnoresSetting](VirtualIndicator &d) {
        const QDateTime wanted = clockTime(clock->written);
        if (wanted.isValid() && !ignore)
            clock->offset += clock->now().secsTo(wanted);
        show(d);
    });
}

}  // namespace vx::sim
