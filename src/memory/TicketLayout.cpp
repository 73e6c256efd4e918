#include "memory/TicketLayout.h"

namespace vx {

TicketBlock::TicketBlock()
{
    for (QString &line : HeaderLines)
        line = UnassignedText(StoredLineWidth);
    for (QString &line : FootnoteLines)
        line = UnassignedText(StoredLineWidth);
    EplText = UnassignedText(EplTextCapacity);
}

const QString &TicketBlock::line(int k) const
{
    return k < HeaderLineCount ? HeaderLines[size_t(k)] : FootnoteLines[size_t(k - HeaderLineCount)];
}

QString &TicketBlock::line(int k)
{
    return k < HeaderLineCount ? HeaderLines[size_t(k)] : FootnoteLines[size_t(k - HeaderLineCount)];
}

TicketLayout::TicketLayout(QObject *parent) : QObject(parent) {}

QString TicketLayout::line(int k) const
{
    return k >= 0 && k < TicketLineCount ? m_lines[size_t(k)] : QString();
}

void TicketLayout::setLine(int k, const QString &text)
{
    if (k < 0 || k >= TicketLineCount || m_lines[size_t(k)] == text)
        return;
    m_lines[size_t(k)] = text;
    emit lineChanged(k);
}

void TicketLayout::setHeaderCentred(bool on)
{
    if (m_headerCentred == on)
        return;
    m_headerCentred = on;
    emit alignmentChanged();
}

void TicketLayout::setFootnoteCentred(bool on)
{
    if (m_footnoteCentred == on)
        return;
    m_footnoteCentred = on;
    emit alignmentChanged();
}

void TicketLayout::setPrinterKind(PrinterKind kind)
{
    if (m_printerKind == kind)
        return;
    m_printerKind = kind;
    emit printerKindChanged();
}

void TicketLayout::setEplText(const QString &text)
{
    if (m_epl == text)
        return;
    m_epl = text;
    emit eplTextChanged();
}

void TicketLayout::clear()
{
    for (int k = 0; k < TicketLineCount; ++k)
        setLine(k, QString());
    setHeaderCentred(false);
    setFootnoteCentred(false);
    setEplText(QString());
}

QString AlignedTicketLine(const QString &text, bool centred)
{
    // A whole line (20 characters, from the indicator or a file) is kept as it is:
    // its blanks are its alignment. A shorter one is aligned; centring a line that
    // still carries blanks around it would move it on every save, so it is centred
    // without them.
    const bool whole = text.size() >= TicketLineWidth;
    const QString aligned = centred && !whole ? AlignText(TrimSpaces(text), TicketLineWidth, Align::Centre)
                                              : AlignText(text, TicketLineWidth, Align::Left);
    return FitText(aligned + Nul, StoredLineWidth);
}

QString ShownTicketLine(const QString &stored, bool centred)
{
    const QString line = CutAtNul(stored.left(TicketLineWidth));
    // Without the padding only where aligning it again gives the same line; a line
    // aligned otherwise than the toggle says is shown with its blanks.
    const QString trimmed = centred ? TrimSpaces(line) : TrimTrailingSpaces(line);
    return AlignedTicketLine(trimmed, centred) == AlignedTicketLine(line, centred) ? trimmed : line;
}

void TicketLinesToRecord(const TicketLayout &layout, TicketBlock &block)
{
    for (int k = 0; k < TicketLineCount; ++k)
        block.line(k) = AlignedTicketLine(layout.line(k), layout.centred(k));
    block.HeaderCentered = layout.headerCentred();
    block.FootnoteCentered = layout.footnoteCentred();
    block.EplText = FitText(layout.eplText(), EplTextCapacity);
}

void TicketLinesFromRecord(const TicketBlock &block, TicketLayout &layout)
{
    layout.setHeaderCentred(block.HeaderCentered);
    layout.setFootnoteCentred(block.FootnoteCentered);
    for (int k = 0; k < TicketLineCount; ++k)
        layout.setLine(k, ShownTicketLine(block.line(k), k < HeaderLineCount ? block.HeaderCentered
                                                                                : block.FootnoteCentered));
    // The padding of the record's field is not part of the text.
    layout.setEplText(TrimTrailingSpaces(CutAtNul(block.EplText)));
}

QString TicketLineText(const QString &blockText, bool leadingNul)
{
    QString text = leadingNul ? blockText.mid(1) : blockText;
    text = CutAtNul(text);
    text.remove(QLatin1Char('\n'));
    return text;
}

}  // namespace vx
