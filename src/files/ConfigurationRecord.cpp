#include "files/ConfigurationRecord.h"

#include "link/Cp1254.h"

#include <QtEndian>
#include <cstring>

namespace vx {
namespace record {
namespace {

using T = Type;
using S = Section;
using R = ConfigurationRecord;

constexpr int kBlockA = 3436;
constexpr int kBlockB = kBlockA + ParameterBlockASize;
constexpr int kText = 25;  // a parameter text field

// A field of a parameter block holding grid row `row`, and one that no row assigns.
constexpr Field P(const char *name, int offset, int row, Type type = T::Text, int width = kText)
{
    return {name, offset, 1, width, type, S::Parameters, row, nullptr};
}
constexpr Field Reserved(const char *name, int offset, int width = kText)
{
    return {name, offset, 1, width, T::Reserved, S::Parameters, 0, nullptr};
}

// In file order. The offsets are those of a record whose variable texts are empty;
// they are checked against the widths below.
constexpr Field kFields[] = {
    {"HeaderLines", 0, HeaderLineCount, StoredLineWidth, T::Text, S::Ticket, 0,
     +[](R &r, int i) -> Slot { return &r.ticket.HeaderLines[size_t(i)]; }},
    {"FootnoteLines", 84, FootnoteLineCount, StoredLineWidth, T::Text, S::Ticket, 0,
     +[](R &r, int i) -> Slot { return &r.ticket.FootnoteLines[size_t(i)]; }},
    {"EplText", 126, 1, EplTextCapacity, T::Text, S::Ticket, 0, +[](R &r, int) -> Slot { return &r.ticket.EplText; }},
    {"HeaderCentered", 1126, 1, 2, T::Bool16, S::Ticket, 0, +[](R &r, int) -> Slot { return &r.ticket.HeaderCentered; }},
    {"FootnoteCentered", 1128, 1, 2, T::Bool16, S::Ticket, 0,
     +[](R &r, int) -> Slot { return &r.ticket.FootnoteCentered; }},
    {"IdNames", 1130, IdRecordCount, IdNameWidth, T::Text, S::IdMemory, 0,
     +[](R &r, int i) -> Slot { return &r.idMemory.IdNames[size_t(i)]; }},
    {"IdNumbers", 2746, IdRecordCount, IdNumberWidth, T::Text, S::IdMemory, 0,
     +[](R &r, int i) -> Slot { return &r.idMemory.IdNumbers[size_t(i)]; }},
    {"IdHeaders", 3352, IdHeaderCount, IdHeaderWidth, T::Text, S::IdMemory, 0,
     +[](R &r, int i) -> Slot { return &r.idMemory.IdHeaders[size_t(i)]; }},
    {"Setpoint1", 3374, SetpointBlockRecordCount, 2, T::VarText, S::Setpoints, 0,
     +[](R &r, int i) -> Slot { return &r.setpoints.Setpoint1[size_t(i)]; }},
    {"Setpoint2", 3394, SetpointBlockRecordCount, 2, T::VarText, S::Setpoints, 0,
     +[](R &r, int i) -> Slot { return &r.setpoints.Setpoint2[size_t(i)]; }},
    {"Setpoint3", 3414, SetpointBlockRecordCount, 2, T::VarText, S::Setpoints, 0,
     +[](R &r, int i) -> Slot { return &r.setpoints.Setpoint3[size_t(i)]; }},
    {"ParameterRow1Text", 3434, 1, 2, T::VarText, S::Parameters, 1,
     +[](R &r, int) -> Slot { return &r.ParameterRow1Text; }},

    // ParameterBlockA: the calibration rows.
    P("A1", 3436, 62),
    Reserved("A2", 3461),
    P("A3", 3486, 63),
    P("A4", 3511, 64),
    P("A5", 3536, 65),
    P("A6", 3561, 66),
    P("A7", 3586, 67),
    P("A8", 3611, 68),
    P("A9", 3636, 69, T::Int32, 4),
    P("A10", 3640, 70, T::Int32, 4),
    P("A11", 3644, 71, T::Int32, 4),
    P("A12", 3648, 72, T::Int32, 4),
    P("A13", 3652, 73, T::Int32, 4),
    P("A14", 3656, 74, T::Int32, 4),
    P("A15", 3660, 75, T::Int32, 4),
    P("A16", 3664, 76, T::Int32, 4),
    Reserved("A17", 3668, 2),

    // ParameterBlockB: the configuration rows.
    P("B1", 3670, 3),
    P("B2", 3695, 4),
    P("B3", 3720, 5),
    P("B4", 3745, 6),
    P("B5", 3770, 7),
    P("B6", 3795, 8),
    P("B7", 3820, 9),
    P("B8", 3845, 10),
    P("B9", 3870, 11),
    Reserved("B10", 3895),
    Reserved("B11", 3920),
    P("C1", 3945, 13),
    Reserved("C2", 3970),
    Reserved("C3", 3995),
    P("C4", 4020, 14),
    P("C5", 4045, 15),
    P("C6", 4070, 16),
    P("C7", 4095, 17),
    Reserved("C8", 4120),
    P("C9", 4145, 18, T::Int32, 4),
    P("C10", 4149, 19),
    P("C11", 4174, 20, T::Int32, 4),
    P("C12", 4178, 21),
    P("C13", 4203, 22),
    P("C14", 4228, 23),
    P("C15", 4253, 24),
    P("C16", 4278, 25),
    Reserved("C17", 4303),
    P("C18", 4328, 26),
    P("C19", 4353, 27),
    Reserved("C20", 4378),
    Reserved("C21", 4403, 1),
    // The serial channels: four groups of nine texts.
    P("G[0].f0", 4404, 29),
    P("G[0].f1", 4429, 30),
    P("G[0].f2", 4454, 32),
    P("G[0].f3", 4479, 31),
    Reserved("G[0].f4", 4504),
    Reserved("G[0].f5", 4529),
    Reserved("G[0].f6", 4554),
    Reserved("G[0].f7", 4579),
    P("G[0].f8", 4604, 33),
    P("G[1].f0", 4629, 35),
    P("G[1].f1", 4654, 36),
    P("G[1].f2", 4679, 38),
    P("G[1].f3", 4704, 37),
    Reserved("G[1].f4", 4729),
    Reserved("G[1].f5", 4754),
    Reserved("G[1].f6", 4779),
    Reserved("G[1].f7", 4804),
    P("G[1].f8", 4829, 39),
    P("G[2].f0", 4854, 41),
    P("G[2].f1", 4879, 42),
    P("G[2].f2", 4904, 44),
    P("G[2].f3", 4929, 43),
    P("G[2].f4", 4954, 45),
    Reserved("G[2].f5", 4979),
    Reserved("G[2].f6", 5004),
    Reserved("G[2].f7", 5029),
    P("G[2].f8", 5054, 46),
    P("G[3].f0", 5079, 48),
    Reserved("G[3].f1", 5104),
    P("G[3].f2", 5129, 49),
    Reserved("G[3].f3", 5154),
    Reserved("G[3].f4", 5179),
    Reserved("G[3].f5", 5204),
    Reserved("G[3].f6", 5229),
    Reserved("G[3].f7", 5254),
    Reserved("G[3].f8", 5279),
    P("D1", 5304, 51),
    P("D2", 5329, 52),
    P("D3", 5354, 57),
    P("D4", 5379, 53),
    P("D5", 5404, 56, T::Int32, 4),
    P("D6", 5408, 54),
    P("D7", 5433, 55),
    P("D8", 5458, 58),
    P("D9", 5483, 59),
    P("D10", 5508, 60, T::Text, 2),
    Reserved("D11", 5510),
    Reserved("D12", 5535),
    P("D13", 5560, 78, T::Int16, 2),
    P("D14", 5562, 79, T::Int16, 2),
    Reserved("D15", 5564),
    Reserved("D16", 5589),
    Reserved("D17", 5614),
    P("D18", 5639, 80),
    P("D19", 5664, 81),
    Reserved("D20", 5689, 9),
    P("D21", 5698, 82),
    P("D22", 5723, 83),

    {"PresetTare", 5748, PresetTareBlockCount, 8, T::Double, S::PresetTares, 0,
     +[](R &r, int i) -> Slot { return &r.presetTares.PresetTare[size_t(i)]; }},
};

// Every offset follows from the one before; the blocks begin and end where the
// record says.
constexpr bool laidOutInOrder()
{
    int at = 0;
    for (const Field &f : kFields) {
        if (f.offset != at)
            return false;
        if (f.offset == kBlockA && f.name[0] != 'A')
            return false;
        at += f.count * f.width;
    }
    return at == EmptyRecordSize;
}
static_assert(laidOutInOrder(), "the field table's offsets follow its widths and end at 6548");
static_assert(kBlockB == 3670 && kBlockB + ParameterBlockBSize == 5748);

}  // namespace

std::span<const Field> Fields() { return kFields; }

Slot SlotOf(ConfigurationRecord &r, const Field &field, int index)
{
    if (field.at)
        return field.at(r, index);
    // A parameter block: the element's bytes inside it.
    const int offset = field.offset + index * field.width;
    if (offset < kBlockB)
        return BlockBytes{&r.parameterBlockA.bytes, offset - kBlockA};
    return BlockBytes{&r.parameterBlockB.bytes, offset - kBlockB};
}

QString TypeName(const Field &field)
{
    switch (field.type) {
    case T::Text: return QStringLiteral("Text(%1)").arg(field.width);
    case T::VarText: return QStringLiteral("VarText");
    case T::Bool16: return QStringLiteral("Bool16");
    case T::Int16: return QStringLiteral("Int16");
    case T::Int32: return QStringLiteral("Int32");
    case T::Double: return QStringLiteral("Double");
    case T::Reserved: return QStringLiteral("Reserved(%1)").arg(field.width);
    }
    return {};
}

QString SectionName(Section section)
{
    switch (section) {
    case S::Ticket: return QStringLiteral("Header and footnote");
    case S::IdMemory: return QStringLiteral("ID memory");
    case S::Setpoints: return QStringLiteral("Setpoint memory");
    case S::Parameters: return QStringLiteral("Parameters");
    case S::PresetTares: return QStringLiteral("Preset tare memory");
    }
    return {};
}

}  // namespace record

namespace {

using record::BlockBytes;
using record::Field;
using record::Type;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

constexpr int kLongestVarText = 0xFFFF;

// A Text(n) field: n bytes, cut or padded with blanks when the text is not n long.
QByteArray textBytes(const QString &text, int width)
{
    QByteArray bytes = cp1254::encode(text).left(width);
    bytes.append(QByteArray(width - bytes.size(), ' '));
    return bytes;
}

template <typename V>
void appendLittleEndian(QByteArray &out, V value)
{
    char bytes[sizeof(V)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(V));
}

void encodeElement(QByteArray &out, const Field &f, const record::Slot &slot)
{
    std::visit(Overloaded{
                   [&](QString *text) {
                       if (f.type == Type::VarText) {
                           const QByteArray bytes = cp1254::encode(*text).left(kLongestVarText);
                           appendLittleEndian(out, quint16(bytes.size()));
                           out += bytes;
                       } else {
                           out += textBytes(*text, f.width);
                       }
                   },
                   [&](bool *on) { appendLittleEndian(out, qint16(*on ? -1 : 0)); },
                   [&](double *value) {
                       quint64 bits;
                       std::memcpy(&bits, value, sizeof bits);
                       appendLittleEndian(out, bits);
                   },
                   [&](BlockBytes b) { out += b.block->mid(b.offset, f.width); },
               },
               slot);
}

// Reads one element from `bytes` at `pos`; false when the bytes end first.
bool decodeElement(const QByteArray &bytes, int &pos, const Field &f, const record::Slot &slot)
{
    auto take = [&](int n, QByteArray &out) {
        if (n > bytes.size() - pos)
            return false;
        out = bytes.mid(pos, n);
        pos += n;
        return true;
    };
    QByteArray raw;
    if (f.type == Type::VarText) {
        if (!take(2, raw))
            return false;
        const int length = qFromLittleEndian<quint16>(raw.constData());
        if (!take(length, raw))
            return false;
    } else if (!take(f.width, raw)) {
        return false;
    }
    std::visit(Overloaded{
                   [&](QString *text) { *text = cp1254::decode(raw); },
                   [&](bool *on) { *on = qFromLittleEndian<qint16>(raw.constData()) != 0; },
                   [&](double *value) {
                       const quint64 bits = qFromLittleEndian<quint64>(raw.constData());
                       std::memcpy(value, &bits, sizeof bits);
                   },
                   [&](BlockBytes b) { b.block->replace(b.offset, f.width, raw); },
               },
               slot);
    return true;
}

}  // namespace

QByteArray EncodeRecord(const ConfigurationRecord &record)
{
    ConfigurationRecord r = record;  // the slots reach a record they may write; this one is a copy
    QByteArray out;
    out.reserve(EmptyRecordSize + 256);
    for (const Field &f : record::Fields())
        for (int i = 0; i < f.count; ++i)
            encodeElement(out, f, record::SlotOf(r, f, i));
    return out;
}

std::optional<ConfigurationRecord> DecodeRecord(const QByteArray &bytes, int *recordSize)
{
    ConfigurationRecord r;
    int pos = 0;
    for (const Field &f : record::Fields())
        for (int i = 0; i < f.count; ++i)
            if (!decodeElement(bytes, pos, f, record::SlotOf(r, f, i)))
                return std::nullopt;
    if (recordSize)
        *recordSize = pos;
    return r;
}

std::vector<DumpEntry> DumpRecord(const ConfigurationRecord &record)
{
    ConfigurationRecord r = record;
    std::vector<DumpEntry> out;
    int pos = 0;
    for (const Field &f : record::Fields()) {
        for (int i = 0; i < f.count; ++i) {
            DumpEntry e{&f, i, pos, f.count > 1 ? QStringLiteral("%1[%2]").arg(QLatin1String(f.name)).arg(i)
                                                  : QString::fromLatin1(f.name),
                        {}};
            QByteArray element;
            encodeElement(element, f, record::SlotOf(r, f, i));
            pos += element.size();
            switch (f.type) {
            case Type::Text: e.value = cp1254::decode(element); break;
            case Type::VarText: e.value = cp1254::decode(element.mid(2)); break;
            case Type::Bool16: e.value = qFromLittleEndian<qint16>(element.constData()) != 0; break;
            case Type::Int16: e.value = qint64(qFromLittleEndian<qint16>(element.constData())); break;
            case Type::Int32: e.value = qint64(qFromLittleEndian<qint32>(element.constData())); break;
            case Type::Double: {
                const quint64 bits = qFromLittleEndian<quint64>(element.constData());
                double v;
                std::memcpy(&v, &bits, sizeof v);
                e.value = v;
                break;
            }
            case Type::Reserved: e.value = element; break;
            }
            out.push_back(std::move(e));
        }
    }
    return out;
}

}  // namespace vx
