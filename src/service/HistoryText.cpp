#include "service/HistoryText.h"

#include "params/Catalogue.h"

#include <cstdlib>

namespace vx {

QString HistoryLocalTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return QStringLiteral("%1 UTC%2%3:%4")
        .arg(local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString HistoryChangeText(const HistoryChangedRow &change)
{
    const QString code = change.row >= 0 && change.row < int(params::Rows().size())
                             ? params::RowCode(params::RowAt(change.row))
                             : QString();
    const QString name = code.isEmpty() ? QStringLiteral("row %1:").arg(change.row) : QStringLiteral("[%1]").arg(code);
    return QStringLiteral("%1 %2 -> %3").arg(name, change.before, change.after);
}

QStringList HistoryDetailLines(const HistoryRecord &r)
{
    QStringList lines;
    for (const auto &[group, result] : r.groupResults)
        if (result != r.result)
            lines << QStringLiteral("%1: %2").arg(group, result);
    lines << r.details;
    if (r.changedRows)
        for (const HistoryChangedRow &c : *r.changedRows)
            lines << HistoryChangeText(c);
    if (r.restorePoint)
        lines << QStringLiteral("restore point: ") + *r.restorePoint;
    if (r.report)
        lines << QStringLiteral("report: ") + *r.report;
    return lines;
}

}  // namespace vx
