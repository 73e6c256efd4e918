#pragma once
// The virtual indicator: a register memory of 16-bit words that answers the read
// and write frames of the register protocol like the real device, with host mode
// on command register 19, a handler table for the other command codes and faults
// on demand. Transports (in-process, pseudo-terminal) feed it bytes.
//
// It ties together the register bank (sim/RegisterBank.h), the reading and
// answering of requests with the installed handlers (sim/Dispatch.h), the faults
// (sim/FaultInjection.h) and the state file (sim/StateFile.h).

#include "sim/Dispatch.h"
#include "sim/FaultInjection.h"
#include "sim/Faults.h"
#include "sim/RegisterBank.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace vx::sim {

class VirtualIndicator {
public:
    struct Options {
        QString model = QStringLiteral("ZR2 V2.20 ");  // 10 characters at register 199
        QString secondText = QStringLiteral("SN00012345");  // 10 characters at register 204
        QString address;        // empty or "00": answers frames without address field
        bool checksum = true;   // frames and answers carry the LRC
        // Off (default): a write stores the data it carries, whatever its byte count
        // says. On: a write whose data length, byte count and register count do not
        // agree is refused with an "@8" answer.
        bool strictWrites = false;
    };

    VirtualIndicator();
    explicit VirtualIndicator(Options options);

    const Options &options() const { return m_options; }
    void setModel(const QString &text);       // register 199, padded/cut to 10 characters
    void setSecondText(const QString &text);  // register 204
    void setAddress(const QString &address) { m_options.address = address; }
    void setChecksum(bool on) { m_options.checksum = on; }

    // Register memory. Unknown registers read as zero.
    quint16 reg(int index) const { return m_bank.reg(index); }
    // Whether the register was ever set (by a write, a module or a loaded state):
    // a module's defaults fill only the registers the image does not hold yet.
    bool holds(int index) const { return m_bank.holds(index); }
    void setReg(int index, quint16 value) { m_bank.setReg(index, value); }
    // Big-endian bytes starting at register index (byteCount may be odd; rounded up).
    QByteArray bytes(int index, int byteCount) const { return m_bank.bytes(index, byteCount); }
    void setBytes(int index, const QByteArray &data) { m_bank.setBytes(index, data); }
    // A 32-bit value over two registers (high word first), as the "LG" tag reads it.
    void setLong(int index, qint32 value) { m_bank.setLong(index, value); }
    qint32 longAt(int index) const { return m_bank.longAt(index); }
    // Text in the device's code page, padded with blanks or cut to byteCount.
    void setText(int index, const QString &text, int byteCount) { m_bank.setText(index, text, byteCount); }

    bool hostMode() const { return m_hostMode; }
    void setHostMode(bool on) { m_hostMode = on; }

    // Handlers, the way features plug into the one register memory (see
    // sim/Modules.h). A command handler runs when its code is written to register
    // 19 (19 and 20 also switch host mode). A write hook runs after a write lands in
    // the registers; a read hook runs before a read is answered (to refresh live
    // values). Several may be installed for one code or register: they run in the
    // order installed, so a later one has the last word.
    using CommandHandler = Handlers::CommandHandler;
    using WriteHook = Handlers::WriteHook;
    using ReadHook = Handlers::ReadHook;
    void onCommand(int code, CommandHandler handler) { m_handlers.onCommand(code, std::move(handler)); }
    void onWrite(int reg, WriteHook hook) { m_handlers.onWrite(reg, std::move(hook)); }
    void onRead(int reg, ReadHook hook) { m_handlers.onRead(reg, std::move(hook)); }

    // Faults.
    void addFault(const FaultRule &rule) { m_faults.add(rule); }
    void clearFaults() { m_faults.clear(); }

    // What a transport does with a finished request (the text between "@" and CR,
    // without the CR but with "@"). The answer includes its CR; no value means
    // the indicator stays silent. extraDelay is set for late answers.
    struct Reply {
        QByteArray bytes;
        double extraDelay = 0;
    };
    std::optional<Reply> handle(const QByteArray &request);

    // Every request received (with "@", without CR), oldest first.
    const QStringList &requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    // Command codes written to register 19, in order.
    const std::vector<int> &commands() const { return m_commands; }
    void clearCommands() { m_commands.clear(); }
    // Requests that were for this indicator and well formed (the count every=N uses).
    long requestCount() const { return m_requestCount; }
    // Faults that have fired, in order.
    const std::vector<FaultKind> &faultsFired() const { return m_faults.fired(); }

    // State file: registers as "index=value" lines plus the two texts. Missing file: false.
    bool loadState(const QString &path, QString *error = nullptr);
    bool saveState(const QString &path, QString *error = nullptr) const;

private:
    // Carries out a request and returns the answer body (after "@", before the LRC).
    QByteArray process(const Request &r);

    Options m_options;
    RegisterBank m_bank;
    bool m_hostMode = false;
    Handlers m_handlers;
    FaultInjector m_faults;
    long m_requestCount = 0;
    QStringList m_requests;
    std::vector<int> m_commands;
};

}  // namespace vx::sim
