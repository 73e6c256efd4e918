#pragma once
// Text helpers of the ticket layout and the EPL command text: aligning a ticket
// line, the NUL that ends a line on the indicator, the check that makes an EPL
// text end with a print command, and the fixed-width texts of the configuration
// record's memory blocks.

#include <QString>

namespace vx {

// How AlignText places a text: "SOL" flush left, "SAG" flush right, "ORTA" centred.
enum class Align { Left, Right, Centre };

// The text in a field of `width` characters: Left pads it with blanks on the right,
// Right on the left; Centre puts half of the free width (rounded to the nearest
// whole number, halves to even) before it and the rest after. A text of `width` or
// more characters comes back unchanged.
QString AlignText(const QString &text, int width, Align mode);

inline constexpr QChar Nul(u'\0');
// The text up to, not including, its first NUL (the whole text when it has none).
QString CutAtNul(const QString &text);
bool HasNul(const QString &text);

// Makes an EPL command text end with a print command ("P" and digits): a text of
// 998 characters or more stays as it is; otherwise final CR LF pairs are removed
// (down to 2 characters) and "P1" is added where the last line does not already
// print. See the table of cases in the tests.
QString EplKontrol(const QString &text);

// The blanks VB's Trim removes: spaces only, at both ends (CR LF and tabs stay).
QString TrimSpaces(const QString &text);
QString TrimTrailingSpaces(const QString &text);

// ---- fixed-width texts of the configuration record ----
// A value a collector stores into Text(n): left-aligned, padded with blanks, cut to n.
QString FitText(const QString &text, int width);
// A field never assigned since the record was reset: n NUL characters.
QString UnassignedText(int width);
// What a reader shows of a stored field: up to its first NUL, without its padding.
QString StoredTextShown(const QString &stored);

}  // namespace vx
