#pragma once
// The indicator's memories and ticket layout: the 101 ID records and the two ID
// headers, the setpoint records, the six ticket lines and the EPL command text.
//
// What the indicator keeps lives in a register bank of its own that no client
// addresses (from MemoryBank on), so a state file carries it; the client reaches it
// only through the working registers and the command codes:
//   105  ID record: byte 0 the selector (0, 1, 128..226), then the number (4 bytes,
//        big-endian, signed) and the name (16 bytes); command 10 loads the selected
//        record, 11 stores it. Any other selector (227 included) loads and stores
//        nothing.
//   209  ID header: byte 0 the header (0, 1), then the text; 15 loads, 16 stores.
//   117  setpoint record: byte 0 the record (0..9), then three signed 32-bit
//        numbers; 1 loads, 2 stores.
//   40..103  the six ticket lines, 21 bytes each (20 characters and a NUL), the
//        footnote lines from register 83; 3 loads them from the bank, 4 stores them.
//   217..1216  the EPL text, addressed by the byte: register 217 + n is byte n, so a
//        client reading 8 bytes at a time advances the register number by 8 and one
//        writing 4 bytes by 4. 21 stores the text in the bank.

#include "sim/VirtualIndicator.h"

#include <array>

namespace vx::sim {

namespace memories {
inline constexpr int IdRecordRegister = 105;
inline constexpr int IdHeaderRegister = 209;
inline constexpr int SetpointRegister = 117;
inline constexpr int TicketFirstRegister = 40;
inline constexpr int TicketRegisterCount = 64;  // 40..103
inline constexpr int EplRegister = 217;
inline constexpr int EplBytes = 1000;
inline constexpr int IdRecords = 101;
inline constexpr int SetpointRecords = 10;
inline constexpr int MemoryBank = 40000;
}  // namespace memories

// Installs the memories. A register image that already holds a bank (from a state
// file) keeps it; otherwise the bank gets a few believable records and ticket lines.
void InstallMemories(VirtualIndicator &device);

// The indicator's stored records, as a test or a demo reads them.
struct StoredIdRecord {
    qint32 number = 0;
    QString name;  // 16 characters as stored
};
StoredIdRecord StoredId(const VirtualIndicator &device, int index);
void SetStoredId(VirtualIndicator &device, int index, qint32 number, const QString &name);
QString StoredIdHeader(const VirtualIndicator &device, int index);  // up to the first NUL
std::array<qint32, 3> StoredSetpoint(const VirtualIndicator &device, int index);
void SetStoredSetpoint(VirtualIndicator &device, int index, const std::array<qint32, 3> &values);
// Ticket line 0..5 (header 1-4, footnote 1-2): the 21 stored bytes.
QByteArray StoredTicketLine(const VirtualIndicator &device, int line);
void SetStoredTicketLine(VirtualIndicator &device, int line, const QByteArray &bytes);
QByteArray StoredEpl(const VirtualIndicator &device);  // 1000 bytes
void SetStoredEpl(VirtualIndicator &device, const QByteArray &bytes);

}  // namespace vx::sim
