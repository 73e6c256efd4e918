#pragma once
// The ticket layout: four header and two footnote lines of 20 characters, centred
// or flush left by group, the printer kind (ticket lines or an EPL label printer)
// and the EPL command text. TicketLayout is the working copy the header tab edits;
// TicketBlock is its part of the configuration record. TicketLinesToRecord and TicketLinesFromRecord
// copy between the two.

#include "link/Registers.h"
#include "memory/TicketText.h"

#include <QObject>
#include <QString>
#include <array>

namespace vx {

// Option3: index 0 "FİŞ", index 1 "EPL YAZICI".
enum class PrinterKind { Ticket, Epl };

inline constexpr int HeaderLineCount = 4;
inline constexpr int FootnoteLineCount = 2;
inline constexpr int TicketLineCount = HeaderLineCount + FootnoteLineCount;
inline constexpr int TicketLineWidth = 20;
inline constexpr int StoredLineWidth = 21;  // the line and its NUL
inline constexpr int EplTextCapacity = 1000;

// Where a line lives on the indicator. The lines are 21-byte NUL-terminated records
// packed one after another; the even lines start in the middle of a register, so
// their block begins with the previous line's NUL (and carries its own at the end).
struct TicketLineSlot {
    int reg;
    int byteCount;
    bool leadingNul;
};
inline constexpr std::array<TicketLineSlot, TicketLineCount> TicketLineSlots = {{
    {reg::TicketHeader1, 20, false},
    {reg::TicketHeader2, 22, true},
    {reg::TicketHeader3, 20, false},
    {reg::TicketHeader4, 22, true},
    {reg::TicketFootnote1, 20, false},
    {reg::TicketFootnote2, 22, true},
}};
inline constexpr int EplFirstRegister = reg::EplText;

// The header/footnote part of the configuration record.
struct TicketBlock {
    std::array<QString, HeaderLineCount> HeaderLines;      // Text(21) each
    std::array<QString, FootnoteLineCount> FootnoteLines;  // Text(21) each
    QString EplText;                                       // Text(1000)
    bool HeaderCentered = false;
    bool FootnoteCentered = false;

    TicketBlock();  // a reset record: every text NUL characters
    // Line k in the indicator's order: header 1-4, then footnote 1-2.
    const QString &line(int k) const;
    QString &line(int k);
};

class TicketLayout : public QObject {
    Q_OBJECT
public:
    explicit TicketLayout(QObject *parent = nullptr);

    // Line k in the indicator's order: header 1-4 (k 0-3), then footnote 1-2 (k 4, 5).
    QString line(int k) const;
    void setLine(int k, const QString &text);
    QString header(int i) const { return line(i); }
    QString footnote(int i) const { return line(HeaderLineCount + i); }
    static bool isFootnote(int k) { return k >= HeaderLineCount; }

    bool headerCentred() const { return m_headerCentred; }
    bool footnoteCentred() const { return m_footnoteCentred; }
    bool centred(int k) const { return isFootnote(k) ? m_footnoteCentred : m_headerCentred; }
    void setHeaderCentred(bool on);
    void setFootnoteCentred(bool on);

    PrinterKind printerKind() const { return m_printerKind; }
    void setPrinterKind(PrinterKind kind);

    QString eplText() const { return m_epl; }
    void setEplText(const QString &text);

    // The page emptied: every line and the EPL text, both groups flush left.
    void clear();

signals:
    void lineChanged(int k);
    void alignmentChanged();
    void printerKindChanged();
    void eplTextChanged();

private:
    std::array<QString, TicketLineCount> m_lines;
    bool m_headerCentred = true;
    bool m_footnoteCentred = true;
    PrinterKind m_printerKind = PrinterKind::Ticket;
    QString m_epl;
};

// The line as stored: aligned in 20 characters and a NUL, cut to 21. A line of 20
// characters or more is not aligned again (its blanks are its alignment); a shorter
// centred line is centred without its surrounding blanks, so centring is done once.
QString AlignedTicketLine(const QString &text, bool centred);
// The line as its box shows it: the first 20 characters up to a NUL, without the
// padding the alignment added (both sides when centred) where storing it again gives
// the same line; a line aligned otherwise (flush left or indented in a centred group)
// keeps its blanks.
QString ShownTicketLine(const QString &stored, bool centred);

// TicketLinesToRecord: the layout into the record (lines aligned, EPL text cut to 1000 and
// padded with blanks, both alignment flags).
void TicketLinesToRecord(const TicketLayout &layout, TicketBlock &block);
// TicketLinesFromRecord: the record into the layout.
void TicketLinesFromRecord(const TicketBlock &block, TicketLayout &layout);

// The text of one ticket line from the bytes its register block gave (all bytes
// kept, NULs included): the previous line's NUL skipped where the block begins
// with it, then the text up to the line's own NUL, line feeds dropped. The same
// whichever tab is shown.
QString TicketLineText(const QString &blockText, bool leadingNul);

}  // namespace vx
