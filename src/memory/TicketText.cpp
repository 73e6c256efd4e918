#include "memory/TicketText.h"

namespace vx {
namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString PrintOne = QStringLiteral("\r\nP1\r\n");

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

}  // namespace

QString AlignText(const QString &text, int width, Align mode)
{
    const int free = width - int(text.size());
    if (free <= 0)
        return text;
    switch (mode) {
    case Align::Left:
        return text + QString(free, QLatin1Char(' '));
    case Align::Right:
        return QString(free, QLatin1Char(' ')) + text;
    case Align::Centre: {
        // Half the free width, a half rounded to the even neighbour: 8.5 -> 8, 7.5 -> 8.
        int before = free / 2;
        if (free % 2 != 0 && before % 2 != 0)
            ++before;
        return QString(before, QLatin1Char(' ')) + text + QString(free - before, QLatin1Char(' '));
    }
    }
    return {};
}

QString CutAtNul(const QString &text)
{
    const qsizetype nul = text.indexOf(Nul);
    return nul < 0 ? text : text.left(nul);
}

bool HasNul(const QString &text) { return text.contains(Nul); }

QString EplKontrol(const QString &input)
{
    QString text = input;
    if (text.size() >= 998)
        return text;
    while (text.size() > 2 && text.endsWith(CrLf))
        text.chop(2);

    const QString tail = text.right(3);
    const qsizetype p = tail.indexOf(QLatin1Char('P')) + 1;  // 1-based, 0 when absent
    switch (p) {
    case 0:
        return text + PrintOne;
    case 1: {
        // "P" and two digits prints; so does a "P" with fewer than two characters after it.
        if (tail.size() < 3 || (isDigit(tail.at(1)) && isDigit(tail.at(2))))
            return text;
        return text + PrintOne;
    }
    case 2:
        if (tail.size() == 3 && isDigit(tail.at(2)))
            return text;
        return text + PrintOne;
    default:
        // The text ends with "P": on a line of its own it becomes "P1".
        if (text.size() >= 3 && text.mid(text.size() - 3, 2) == CrLf) {
            text.chop(1);
            return text + QStringLiteral("P1") + CrLf;
        }
        return text + PrintOne;
    }
}

QString TrimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString TrimTrailingSpaces(const QString &text)
{
    qsizetype last = text.size();
    while (last > 0 && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.left(last);
}

QString FitText(const QString &text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

QString UnassignedText(int width) { return QString(width, Nul); }

QString StoredTextShown(const QString &stored) { return TrimTrailingSpaces(CutAtNul(stored)); }

}  // namespace vx
