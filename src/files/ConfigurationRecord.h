#pragma once
// The configuration file: one fixed binary record holding the whole working set
// (ticket layout, ID memory, setpoint memory, the parameter grid, preset tares).
// Its file form is described once, by the field table below (name, offset, count,
// width, type); the file reader, the writer, the dump and the parameter collector
// all walk that table.
//
// File form: little-endian numbers, no padding, no header, no checksum. Texts are
// Windows-1254, one byte a character. Text(n) is exactly n bytes; VarText is a
// 16-bit length and that many bytes; Bool16 is FF FF for true, 00 00 for false;
// Reserved bytes are kept as a file gave them. With every variable text empty the
// record is 6548 bytes and ParameterBlockA starts at 3436; each variable text moves
// what follows it by its length.

#include "memory/IdMemory.h"
#include "memory/PresetTares.h"
#include "memory/SetpointMemory.h"
#include "memory/TicketLayout.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace vx {

inline constexpr int ParameterBlockASize = 234;
inline constexpr int ParameterBlockBSize = 2078;
inline constexpr int EmptyRecordSize = 6548;

// The parameter grid's part of the record, in file form: the field table says which
// bytes hold which row (ParametreKaydet and ParametreOku go through it). Bytes no
// row assigns keep what the file gave them.
struct ParameterBlockA {
    QByteArray bytes = QByteArray(ParameterBlockASize, '\0');
};
struct ParameterBlockB {
    QByteArray bytes = QByteArray(ParameterBlockBSize, '\0');
};

struct ConfigurationRecord {
    TicketBlock ticket;               // HeaderLines .. FootnoteCentered
    IdMemoryBlock idMemory;
    SetpointMemoryBlock setpoints;
    QString ParameterRow1Text;        // row 1 and its held suffix
    ParameterBlockA parameterBlockA;
    ParameterBlockB parameterBlockB;
    PresetTareBlock presetTares;
};

namespace record {

enum class Type { Text, VarText, Bool16, Int16, Int32, Double, Reserved };

// The parts of the record, in file order.
enum class Section { Ticket, IdMemory, Setpoints, Parameters, PresetTares };

// Where a field's value lives in memory: a typed member of a memory block, or (the
// parameter blocks) its bytes inside the block.
struct BlockBytes {
    QByteArray *block;
    int offset;  // of the element inside the block
};
using Slot = std::variant<QString *, bool *, double *, BlockBytes>;
using Access = Slot (*)(ConfigurationRecord &, int index);

struct Field {
    const char *name;  // "HeaderLines", "A9", "G[2].f8"
    int offset;        // in a record whose variable texts are all empty
    int count;         // elements one after another (HeaderLines: 4)
    int width;         // bytes an element takes (VarText: its length field)
    Type type;
    Section section;
    int row = 0;             // parameter fields: the parameter grid row they hold (0: none)
    Access at = nullptr;     // typed members; the parameter blocks have none
};

std::span<const Field> Fields();
// Its element `index` in a record.
Slot SlotOf(ConfigurationRecord &record, const Field &field, int index);

// "Text(21)", "VarText", "Int32" ...
QString TypeName(const Field &field);
QString SectionName(Section section);

}  // namespace record

// The record in file form.
QByteArray EncodeRecord(const ConfigurationRecord &record);

// The record read from the start of `bytes`; bytes after its end are ignored. Nothing
// when the bytes end before the record does (a file cut off). recordSize: the bytes
// the record took.
std::optional<ConfigurationRecord> DecodeRecord(const QByteArray &bytes, int *recordSize = nullptr);

// One element of the record as the dump shows it.
struct DumpEntry {
    const record::Field *field;
    int index;      // element of the field (0 for a single one)
    int offset;     // where it lies in this record's file form
    QString name;   // "HeaderLines[2]", "A9"
    QVariant value; // QString for texts, bool, qint64 for numbers, double, QByteArray for reserved bytes
};
std::vector<DumpEntry> DumpRecord(const ConfigurationRecord &record);

}  // namespace vx
