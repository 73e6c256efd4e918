#pragma once
// How the virtual indicator reads a request off the line, shapes its answer, and
// hands reads, writes and commands to the handlers the features installed.

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace vx::sim {

class VirtualIndicator;

// A request for this indicator, as read off the line.
struct Request {
    bool write = false;
    int reg = 0;
    int count = 0;      // register count field
    int byteCount = 0;  // byte count field (writes)
    QByteArray data;    // data bytes (writes)
};

// Reads of more registers than this are refused. The byte count field of an
// answer has two digits; larger blocks go out with it cut to its low digits.
constexpr int kMaxReadRegisters = 1024;

// The value of hex digits; -1 when they are not hex.
int HexValue(const QByteArray &text);

// The address field the indicator expects and answers with: two hex digits, or
// nothing for "" and "00" (frames without an address field).
QByteArray AddressField(const QString &address);

// Parses a request (the text between "@" and CR; bytes before the last "@" are
// ignored). Nothing when it is malformed, carries a wrong or missing checksum, or
// is for another address.
std::optional<Request> ParseRequest(const QByteArray &text, const QByteArray &addressField, bool checksum);

// "@", the body, the checksum when it is on, CR.
QByteArray Framed(const QByteArray &body, bool checksum);
// Answer bodies (after "@", before the checksum).
QByteArray RefusalBody(const Request &r);  // "80" + function + "01", never an address field
QByteArray BusyBody(const Request &r);     // "90" + function + "01"
QByteArray ReadAnswerBody(const QByteArray &addressField, const QByteArray &data);
QByteArray WriteAnswerBody(const QByteArray &addressField, int registerCount);

// The handlers features install (see sim/Modules.h). Several may be installed for
// one code or register: they run in the order installed.
class Handlers {
public:
    using CommandHandler = std::function<void(VirtualIndicator &)>;
    using WriteHook = std::function<void(VirtualIndicator &, int reg, const QByteArray &data)>;
    using ReadHook = std::function<void(VirtualIndicator &, int reg, int byteCount)>;

    void onCommand(int code, CommandHandler handler);
    void onWrite(int reg, WriteHook hook);
    void onRead(int reg, ReadHook hook);

    // A read of byteCount bytes from reg is about to be answered.
    void read(VirtualIndicator &indicator, int reg, int byteCount) const;
    // A write of data to reg has landed in the registers.
    void wrote(VirtualIndicator &indicator, int reg, const QByteArray &data) const;
    // code was written to the command register.
    void command(VirtualIndicator &indicator, int code) const;

private:
    std::map<int, std::vector<CommandHandler>> m_commands;
    std::map<int, std::vector<WriteHook>> m_writes;
    std::map<int, std::vector<ReadHook>> m_reads;
};

}  // namespace vx::sim
