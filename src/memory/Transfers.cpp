#include "memory/Transfers.h"

#include "link/Cp1254.h"
#include "link/RecordRead.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "shell/Refusal.h"
#include "shell/TextService.h"

namespace vx {
namespace {

constexpr QChar Degree(0x00B0);

// The working registers of the memories and their sizes.
constexpr int IdRecordRegister = reg::IdRecord;
constexpr int IdRecordBytes = 24;
constexpr int IdHeaderRegister = reg::IdHeader;
constexpr int IdHeaderBytes = 14;
constexpr int SetpointRegister = reg::SetpointRecord;
constexpr int SetpointBytes = 14;

// Language lines.
constexpr int TextReadingHeader = 253;
constexpr int TextReadingIds = 254;
constexpr int TextReadingSetpoints = 255;
constexpr int TextSendingHeader = 265;
constexpr int TextSendingIds = 266;
constexpr int TextSendingSetpoints = 267;

constexpr int OuterSteps = 10;  // ProgressBar3

// The selector character of a record: the character whose code-page byte is `code`.
QString selector(int code) { return QString(cp1254::toUnicode(static_cast<unsigned char>(code))); }

// The end of a read the indicator refused: the message, the disconnect action.
struct Refusal {
    Operator &op;
    const TextService &texts;
    const DisconnectAction &disconnect;
    TransferResult operator()() const
    {
        ReportRefusal(op, texts, disconnect);
        return TransferResult::Refused;
    }
};

// A load command counts as carried out only when the indicator acknowledged it: a
// lost one leaves the working register holding the record before (read again), a
// refused one ends the read as every refusal does.
RecordCheck loaded(Link &link, int command)
{
    return CheckWriteAnswer(link.writeAnswer(reg::Command, 2, "Lg", command));
}

// How a memory read goes on after a record: the refusal ends it with the message
// and the disconnect action, and so does a record that three tries could not confirm.
TransferResult ended(RecordCheck check, const Refusal &refuse)
{
    switch (check) {
    case RecordCheck::Confirmed: return TransferResult::Completed;
    case RecordCheck::Aborted: return TransferResult::Aborted;
    case RecordCheck::Unconfirmed:
    case RecordCheck::Refused: break;
    }
    return refuse();
}

QString hexByte(unsigned value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

// ---------------------------------------------------------------------------
// ID memory

TransferResult IDOKUHost(Link &link, IdMemory &memory, const TextService &texts, const DisconnectAction &disconnect)
{
    Operator &op = link.op();
    const Refusal refuse{op, texts, disconnect};
    const double readingTime = link.settings.ReadingTime;
    op.showStep(texts.line(TextReadingIds), Tone::Working);

    link.writeNoAck(reg::Command, 2, "Lg", cmd::HostOn, readingTime);
    op.showProgress(ProgressId::Small, true);
    op.setProgress(ProgressId::Small, 0, OuterSteps);
    op.setProgress(ProgressId::Main, 0, IdRecordCount);

    TransferResult result = TransferResult::Completed;
    // The two headers: select, load, read, each answer confirmed.
    const char *const headerSelect[IdHeaderCount] = {"0000", "0100"};
    for (int i = 0; i < IdHeaderCount && result == TransferResult::Completed; ++i) {
        QVariant header;
        const RecordCheck check = ReadRecord(link, IdHeaderRegister, [&] {
            const RecordCheck selected =
                CheckWriteAnswer(link.writeAnswer(IdHeaderRegister, 2, "By", QString::fromLatin1(headerSelect[i])));
            if (selected != RecordCheck::Confirmed)
                return selected;
            if (const RecordCheck load = loaded(link, cmd::LoadIdHeader); load != RecordCheck::Confirmed)
                return load;
            return ReadDecoded(link, IdHeaderRegister, IdHeaderBytes, "IDB", readingTime, &header);
        });
        result = ended(check, refuse);
        if (result == TransferResult::Completed)
            memory.setIdHeader(i, TrimTrailingSpaces(CutAtNul(header.toString())).left(IdHeaderWidth));
    }

    for (int record = 0; record < IdRecordCount && result == TransferResult::Completed; ++record) {
        if (link.AbortRequested) {
            result = TransferResult::Aborted;
            break;
        }
        const int row = record + 1;
        if (row % 10 == 0)
            op.setProgress(ProgressId::Small, qMin(row / 10, OuterSteps), OuterSteps);
        op.setProgress(ProgressId::Main, row, IdRecordCount);

        // Select, load, read. The record counts only when it carries its own selector:
        // after a lost load the register still holds the record before, under the new
        // selector's first word.
        std::optional<IdRecordText> parsed;
        const RecordCheck check = ReadRecord(link, IdRecordRegister, [&] {
            parsed.reset();
            const RecordCheck selected =
                CheckWriteAnswer(link.writeAnswer(IdRecordRegister, 2, "ID", QString(IdSelectorCode(record))));
            if (selected != RecordCheck::Confirmed)
                return selected;
            if (const RecordCheck load = loaded(link, cmd::LoadIdRecord); load != RecordCheck::Confirmed)
                return load;
            QString data;
            QVariant decoded;
            const RecordCheck read = ReadDecoded(link, IdRecordRegister, IdRecordBytes, "ID", 0.01, &decoded, &data);
            if (read != RecordCheck::Confirmed)
                return read;
            if (data.left(2).toInt(nullptr, 16) != IdSelectorByte(record))
                return RecordCheck::Unconfirmed;
            parsed = ParseIdRecord(decoded.toString());
            return parsed ? RecordCheck::Confirmed : RecordCheck::Unconfirmed;
        });
        result = ended(check, refuse);
        if (result == TransferResult::Refused) {
            // Nothing of this row came: it is not left showing the previous record.
            memory.setRecord(record, QString(), QString());
            break;
        }
        if (result == TransferResult::Completed)
            memory.setRecord(record, parsed->number, parsed->name);
    }

    op.setProgress(ProgressId::Small, OuterSteps, OuterSteps);
    op.showProgress(ProgressId::Small, false);
    link.writeNoAck(reg::Command, 2, "Lg", cmd::HostOff, readingTime);
    return result;
}

TransferResult IDYaz(Link &link, const IdMemoryBlock &block, const TextService &texts)
{
    Operator &op = link.op();
    const double readingTime = link.settings.ReadingTime;
    op.showStep(texts.line(TextSendingIds), Tone::Working);
    link.writeNoAck(reg::Command, 2, "Lg", cmd::HostOn, readingTime);
    op.setProgress(ProgressId::Send, 0, IdRecordCount);

    // One record: the record into the working register, then the store command; false once aborted.
    auto sendRecord = [&](QChar selectorChar, int record) {
        QString number = block.IdNumbers[size_t(record)];
        number.remove(Degree);  // the number ends at the first "°"
        const QString name = block.IdNames[size_t(record)].leftJustified(IdNameWidth, QLatin1Char(' '), true);
        link.WriteAcknowledged(IdRecordRegister, IdRecordBytes, "ID", QString(selectorChar) + number + Degree + name);
        if (link.AbortRequested)
            return false;
        link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::StoreIdRecord);
        return !link.AbortRequested;
    };

    bool aborted = false;
    for (int record = 0; record < IdRecordCount && !aborted; ++record) {
        op.setProgress(ProgressId::Send, record + 1, IdRecordCount);
        link.WaitSeconds(readingTime);
        aborted = !sendRecord(IdSelectorCode(record), record);
    }
    // The last record once more, under the selector that follows the last one.
    if (!aborted)
        aborted = !sendRecord(IdSelectorCode(IdRecordCount), IdRecordCount - 1);

    // The headers keep waits of their own: the header, the reading time and its answer;
    // command 16, 0.2 s and its answer, then a second for the indicator to store it.
    // Each answer is judged once its waits are over; a write that was not acknowledged
    // goes into the transaction's retry series.
    for (int i = 0; i < IdHeaderCount && !aborted; ++i) {
        const QString header = QString::number(i) + StoredTextShown(block.IdHeaders[size_t(i)]).left(IdHeaderWidth);
        link.WriteAcknowledgedUnlessDone(
            link.writeNoAck(IdHeaderRegister, IdHeaderBytes, "IDH", header, readingTime), IdHeaderRegister,
            IdHeaderBytes, "IDH", header);
        if (link.AbortRequested) {
            aborted = true;
            break;
        }
        QString stored = link.writeNoAck(reg::Command, 2, "Lg", cmd::StoreIdHeader, 0.2);
        link.WaitSeconds(1.0);
        const QString late = link.collectArrived();
        if (!link.judgeWrite(stored, 2).whole())
            stored = link.judgeWrite(late, 2).whole() ? late : stored + late;
        link.WriteAcknowledgedUnlessDone(stored, reg::Command, 2, "Lg", cmd::StoreIdHeader);
        aborted = link.AbortRequested;
    }

    link.writeNoAck(reg::Command, 2, "Lg", cmd::HostOff, readingTime);
    return aborted ? TransferResult::Aborted : TransferResult::Completed;
}

// ---------------------------------------------------------------------------
// Setpoint memory

TransferResult STPOKUHost(Link &link, SetpointMemory &memory, const WeightFormat &weight, const TextService &texts,
                          const DisconnectAction &disconnect)
{
    Operator &op = link.op();
    const Refusal refuse{op, texts, disconnect};
    op.showStep(texts.line(TextReadingSetpoints), Tone::Working);

    link.WriteHostMode(true);
    op.showProgress(ProgressId::Small, true);
    op.setProgress(ProgressId::Small, OuterSteps / 2, OuterSteps);
    op.setProgress(ProgressId::Main, 0, SetpointRecordCount);

    TransferResult result = TransferResult::Completed;
    for (int record = 0; record < SetpointRecordCount; ++record) {
        if (link.AbortRequested) {
            result = TransferResult::Aborted;
            break;
        }
        op.setProgress(ProgressId::Main, record + 1, SetpointRecordCount);
        // Select, load, read; after a lost load the register holds the record before.
        std::optional<std::array<qint64, 3>> values;
        const RecordCheck check = ReadRecord(link, SetpointRegister, [&] {
            values.reset();
            const RecordCheck selected = CheckWriteAnswer(link.writeAnswer(SetpointRegister, 2, "ID", selector(record)));
            if (selected != RecordCheck::Confirmed)
                return selected;
            if (const RecordCheck load = loaded(link, cmd::LoadSetpoint); load != RecordCheck::Confirmed)
                return load;
            QVariant decoded;
            const RecordCheck read =
                ReadDecoded(link, SetpointRegister, SetpointBytes, "STP", link.settings.ReadingTime, &decoded);
            if (read != RecordCheck::Confirmed)
                return read;
            values = ParseSetpointRecord(decoded.toString());
            return values ? RecordCheck::Confirmed : RecordCheck::Unconfirmed;
        });
        result = ended(check, refuse);
        if (result != TransferResult::Completed)
            break;
        for (int k = 0; k < SetpointsPerRecord; ++k)
            memory.setValue(record, k, SetpointShown((*values)[size_t(k)], weight.decimals()));
    }

    op.showProgress(ProgressId::Small, false);
    link.WriteHostMode(false);
    return result;
}

QStringList SetpointsThatCannotBeSent(const SetpointMemoryBlock &block, int decimals)
{
    QStringList out;
    for (int record = 0; record < SetpointRecordCount; ++record) {
        for (int k = 0; k < SetpointsPerRecord; ++k) {
            const QString &text = block.value(k, record);
            if (!SetpointWireValue(text, decimals).ok())
                out << QStringLiteral("%1, %2: %3")
                           .arg(SetpointMemory::rowLabel(record), SetpointMemory::setpointCaption(k), text);
        }
    }
    return out;
}

TransferResult STPYaz(Link &link, const SetpointMemoryBlock &block, const WeightFormat &weight, const TextService &texts)
{
    Operator &op = link.op();
    const int decimals = weight.decimals();
    // Every value is checked before anything is sent: none goes shortened.
    const QStringList refused = SetpointsThatCannotBeSent(block, decimals);
    if (!refused.isEmpty()) {
        op.message(texts.builtIn(BuiltIn::SetpointsNotSent).arg(decimals).arg(refused.join(QLatin1Char('\n'))),
                   Icon::Critical);
        return TransferResult::NotSent;
    }
    op.showStep(texts.line(TextSendingSetpoints), Tone::Working);

    link.WriteHostMode(true);
    op.setProgress(ProgressId::Send, 0, SetpointRecordCount);
    TransferResult result = TransferResult::Completed;
    for (int record = 0; record < SetpointRecordCount; ++record) {
        op.setProgress(ProgressId::Send, record + 1, SetpointRecordCount);
        QStringList values;
        for (int k = 0; k < SetpointsPerRecord; ++k)
            values << SetpointWireText(SetpointWireValue(block.value(k, record), decimals).value);
        link.WriteAcknowledged(SetpointRegister, SetpointBytes, "SPT", selector(record) + values.join(Degree));
        if (link.AbortRequested) {
            result = TransferResult::Aborted;
            break;
        }
        link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::StoreSetpoint);
        if (link.AbortRequested) {
            result = TransferResult::Aborted;
            break;
        }
    }
    link.WriteHostMode(false);
    return result;
}

// ---------------------------------------------------------------------------
// Ticket lines and EPL text

TransferResult ReadTicketLines(Link &link, TicketLayout &layout, PrinterKind kind, const TextService &texts,
                         const DisconnectAction &disconnect)
{
    Operator &op = link.op();
    const Refusal refuse{op, texts, disconnect};
    const double readingTime = link.settings.ReadingTime;
    op.showStep(texts.line(TextReadingHeader), Tone::Working);

    link.WriteHostMode(true);
    op.showProgress(ProgressId::Small, true);
    TransferResult result = TransferResult::Completed;

    if (kind == PrinterKind::Ticket) {
        op.setProgress(ProgressId::Small, 0, TicketLineCount);
        op.setProgress(ProgressId::Main, 0, TicketLineCount);
        // The load command brings all six lines into their registers.
        result = ended(ReadRecord(link, reg::Command, [&] {
                           return CheckWriteAnswer(link.writeAnswer(reg::Command, 2, "Lg", cmd::LoadTicketLines, 0.05));
                       }),
                       refuse);
        for (int k = 0; k < TicketLineCount && result == TransferResult::Completed; ++k) {
            if (link.AbortRequested) {
                result = TransferResult::Aborted;
                break;
            }
            const TicketLineSlot &slot = TicketLineSlots[size_t(k)];
            QVariant block;
            // "Tx1" keeps every byte: a line's NULs and line feeds are its own.
            result = ended(ReadRecord(link, slot.reg,
                                      [&] {
                                          return ReadDecoded(link, slot.reg, slot.byteCount, "Tx1", readingTime,
                                                             &block);
                                      }),
                           refuse);
            if (result != TransferResult::Completed)
                break;
            // The line as the indicator keeps it, blanks and all: its alignment is its own,
            // and the collector leaves a whole line of 20 characters as it is. A line the
            // indicator ends early with a NUL is aligned as the toggle says.
            layout.setLine(k, TicketLineText(block.toString(), slot.leadingNul).left(TicketLineWidth));
            op.setProgress(ProgressId::Small, k + 1, TicketLineCount);
            op.setProgress(ProgressId::Main, k + 1, TicketLineCount);
        }
    } else {
        op.setProgress(ProgressId::Small, 0, EplReadChunks);
        op.setProgress(ProgressId::Main, 0, EplReadChunks);
        QString epl;
        int chunkReg = EplFirstRegister;
        for (int k = 0; k < EplReadChunks; ++k) {
            if (link.AbortRequested) {
                result = TransferResult::Aborted;
                break;
            }
            QVariant chunk;
            result = ended(ReadRecord(link, chunkReg,
                                      [&] { return ReadDecoded(link, chunkReg, EplReadChunkBytes, "Tx1", readingTime, &chunk); }),
                           refuse);
            if (result != TransferResult::Completed)
                break;
            const QString text = chunk.toString();
            epl += CutAtNul(text);
            op.setProgress(ProgressId::Small, k + 1, EplReadChunks);
            op.setProgress(ProgressId::Main, k + 1, EplReadChunks);
            if (HasNul(text))
                break;
            chunkReg += EplReadChunkBytes;  // the area is addressed by the byte
        }
        // Half a program is no EPL text: the box changes only when all of it came.
        if (result == TransferResult::Completed)
            layout.setEplText(epl);
    }

    op.showProgress(ProgressId::Small, false);
    link.WriteHostMode(false);
    return result;
}

QString EplTextToSend(const QString &recordText)
{
    QString text = EplKontrol(TrimSpaces(CutAtNul(recordText)));
    if (!text.endsWith(QStringLiteral("\r\n")))
        text += QStringLiteral("\r\n");
    return text;
}

QString EplChunkHex(const QString &text, int k)
{
    const QString chunk = text.mid(qsizetype(k) * EplWriteChunkBytes, EplWriteChunkBytes);
    QString hex;
    for (QChar c : chunk)
        hex += hexByte(cp1254::fromUnicode(c));
    return hex.leftJustified(2 * EplWriteChunkBytes, QLatin1Char('0'));
}

TicketWriteResult WriteTicketLines(Link &link, const TicketBlock &block, PrinterKind kind, const TextService &texts)
{
    Operator &op = link.op();
    TicketWriteResult out;
    op.showStep(texts.line(TextSendingHeader), Tone::Working);
    link.WriteHostMode(true);

    if (kind == PrinterKind::Ticket) {
        op.setProgress(ProgressId::Send, 0, TicketLineCount);
        for (int k = 0; k < TicketLineCount; ++k) {
            const TicketLineSlot &slot = TicketLineSlots[size_t(k)];
            QString content = block.line(k).left(TicketLineWidth).leftJustified(TicketLineWidth, QLatin1Char(' '));
            // An empty line goes as NULs: the indicator prints nothing for it.
            if (TrimSpaces(CutAtNul(content)).isEmpty())
                content = QString(TicketLineWidth, Nul);
            if (slot.leadingNul)
                content = Nul + content + Nul;
            link.WriteAcknowledged(slot.reg, slot.byteCount, "Tx", content);
            op.setProgress(ProgressId::Send, k + 1, TicketLineCount);
            if (link.AbortRequested) {
                out.result = TransferResult::Aborted;
                break;
            }
        }
        if (out.result == TransferResult::Completed) {
            link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::StoreTicketLines);
            if (link.AbortRequested)
                out.result = TransferResult::Aborted;
        }
    } else {
        out.eplText = EplTextToSend(block.EplText);
        op.setProgress(ProgressId::Send, 0, EplWriteChunks);
        for (int k = 0; k < EplWriteChunks; ++k) {
            link.WriteAcknowledged(EplFirstRegister + k * EplWriteChunkBytes, EplWriteChunkBytes, "BY",
                              EplChunkHex(out.eplText, k));
            op.setProgress(ProgressId::Send, k + 1, EplWriteChunks);
            if (link.AbortRequested) {
                out.result = TransferResult::Aborted;
                break;
            }
        }
        if (out.result == TransferResult::Completed) {
            link.WriteAcknowledged(reg::Command, 2, "Lg", cmd::StoreEplText);
            if (link.AbortRequested)
                out.result = TransferResult::Aborted;
        }
    }

    link.WriteHostMode(false);
    return out;
}

}  // namespace vx
