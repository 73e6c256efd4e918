#include "link/Transaction.h"

#include "link/AppPaths.h"
#include "link/Cp1254.h"
#include "link/Registers.h"
#include "link/SerialPort.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <functional>

namespace vx {

namespace {

// Polling step of the frame-end drain.
constexpr double PollStep = 0.001;

// Register counts travel as upper-case hex.
QString hexCount(int byteCount)
{
    return PadLeftZeros(QString::number(byteCount / 2, 16).toUpper(), 4);
}

}  // namespace

// ---------------------------------------------------------------------------
// CommsLog

CommsLog::CommsLog(QString filePath) : m_path(std::move(filePath))
{
    if (m_path.isEmpty())
        m_path = QDir(WritableFolder()).filePath(QStringLiteral("ZRxLog.txt"));
}

bool CommsLog::AppendCommsLog(const QString &line) const
{
    if (m_path.isEmpty())
        return false;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = cp1254::encode(line + QStringLiteral("\r\n"));
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written;
}

// ---------------------------------------------------------------------------
// Acknowledgement

QString Cevap(const QString &address, const QString &answer)
{
    // Characters 2..7 (after "@") without an address field, 4..9 with one.
    return AddressValue(address) == 0 ? answer.mid(1, 6) : answer.mid(3, 6);
}

bool IsWriteAcknowledgement(const QString &address, const QString &answer, int byteCount)
{
    return Cevap(address, answer) == QStringLiteral("10") + hexCount(byteCount);
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
// (midnight passed) rather than waiting a whole day, or once `stop` says so.
void waitOn(Clock &clock, double seconds, bool pump, const std::function<bool()> &stop = {})
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
        if (stop && stop())
            return;
    }
}

}  // namespace

void Link::WaitSeconds(double seconds)
{
    stats.waitedSeconds += seconds > 0 ? seconds : 0;
    waitOn(m_clock, seconds, true);
}

void Link::WaitSecondsNoPump(double seconds)
{
    stats.waitedSeconds += seconds > 0 ? seconds : 0;
    waitOn(m_clock, seconds, false);
}

QString Link::IntOku()
{
    const QString arrived = drain(settings.ReadingTime, true, LongestAnswerLength);
    if (!m_traffic.empty() && !arrived.isEmpty())
        reportUnasked(arrived);
    return arrived;
}

double Link::characterSeconds() const
{
    if (const std::optional<LineSettings> line = ParseLineSettings(settings.PortSettings))
        return CharacterSeconds(*line);
    return 10.0 / 9600.0;
}

bool Link::fixedWait(double seconds, bool pumpEvents)
{
    if (!m_pollGivesWay || !pumpEvents || m_mayTakeOver) {
        waitOn(m_clock, seconds, pumpEvents);
        return true;
    }
    const unsigned before = m_takeOvers;
    m_mayTakeOver = true;
    m_clock.holdUserInput(false);
    waitOn(m_clock, seconds, pumpEvents, [&] { return m_takeOvers != before; });
    m_clock.holdUserInput(true);
    m_mayTakeOver = false;
    return m_takeOvers == before;
}

QString Link::drain(double seconds, bool pumpEvents, int longestAnswer, bool *takenOver)
{
    QByteArray bytes;
    // Reads everything waiting; true when something came.
    auto collect = [&] {
        const qsizetype before = bytes.size();
        while (m_port.bytesWaiting() > 0) {
            const QByteArray chunk = m_port.readAll();
            if (chunk.isEmpty())
                break;
            bytes += chunk;
        }
        return bytes.size() > before;
    };

    if (settings.drainMode == DrainMode::Fixed) {
        if (!fixedWait(seconds, pumpEvents)) {
            if (takenOver)
                *takenOver = true;
            return {};  // what is on the line belongs to the operation that took it over
        }
        collect();
    } else {
        const double perChar = characterSeconds();
        const double gap = std::max(GapCharacters * perChar, MinGapSeconds);
        const double start = m_clock.secondsSinceMidnight();
        const double deadline = start + (seconds > 0 ? seconds : 0);
        double firstArrival = -1;
        double lastArrival = -1;
        for (;;) {
            const double t = m_clock.secondsSinceMidnight();
            if (collect()) {
                lastArrival = t;
                if (firstArrival < 0)
                    firstArrival = t;
            }
            if (!bytes.isEmpty() && bytes.front() == FrameStart && bytes.back() == FrameEnd)
                break;  // a whole answer
            if (t < start)
                break;  // midnight passed: the wait ends there
            double until = deadline;
            if (t >= deadline) {
                // Nothing came: no answer. Something came: an answer under way is read
                // while characters keep coming, up to the time the longest answer takes.
                if (bytes.isEmpty())
                    break;
                until = std::min(lastArrival + gap, firstArrival + longestAnswer * perChar + gap);
                if (t >= until)
                    break;
            }
            // A port that can wait for its bytes wakes the moment the rest of the answer
            // comes, not at the end of a step; the window's events run between the waits.
            const double step = std::min(PollStep, until - t);
            if (m_port.waitForBytes(step))
                m_clock.idle(0, pumpEvents);
            else
                m_clock.idle(step, pumpEvents);
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
    const QString late = collectArrived();
    if (late.isEmpty())
        return;
    AppendCommsLog(shortDate() + QStringLiteral(" - discarded late bytes: ") + PrintableAnswer(late));
}

void Link::DrainStaleInput()
{
    if (!m_port.isOpen())
        return;
    const bool suspect = m_lastExchangeBad;
    m_lastExchangeBad = false;
    QString stale = collectArrived();
    if (stale.isEmpty() && !suspect)
        return;  // a quiet line after whole answers: nothing of them can still be coming
    const double perChar = characterSeconds();
    const double gap = std::max(GapCharacters * perChar, MinGapSeconds);
    const double start = m_clock.secondsSinceMidnight();
    const double limit = start + LongestAnswerLength * perChar + gap + std::max(0.0, m_port.roundTripSeconds());
    double quietSince = start;
    for (;;) {
        const double t = m_clock.secondsSinceMidnight();
        // Quiet long enough, the bound reached, or midnight passed.
        if (t - quietSince >= gap || t >= limit || t < start)
            break;
        m_clock.idle(std::min(gap - (t - quietSince), limit - t), false);
        const QString came = collectArrived();
        if (!came.isEmpty()) {
            stale += came;
            quietSince = m_clock.secondsSinceMidnight();
        }
    }
    if (stale.isEmpty())
        return;
    AppendCommsLog(shortDate() + QStringLiteral(" - discarded the rest of an earlier answer: ")
                   + PrintableAnswer(stale));
}

QString Link::exchange(const QString &frame, double preDelay, bool pumpEvents, int longestAnswer)
{
    return exchangeFor(nullptr, frame, preDelay, pumpEvents, longestAnswer);
}

QString Link::exchangeFor(const Request *request, const QString &frame, double preDelay, bool pumpEvents,
                          int longestAnswer)
{
    // A closed port answers nothing; do not spend the waits on it.
    if (!m_port.isOpen())
        return {};

    discardLateBytes();

    const QByteArray out = cp1254::encode(frame);
    // The listeners are asked once: one that comes while the answer is awaited
    // hears from the next request on.
    const bool listened = !m_traffic.empty();
    const double sentAt = listened ? m_clock.secondsSinceMidnight() : 0.0;
    m_port.write(out);
    stats.charsSent += out.size();
    ++stats.exchanges;
    if (listened)
        reportRequest(request, frame, sentAt);

    QString answer;
    // Behind a network the request and its answer travel the round trip on top.
    const double roundTrip = std::max(0.0, m_port.roundTripSeconds());
    bool takenOver = false;
    if (settings.drainMode == DrainMode::Fixed) {
        takenOver = preDelay > 0 && !fixedWait(preDelay, pumpEvents);
        if (!takenOver)
            answer = drain(settings.ReadingTime + roundTrip, pumpEvents, longestAnswer, &takenOver);
    } else {
        // The indicator cannot answer before the request has left the line.
        const double onTheLine = double(out.size()) * characterSeconds();
        const double pre = preDelay > 0 ? preDelay : 0;
        const double rt = settings.ReadingTime > 0 ? settings.ReadingTime : 0;
        answer = drain(onTheLine + pre + rt + roundTrip, pumpEvents, longestAnswer);
    }
    if (takenOver) {
        // Another operation took the line and has ended: it judged what was left of this
        // answer, and the line's state is its own.
        if (listened && !m_traffic.empty())
            reportAnswer(request, answer, sentAt);
        return answer;
    }
    m_lastExchangeBad = endedBadly(request, answer);
    if (listened && !m_traffic.empty())
        reportAnswer(request, answer, sentAt);
    // A write acknowledgement is taken by its echo; one whose checksum differs still
    // counts, and goes to the log as a read answer's mismatch does when it is decoded.
    if (request && request->tag && request->checksumOn
        && JudgeWriteAnswer(answer, *request->address, request->byteCount, true).outcome
               == AnswerOutcome::ChecksumMismatch)
        AppendCommsLog(shortDate() + QStringLiteral(" - [") + PadLeftZeros(qint64(request->reg), 3)
                       + QStringLiteral("]-[") + hexCount(request->byteCount) + QStringLiteral("]--- CHKSum Hatası..."));
    return answer;
}

bool Link::endedBadly(const Request *request, const QString &answer) const
{
    if (!request)  // no count to judge by: a frame begun and ended is whole enough
        return !(answer.startsWith(QLatin1Char(FrameStart)) && answer.endsWith(QLatin1Char(FrameEnd)));
    const Answer judged = request->tag ? JudgeWriteAnswer(answer, *request->address, request->byteCount)
                                       : JudgeReadAnswer(answer, *request->address, request->checksumOn,
                                                         request->byteCount);
    return judged.outcome == AnswerOutcome::Missing || judged.outcome == AnswerOutcome::CutOff
           || judged.outcome == AnswerOutcome::OtherFrame;
}

// ---------------------------------------------------------------------------
// Traffic listeners

void Link::addTrafficListener(TrafficListener *listener)
{
    if (listener && std::find(m_traffic.begin(), m_traffic.end(), listener) == m_traffic.end())
        m_traffic.push_back(listener);
}

void Link::removeTrafficListener(TrafficListener *listener)
{
    m_traffic.erase(std::remove(m_traffic.begin(), m_traffic.end(), listener), m_traffic.end());
}

void Link::report(const TrafficEvent &event)
{
    // By index: a listener may remove itself (or another) while it is told.
    for (std::size_t i = 0; i < m_traffic.size(); ++i)
        m_traffic[i]->traffic(event);
}

void Link::reportRequest(const Request *request, const QString &frame, double sentAt)
{
    TrafficEvent e;
    e.time = sentAt;
    e.direction = TrafficDirection::Out;
    e.frame = frame;
    if (request) {
        e.reg = request->reg;
        e.value = request->tag ? TrafficWriteValue(request->reg, request->byteCount, *request->tag, *request->data)
                               : TrafficReadRequestValue(request->byteCount);
    }
    report(e);
}

void Link::reportAnswer(const Request *request, const QString &answer, double sentAt)
{
    TrafficEvent e;
    e.time = m_clock.secondsSinceMidnight();
    e.direction = TrafficDirection::In;
    e.frame = answer;
    e.answerSeconds = e.time >= sentAt ? e.time - sentAt : e.time + 86400.0 - sentAt;  // across midnight
    if (request) {
        e.reg = request->reg;
        // The rule the sequences judge by, with what the request asked.
        const Answer judged = request->tag
                                  ? JudgeWriteAnswer(answer, *request->address, request->byteCount,
                                                     request->checksumOn)
                                  : JudgeReadAnswer(answer, *request->address, request->checksumOn,
                                                    request->byteCount);
        e.outcome = judged.outcome;
        if (!request->tag && judged.whole())
            e.value = TrafficReadValue(judged.data);
    } else if (answer.isEmpty()) {
        e.outcome = AnswerOutcome::Missing;
    }
    report(e);
}

void Link::reportUnasked(const QString &bytes)
{
    TrafficEvent e;
    e.time = m_clock.secondsSinceMidnight();
    e.direction = TrafficDirection::In;
    e.frame = bytes;
    e.value = QStringLiteral("unasked");
    report(e);
}

void Link::AppendCommsLog(const QString &line)
{
    const bool written = m_log.AppendCommsLog(line);
    if (m_traffic.empty())
        return;
    TrafficEvent e;
    e.time = m_clock.secondsSinceMidnight();
    e.direction = TrafficDirection::Log;
    e.frame = line;
    e.logged = written;
    report(e);
}

QString Link::readRaw(int reg, int byteCount, double preDelay)
{
    const Request request{reg, byteCount, &settings.DeviceAddress, settings.ChecksumEnabled, nullptr, nullptr};
    return exchangeFor(&request, BuildReadFrame(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled),
                       preDelay, true,
                       ReadAnswerLength(settings.DeviceAddress, byteCount, settings.ChecksumEnabled));
}

QVariant Link::read(int reg, int byteCount, ReadTag tag, double preDelay)
{
    return decodeAnswer(readRaw(reg, byteCount, preDelay), tag, reg, byteCount);
}

QVariant Link::decodeAnswer(const QString &answer, ReadTag tag, int reg, int expectedByteCount)
{
    decode.shortDate = shortDate();
    if (!decode.log)
        decode.log = [this](const QString &line) { AppendCommsLog(line); };
    return DecodeAnswer(answer, tag, settings.DeviceAddress, settings.ChecksumEnabled, reg, decode,
                        expectedByteCount);
}

Answer Link::readAnswer(int reg, int byteCount, double preDelay)
{
    return judgeRead(readRaw(reg, byteCount, preDelay), byteCount);
}

Answer Link::writeAnswer(int reg, int byteCount, WriteTag dataType, const QVariant &data, double preDelay,
                         bool pumpEvents)
{
    return judgeWrite(writeNoAck(reg, byteCount, dataType, data, preDelay, pumpEvents), byteCount);
}

Answer Link::judgeRead(const QString &raw, int expectedByteCount) const
{
    return JudgeReadAnswer(raw, settings.DeviceAddress, settings.ChecksumEnabled, expectedByteCount);
}

Answer Link::judgeWrite(const QString &raw, int byteCount) const
{
    return JudgeWriteAnswer(raw, settings.DeviceAddress, byteCount, settings.ChecksumEnabled);
}

QVariant Link::valueOf(const Answer &answer, ReadTag tag, int reg)
{
    return decodeAnswer(answer.raw, tag, reg, answer.byteCount);
}

QString Link::writeNoAck(int reg, int byteCount, WriteTag dataType, const QVariant &data,
                         double preDelay, bool pumpEvents)
{
    const Request request{reg, byteCount, &settings.DeviceAddress, settings.ChecksumEnabled, &dataType, &data};
    return exchangeFor(&request,
                       BuildWriteFrame(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled, dataType,
                                       data),
                       preDelay, pumpEvents, WriteAnswerLength(settings.DeviceAddress, settings.ChecksumEnabled));
}

void Link::WriteAcknowledged(const QString &address, int reg, int byteCount, bool checksumOn,
                        WriteTag dataType, const QVariant &data)
{
    const QString frame = BuildWriteFrame(address, reg, byteCount, checksumOn, dataType, data);
    const Request request{reg, byteCount, &address, checksumOn, &dataType, &data};
    const QString fields = QStringLiteral("[") + PadLeftZeros(qint64(reg), 3) + QStringLiteral("]-[")
                           + hexCount(byteCount) + QStringLiteral("]--- ") + transactionErrorText
                           + QStringLiteral("...");

    for (;;) {
        int n = 0;
        for (;;) {
            ++n;
            const QString answer = exchangeFor(&request, frame, 0.0, true, WriteAnswerLength(address, checksumOn));
            if (IsWriteAcknowledgement(address, answer, byteCount) || n > 8)
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

void Link::WriteAcknowledged(int reg, int byteCount, WriteTag dataType, const QVariant &data)
{
    WriteAcknowledged(settings.DeviceAddress, reg, byteCount, settings.ChecksumEnabled, dataType, data);
}

void Link::WriteAcknowledgedUnlessDone(const QString &answer, int reg, int byteCount, WriteTag dataType,
                                          const QVariant &data)
{
    if (!acknowledged(answer, byteCount))
        WriteAcknowledged(reg, byteCount, dataType, data);
}

bool Link::acknowledged(const QString &answer, int byteCount) const
{
    return IsWriteAcknowledgement(settings.DeviceAddress, answer, byteCount);
}

QString Link::collectArrived()
{
    QByteArray bytes;
    while (m_port.bytesWaiting() > 0) {
        const QByteArray chunk = m_port.readAll();
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    stats.charsReceived += bytes.size();
    QString arrived = cp1254::decode(bytes);
    if (!m_traffic.empty() && !arrived.isEmpty())
        reportUnasked(arrived);
    return arrived;
}

void Link::WriteHostMode(bool on)
{
    // The answer is not examined.
    writeNoAck(reg::Command, 2, "Lg", QVariant(on ? cmd::HostOn : cmd::HostOff), 0.2, true);
}

}  // namespace vx
