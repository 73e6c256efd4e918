#pragma once
// The command transaction: requests out, waits, drained answers in, acknowledged
// writes with retries and the Abort/Retry/Ignore question, host mode and the
// communication log. One Link object carries what the original kept in shared
// module state: the link settings in use, the decode context and AbortRequested.

#include "link/Answer.h"
#include "link/Codec.h"
#include "link/Interfaces.h"
#include "link/Settings.h"
#include "link/Traffic.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace vx {

// "ZRxLog.txt": one line per entry, opened, appended and closed each time.
class CommsLog {
public:
    explicit CommsLog(QString filePath = {});
    void setFilePath(const QString &filePath) { m_path = filePath; }
    QString filePath() const { return m_path; }
    // Appends line + CR LF; a log that cannot be written is skipped quietly (false).
    bool AppendCommsLog(const QString &line) const;

private:
    QString m_path;
};

// Cevap: the six characters of a write acknowledgement after "@" and the address.
QString Cevap(const QString &address, const QString &answer);
// The indicator acknowledges a write of byteCount bytes with "10" and the register
// count (4 hex digits) after "@" and the address: what WriteAcknowledged waits for.
bool IsWriteAcknowledgement(const QString &address, const QString &answer, int byteCount);

class Link {
public:
    Link(SerialPortIo &port, Clock &clock, Operator &op, CommsLog &log);

    SerialPortIo &port() { return m_port; }
    Clock &clock() { return m_clock; }
    Operator &op() { return m_op; }
    CommsLog &log() { return m_log; }

    LinkSettings settings;            // address, checksum, reading time and drain mode in use
    DecodeContext decode;             // weekday names, WeekdayText, the log
    QString transactionErrorText = QStringLiteral("İletişim hatası");  // text 306
    bool AbortRequested = false;

    // Waits. Both end at midnight rather than hang when the clock wraps.
    void WaitSeconds(double seconds);
    void WaitSecondsNoPump(double seconds);

    // IntOku: waits the reading time, then returns everything received (empty: nothing came).
    QString IntOku();

    // The one exchange primitive: discard (and log) late bytes of an earlier
    // request, send the frame, wait preDelay plus the reading time and drain.
    // Fixed mode: the wait counts from handing the frame to the port and the answer
    // is what has arrived when it ends. Frame-end mode: the wait counts from the
    // moment the frame has left the line (its length at the line speed); it returns
    // as soon as a whole answer ("@" ... CR) is in, and an answer that has begun by
    // the end of the wait is collected while characters keep coming (a pause of
    // GapCharacters, at least MinGapSeconds), for no longer than longestAnswer
    // characters take from its first one.
    QString exchange(const QString &frame, double preDelay = 0.0, bool pumpEvents = true,
                     int longestAnswer = LongestAnswerLength);
    static constexpr double GapCharacters = 4.0;
    // USB serial adapters hold received characters back for up to 16 ms.
    static constexpr double MinGapSeconds = 0.03;
    // Before an operation's first request: reads and discards (and logs) whatever is
    // still arriving of an answer to an earlier operation. What has already come is
    // read at once; when nothing has come and this link's last exchange ended on a
    // whole frame, that is all (a quiet line costs nothing). When something had come,
    // or the last exchange ended badly (no answer, cut off, another frame), the rest
    // may still be on its way: it is collected until the line has been quiet for the
    // gap (GapCharacters, at least MinGapSeconds), for no longer than the longest
    // answer takes. A straggler later still spoils the next answer, which the answer
    // rule judges another frame, and the sequence reads again. Events are not
    // processed meanwhile. Nothing on a closed port.
    void DrainStaleInput();
    // Whether the last exchange ended badly (see DrainStaleInput).
    bool lastExchangeEndedBadly() const { return m_lastExchangeBad; }
    // Seconds a character takes at the line speed of settings.PortSettings
    // (9600 baud, 10 bits when the text is malformed).
    double characterSeconds() const;

    // Read exchange (pattern 1) with the link's address and checksum: the raw answer...
    QString readRaw(int reg, int byteCount, double preDelay = 0.0);
    // ...and the decoded value (invalid QVariant when empty).
    QVariant read(int reg, int byteCount, ReadTag tag, double preDelay = 0.0);
    // expectedByteCount: what the request asked for; -1 accepts any count that matches the data.
    QVariant decodeAnswer(const QString &answer, ReadTag tag, int reg, int expectedByteCount = -1);

    // The judged forms: every sequence decides on the outcome, not on the text.
    // A read of byteCount bytes of `reg`, judged.
    Answer readAnswer(int reg, int byteCount, double preDelay = 0.0);
    // An unacknowledged write (as writeNoAck), its answer judged: Whole when it is the
    // acknowledgement.
    Answer writeAnswer(int reg, int byteCount, WriteTag dataType, const QVariant &data, double preDelay = 0.0,
                       bool pumpEvents = true);
    // An answer already received, judged with the link's address and checksum.
    Answer judgeRead(const QString &raw, int expectedByteCount = -1) const;
    Answer judgeWrite(const QString &raw, int byteCount) const;
    // The value of a judged read answer (as decodeAnswer: logged when not whole or
    // when its checksum differs).
    QVariant valueOf(const Answer &answer, ReadTag tag, int reg);

    // Unacknowledged write (pattern 3): the answer is returned but not examined.
    QString writeNoAck(int reg, int byteCount, WriteTag dataType, const QVariant &data,
                       double preDelay = 0.0, bool pumpEvents = true);

    // WriteAcknowledged: acknowledged write with up to 9 attempts a series; after more than
    // 3 attempts the operator chooses Abort (sets AbortRequested), Retry or Ignore (logged).
    void WriteAcknowledged(const QString &address, int reg, int byteCount, bool checksumOn,
                      WriteTag dataType, const QVariant &data);
    // The same with the link's address and checksum.
    void WriteAcknowledged(int reg, int byteCount, WriteTag dataType, const QVariant &data);
    // A write already sent once with waits of its own: `answer` is what came for it.
    // Without the acknowledgement the write goes into WriteAcknowledged's retry series.
    void WriteAcknowledgedUnlessDone(const QString &answer, int reg, int byteCount, WriteTag dataType,
                                        const QVariant &data);

    // Whether `answer` acknowledges a write of byteCount bytes (the link's address).
    bool acknowledged(const QString &answer, int byteCount) const;
    // Everything that has arrived since the last drain, without waiting.
    QString collectArrived();

    // WriteHostMode: command 19 (on) or 20 (off) to register 19, wait 0.2 s, drain.
    void WriteHostMode(bool on);

    // Appends to the communication log (and tells the traffic listeners of the line).
    void AppendCommsLog(const QString &line);
    // Current date in the system short format: the prefix of every log line.
    QString shortDate() const;

    // Whether an operation holds the line (a LineLease is in force). Not while a poll
    // that gives way (LineLease::Options::givesWay) is in a fixed wait: an operation
    // started then takes the line over.
    bool lineHeld() const { return m_lineHeld && !m_mayTakeOver; }

    // What crossed the line, for the benchmark and the tests.
    struct Stats {
        qint64 charsSent = 0;
        qint64 charsReceived = 0;
        int exchanges = 0;
        double waitedSeconds = 0;  // asked of WaitSeconds and WaitSecondsNoPump
    };
    Stats stats;

    // Listeners told of every request, answer and log line (TrafficEvent), in the
    // order they were added. With none the link formats and allocates nothing for them.
    void addTrafficListener(TrafficListener *listener);
    void removeTrafficListener(TrafficListener *listener);
    bool hasTrafficListeners() const { return !m_traffic.empty(); }

private:
    friend class LineLease;
    void setLineHeld(bool held) { m_lineHeld = held; }
    // The fixed wait of an exchange. A poll that gives way lets the mouse and the keys
    // through meanwhile, and the wait ends as soon as an operation they started has taken
    // the line over (false: the answer on its way is no longer this exchange's).
    bool fixedWait(double seconds, bool pumpEvents);
    QString drain(double seconds, bool pumpEvents, int longestAnswer, bool *takenOver = nullptr);
    void discardLateBytes();

    // What a request asks, for the traffic listeners: a read when tag is null.
    struct Request {
        int reg = 0;
        int byteCount = 0;
        const QString *address = nullptr;
        bool checksumOn = false;
        const WriteTag *tag = nullptr;
        const QVariant *data = nullptr;
    };
    QString exchangeFor(const Request *request, const QString &frame, double preDelay, bool pumpEvents,
                        int longestAnswer);
    // Whether an answer leaves the line in doubt: nothing came, cut off or another frame.
    bool endedBadly(const Request *request, const QString &answer) const;
    void reportRequest(const Request *request, const QString &frame, double sentAt);
    void reportAnswer(const Request *request, const QString &answer, double sentAt);
    void reportUnasked(const QString &bytes);
    void report(const TrafficEvent &event);

    SerialPortIo &m_port;
    Clock &m_clock;
    Operator &m_op;
    CommsLog &m_log;
    bool m_lineHeld = false;
    bool m_pollGivesWay = false;  // the lease in force is a poll that gives way
    bool m_mayTakeOver = false;   // ... and it is in a fixed wait
    unsigned m_takeOvers = 0;     // operations that took the line over from such a poll
    bool m_lastExchangeBad = false;
    std::vector<TrafficListener *> m_traffic;
};

}  // namespace vx
