#include "sim/Memories.h"

#include "sim/Wire.h"

#include <array>

namespace vx::sim {
namespace {

using namespace memories;

// The bank: where each stored thing lives (register numbers).
constexpr int BankMarker = MemoryBank - 1;
constexpr quint16 BankMarkerValue = 0x4D31;
constexpr int IdBank = MemoryBank;               // 101 x 10 registers: number 4 bytes, name 16
constexpr int IdRecordWords = 10;
constexpr int IdHeaderBank = MemoryBank + 1100;  // 2 x 6 registers: 12 bytes of text
constexpr int IdHeaderWords = 6;
constexpr int IdHeaderTextBytes = 12;
constexpr int SetpointBank = MemoryBank + 1200;  // 10 x 6 registers: three 32-bit numbers
constexpr int SetpointWords = 6;
constexpr int TicketBank = MemoryBank + 1300;    // a copy of registers 40..103
constexpr int EplBank = MemoryBank + 1400;       // 1000 bytes, the stored text
constexpr int EplWorking = MemoryBank + 2000;    // 1000 bytes, what the client reads and writes

constexpr int IdNameBytes = 16;
// The ticket lines as byte offsets from register 40: header 1-4, then the footnote
// lines from register 83 on.
constexpr std::array<int, 6> TicketLineOffsets = {0, 21, 42, 63, 86, 107};
constexpr int TicketLineBytes = 21;

// The record an ID selector byte names (-1: none).
int idIndexOf(int selector)
{
    if (selector == 0 || selector == 1)
        return selector;
    if (selector >= 128 && selector <= 226)
        return selector - 126;
    return -1;
}

QByteArray be32(qint32 value)
{
    const quint32 u = quint32(value);
    QByteArray out(4, '\0');
    out[0] = char(u >> 24);
    out[1] = char((u >> 16) & 0xFF);
    out[2] = char((u >> 8) & 0xFF);
    out[3] = char(u & 0xFF);
    return out;
}

qint32 fromBe32(const QByteArray &bytes, int at)
{
    quint32 u = 0;
    for (int i = 0; i < 4; ++i)
        u = (u << 8) | quint8(at + i < bytes.size() ? bytes[at + i] : 0);
    return qint32(u);
}

QByteArray fitted(const QString &text, int length, char pad)
{
    QByteArray bytes = wire::encodeText(text).left(length);
    if (bytes.size() < length)
        bytes.append(QByteArray(length - bytes.size(), pad));
    return bytes;
}

QByteArray cutAtNul(const QByteArray &bytes)
{
    const int nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}

// A ticket line as the indicator keeps it: 20 characters, centred or flush left, and a NUL.
QByteArray ticketLine(const QString &text, bool centred)
{
    QString line = text.left(20);
    if (centred) {
        const int free = 20 - int(line.size());
        line = QString(free / 2, QLatin1Char(' ')) + line;
    }
    return fitted(line, 20, ' ') + QByteArray(1, '\0');
}

// The bank's first contents: a weighbridge of a small haulage firm.
void writeDefaults(VirtualIndicator &d)
{
    struct Id {
        int index;
        qint32 number;
        const char *name;
    };
    const Id ids[] = {
        {0, 1024, "YILDIZ NAKLİYAT"}, {1, 34712, "34 ABC 712"},     {2, 1001, "ÖZKAN HAFRİYAT"},
        {3, 1002, "ÇAKIR BETON"},     {4, 1003, "DEMİR İNŞAAT"},   {5, 2001, "KUM 0-5 MM"},
        {6, 2002, "MICIR 5-15 MM"},   {7, 2003, "STABİLİZE"},
    };
    for (int index = 0; index < IdRecords; ++index)
        SetStoredId(d, index, -1, QString());  // unused records: number -1 (erased memory)
    for (const Id &id : ids)
        SetStoredId(d, id.index, id.number, QString::fromUtf8(id.name));

    const char *headers[] = {"FİRMA", "PLAKA"};
    for (int i = 0; i < 2; ++i)
        d.setBytes(IdHeaderBank + IdHeaderWords * i, fitted(QString::fromUtf8(headers[i]), IdHeaderTextBytes, '\0'));

    for (int index = 0; index < SetpointRecords; ++index)
        SetStoredSetpoint(d, index, {0, 0, 0});
    SetStoredSetpoint(d, 0, {5000, 10000, 15000});
    SetStoredSetpoint(d, 1, {2500, 7500, 12000});
    SetStoredSetpoint(d, 2, {20000, 25000, 30000});

    const char *lines[] = {"ÖZTÜRK KANTAR", "OSB 3. Cadde No:12", "Tel 0262 555 12 34", "",
                           "İyi yolculuklar", ""};
    for (int line = 0; line < 6; ++line) {
        const QString text = QString::fromUtf8(lines[line]);
        SetStoredTicketLine(d, line, text.isEmpty() ? QByteArray(TicketLineBytes, '\0') : ticketLine(text, true));
    }

    const QByteArray epl = wire::encodeText(QStringLiteral(
        "N\r\nq608\r\nA40,30,0,4,1,1,N,\"BRUT [G]\"\r\nA40,80,0,4,1,1,N,\"NET  [N]\"\r\n"
        "A40,130,0,3,1,1,N,\"[D] [T]\"\r\nP1\r\n"));
    SetStoredEpl(d, epl);
    d.setReg(BankMarker, BankMarkerValue);
}

void copyRegisters(VirtualIndicator &d, int from, int to, int count)
{
    for (int i = 0; i < count; ++i)
        d.setReg(to + i, d.reg(from + i));
}

}  // namespace

StoredIdRecord StoredId(const VirtualIndicator &device, int index)
{
    const QByteArray bytes = device.bytes(IdBank + IdRecordWords * index, 4 + IdNameBytes);
    return {fromBe32(bytes, 0), wire::decodeText(bytes.mid(4, IdNameBytes))};
}

void SetStoredId(VirtualIndicator &device, int index, qint32 number, const QString &name)
{
    if (index < 0 || index >= IdRecords)
        return;
    device.setBytes(IdBank + IdRecordWords * index, be32(number) + fitted(name, IdNameBytes, ' '));
}

QString StoredIdHeader(const VirtualIndicator &device, int index)
{
    return wire::decodeText(cutAtNul(device.bytes(IdHeaderBank + IdHeaderWords * index, IdHeaderTextBytes)));
}

std::array<qint32, 3> StoredSetpoint(const VirtualIndicator &device, int index)
{
    const QByteArray bytes = device.bytes(SetpointBank + SetpointWords * index, 12);
    return {fromBe32(bytes, 0), fromBe32(bytes, 4), fromBe32(bytes, 8)};
}

void SetStoredSetpoint(VirtualIndicator &device, int index, const std::array<qint32, 3> &values)
{
    if (index < 0 || index >= SetpointRecords)
        return;
    device.setBytes(SetpointBank + SetpointWords * index, be32(values[0]) + be32(values[1]) + be32(values[2]));
}

QByteArray StoredTicketLine(const VirtualIndicator &device, int line)
{
    const QByteArray all = device.bytes(TicketBank, 2 * TicketRegisterCount);
    return all.mid(TicketLineOffsets[size_t(line)], TicketLineBytes);
}

void SetStoredTicketLine(VirtualIndicator &device, int line, const QByteArray &bytes)
{
    QByteArray all = device.bytes(TicketBank, 2 * TicketRegisterCount);
    all.replace(TicketLineOffsets[size_t(line)], TicketLineBytes, bytes.left(TicketLineBytes).leftJustified(TicketLineBytes, '\0'));
    device.setBytes(TicketBank, all);
}

QByteArray StoredEpl(const VirtualIndicator &device) { return device.bytes(EplBank, EplBytes); }

void SetStoredEpl(VirtualIndicator &device, const QByteArray &bytes)
{
    const QByteArray area = bytes.left(EplBytes).leftJustified(EplBytes, '\0');
    device.setBytes(EplBank, area);
    device.setBytes(EplWorking, area);
}

void InstallMemories(VirtualIndicator &device)
{
    if (device.reg(BankMarker) != BankMarkerValue)
        writeDefaults(device);
    // After power-up the working registers hold what is stored.
    copyRegisters(device, TicketBank, TicketFirstRegister, TicketRegisterCount);
    copyRegisters(device, EplBank, EplWorking, EplBytes / 2);

    // ID records.
    device.onCommand(10, [](VirtualIndicator &d) {
        const int selector = quint8(d.bytes(IdRecordRegister, 1).at(0));
        const int index = idIndexOf(selector);
        if (index < 0)
            return;
        const QByteArray stored = d.bytes(IdBank + IdRecordWords * index, 4 + IdNameBytes);
        d.setBytes(IdRecordRegister, QByteArray(1, char(selector)) + stored + QByteArray(3, '\0'));
    });
    device.onCommand(11, [](VirtualIndicator &d) {
        const QByteArray record = d.bytes(IdRecordRegister, 1 + 4 + IdNameBytes);
        const int index = idIndexOf(quint8(record.at(0)));
        if (index >= 0)
            d.setBytes(IdBank + IdRecordWords * index, record.mid(1));
    });

    // ID headers.
    device.onCommand(15, [](VirtualIndicator &d) {
        const int index = quint8(d.bytes(IdHeaderRegister, 1).at(0));
        if (index > 1)
            return;
        const QByteArray text = d.bytes(IdHeaderBank + IdHeaderWords * index, IdHeaderTextBytes);
        d.setBytes(IdHeaderRegister, QByteArray(1, char(index)) + text + QByteArray(1, '\0'));
    });
    device.onCommand(16, [](VirtualIndicator &d) {
        const QByteArray block = d.bytes(IdHeaderRegister, 14);
        const int index = quint8(block.at(0));
        if (index > 1)
            return;
        // The text ends at its NUL; the rest of the stored header is cleared.
        const QByteArray text = cutAtNul(block.mid(1, IdHeaderTextBytes));
        d.setBytes(IdHeaderBank + IdHeaderWords * index, text.leftJustified(IdHeaderTextBytes, '\0'));
    });

    // Setpoint records.
    device.onCommand(1, [](VirtualIndicator &d) {
        const int index = quint8(d.bytes(SetpointRegister, 1).at(0));
        if (index >= SetpointRecords)
            return;
        d.setBytes(SetpointRegister, QByteArray(1, char(index)) + d.bytes(SetpointBank + SetpointWords * index, 12)
                                         + QByteArray(1, '\0'));
    });
    device.onCommand(2, [](VirtualIndicator &d) {
        const QByteArray record = d.bytes(SetpointRegister, 13);
        const int index = quint8(record.at(0));
        if (index < SetpointRecords)
            d.setBytes(SetpointBank + SetpointWords * index, record.mid(1, 12));
    });

    // Ticket lines.
    device.onCommand(3, [](VirtualIndicator &d) {
        copyRegisters(d, TicketBank, TicketFirstRegister, TicketRegisterCount);
    });
    device.onCommand(4, [](VirtualIndicator &d) {
        copyRegisters(d, TicketFirstRegister, TicketBank, TicketRegisterCount);
    });

    // The EPL area, addressed by the byte.
    for (int offset = 0; offset < EplBytes; ++offset) {
        const int reg = EplRegister + offset;
        device.onRead(reg, [offset](VirtualIndicator &d, int r, int byteCount) {
            QByteArray working = d.bytes(EplWorking, EplBytes).mid(offset, byteCount);
            d.setBytes(r, working.leftJustified(byteCount, '\0'));
        });
        device.onWrite(reg, [offset](VirtualIndicator &d, int, const QByteArray &data) {
            QByteArray working = d.bytes(EplWorking, EplBytes);
            const QByteArray part = data.left(EplBytes - offset);
            working.replace(offset, part.size(), part);
            d.setBytes(EplWorking, working);
        });
    }
    device.onCommand(21, [](VirtualIndicator &d) { copyRegisters(d, EplWorking, EplBank, EplBytes / 2); });
}

}  // namespace vx::sim
