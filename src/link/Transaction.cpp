#include "link/Transaction.h"

#include "link/AppPaths.h"
#include "link/Cp1254.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace vx {

namespace {

// Polling step of the frame-end drain.
constexpr double PollStep = 0.001;

// Register counts travel as upper-case hex.
QString hexCount(int byteCount)
{
    return PadLeftZeros(QString::number(byteCount / 2, 16).toUpper(), 4);
}

// Received bytes as one log line: control characters made visible.
QString printable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\r'))
            out += QStringLiteral("<CR>");
        else if (ch == QLatin1Char('\n'))
            out += QStringLiteral("<LF>");
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            out += QStringLiteral("<%1>").arg(ch.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += ch;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// CommsLog

CommsLog::CommsLog(QString filePath) : m_path(std::move(filePath))
{
    if (m_path.isEmpty())
        m_path = QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt"));
}

void CommsLog::AppendCommsLog(const QString &line) const
{
    if (m_path.isEmpty())
        return;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(cp1254::encode(line + QStringLiteral("\r\n")));
    file.close();
}

// ---------------------------------------------------------------------------
// Acknowledgement

QString Cevap(const QString &address, const QString &answer)
{
    // Characters 2..7 (after "@") without an address field, 4..9 with one.
    return AddressValue(address) == 0 ? answer.mid(1, 6) : answer.mid(3, 6);
}

// ---------------------------------------------------------------------------
// Link

Link::Link(SerialPortIo &port, Clock &clock, Operator &op, CommsLog &log)
    : m_port(port), m_clock(clock), m_op(op), m_log(log)
{
}

QString Link::shortDate() const
{
    return QLocale::system().toString(m_clock.now().date(), QLocale::ShortFormat);
}

namespace {

// Busy wait on the clock: ends after `seconds`, or when the clock goes back
// (midnight passed) rather than waiting a whole day.
void waitOn(Clock &clock, double seconds, bool pump)
{
    if (!(seconds > 0)) {  // zero, negative or not a number: just let events run once
        clock.idle(0, pump);
        return;
    }
    constexpr double Day = 86400.0;
    const double start = clock.secondsSinceMidnight();
    const double end = start + seconds;
    for (;;) {
        const double t = clock.secondsSinceMidnight();
        if (t >= end || t < start)
            return;
        // Never idle past midnight: the wait ends there.
        clock.idle(std::min(end - t, Day - t + 0.0005), pump);
    }
}

}  // namespace

void Link::WaitSeconds(double seconds)
{
    waitOn(m_clock, seconds, true);
}

void Link::WaitSecondsNoPump(double seconds)
{
    waitOn(m_clock, seconds, false);
}

QString Link::IntOku()
{
    return drain(settings.ReadingTime, true);
}

QString Link::drain(double seconds, bool pumpEvents)
{
    QByteArray bytes;
    auto collect = [&] {
        while (m_port.bytesWaiting() > 0) {
            const QByteArray chunk = m_port.readAll();
            if (chunk.isEmpty())
                break;
            bytes += chunk;
        }
    };

    if (settings.drainMode == DrainMode::Fixed) {
        waitOn(m_clock, seconds, pumpEvents);
        collect();
    } else {
        // Frame end: return once the text is a whole answer ("@" ... CR), otherwise
        // at the same moment the fixed wait would have ended.
        const double start = m_clock.secondsSinceMidnight();
        const double end = start + (seconds > 0 ? seconds : 0);
        for (;;) {
            collect();
            if (!bytes.isEmpty() && bytes.front() == FrameStart && bytes.back() == FrameEnd)
                break;
            const double t = m_clock.secondsSinceMidnight();
            if (t >= end || t < start)
                break;
            m_clock.idle(std::min(PollStep, end - t), pumpEvents);
        }
        if (!(seconds > 0) && bytes.isEmpty())
            m_clock.idle(0, pumpEvents);
        collect();
    }

    stats.charsReceived += bytes.size();
    return cp1254::decode(bytes);
}

void Link::discardLateBytes()
{
    if (m_port.bytesWaiting() <= 0)
        return;
    QByteArray late;
    while (m_port.bytesWaiting() > 0) {
        const QByteArray chunk = m_port.readAll();
        if (chunk.isEmpty())
            break;
        late += chunk;
    }
    if (late.isEmpty())
        return;
    stats.charsReceived += late.size();
    AppendCommsLog(shortDate() + QStringLiteral(" - discarded late bytes: ") + printable(cp1254::decode(late)));
}

QString Link::exchange(const QString &frame, double preDelay, bool pumpEvents)
{
    // A closed port answers nothing; do not spend the waits on it.
    if (!m_port.isOpen())
        return {};

    discardLateBytes();

    const QByteArray out = cp1254::encode(frame);
    m_port.write(out);
    stats.charsSent += out.size();
    ++stats.exchanges;

    if (settings.drainMode == DrainMode::Fixed) {
        if (preDelay > 0)
            waitOn(m_clock, preDelay, pumpEvents);
        return drain(settings.ReadingTime, pumpEvents);
    }
    const double pre = preDelay > 0 ? preDelay : 0;
    const double rt = settings.ReadingTime > 0 ? settings.ReadingTime : 0;
    return drain(pre + rt, pumpEvents);
}

QString Link::readRaw(int reg, int byteCount, double preDelay)
{
    return exchange(BuildReadFrame(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled),
                    preDelay);
}

QVariant Link::read(int reg, int byteCount, ReadTag tag, double preDelay)
{
    return decodeAnswer(readRaw(reg, byteCount, preDelay), tag, reg);
}

QVariant Link::decodeAnswer(const QString &answer, ReadTag tag, int reg)
{
    decode.shortDate = shortDate();
    if (!decode.log)
        decode.log = [this](const QString &line) { AppendCommsLog(line); };
    return DecodeAnswer(answer, tag, settings.DeviceAddress, settings.ChecksumEnabled, reg, decode);
}

QString Link::writeNoAck(int reg, int byteCount, WriteTag dataType, const QVariant &data,
                         double preDelay, bool pumpEvents)
{
    return exchange(BuildWriteFrame(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled,
                                    dataType, data),
                    preDelay, pumpEvents);
}

void Link::CihazaGönder(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data)
{
    const QString frame = BuildWriteFrame(address, reg, byteCount, checksumOn, dataType, data);
    // The indicator acknowledges a write with "10" and the register count.
    const QString expected = QStringLiteral("10") + hexCount(byteCount);
    const QString fields = QStringLiteral("[") + PadLeftZeros(qint64(reg), 3) + QStringLiteral("]-[")
                           + hexCount(byteCount) + QStringLiteral("]--- ") + transactionErrorText
                           + QStringLiteral("...");

    for (;;) {
        int n = 0;
        for (;;) {
            ++n;
            const QString answer = exchange(frame, 0.0, true);
            if (Cevap(address, answer) == expected || n > 8)
                break;
        }
        if (n <= 3)
            return;

        // More than three attempts: the link is unreliable even if the last one got through.
        const Choice choice = m_op.abortRetryIgnore(fields, Icon::Critical);
        if (choice == Choice::Retry)
            continue;
        if (choice == Choice::Ignore) {
            AppendCommsLog(shortDate() + QStringLiteral(" - ") + fields);
            return;
        }
        AbortRequested = true;
        return;
    }
}

void Link::CihazaGönder(int reg, int byteCount, WriteTag dataType, const QVariant &data)
{
    CihazaGönder(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled, dataType, data);
}

void Link::HostYazdır(bool on)
{
    // Command 19 enters host mode, 20 leaves it; the answer is not examined.
    writeNoAck(19, 2, "Lg", QVariant(on ? 19 : 20), 0.2, true);
}

}  // namespace vx
