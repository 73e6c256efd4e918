// vextora-cli params: connect as the window does (with the indicator's range for
// the weight rows), read every parameter and print the grid.

#include "cli/Cli.h"

#include "link/LineLease.h"
#include "link/Transaction.h"
#include "params/ParameterSet.h"
#include "params/Transfer.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vx::cli {
namespace {

constexpr int kCaptionWidthLimit = 48;

// A text without the blanks that pad it at the end (the [120] cell is "5 ", the
// version text ten characters).
QString unpadded(QString text)
{
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

QJsonArray gridJson(const ParameterSet &set)
{
    QJsonArray rows;
    for (const params::Row &row : params::Rows()) {
        rows.append(QJsonObject{{QStringLiteral("row"), row.row},
                                {QStringLiteral("code"), params::RowCode(row)},
                                {QStringLiteral("caption"), unpadded(set.caption(row.row))},
                                {QStringLiteral("value"), unpadded(set.value(row.row))},
                                {QStringLiteral("hidden"), set.isHidden(row.row)}});
    }
    return rows;
}

void printText(Session &s, const ParameterSet &set)
{
    int width = 0;
    for (int row = 0; row < ParameterSet::RowCount; ++row)
        if (!set.isHidden(row))
            width = qMax(width, int(set.caption(row).size()));
    width = qMin(width, kCaptionWidthLimit);
    for (const params::Row &row : params::Rows()) {
        if (set.isHidden(row.row))
            continue;
        if (row.kind == params::Kind::Section) {
            s.print(QStringLiteral("-- ") + set.value(row.row) + QStringLiteral(" --"));
            continue;
        }
        QString line = set.caption(row.row).leftJustified(width, QLatin1Char(' ')) + QStringLiteral("  ")
                       + set.value(row.row);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        s.print(line);
    }
}

int run(Session &s, const CommandArgs &args)
{
    if (!args.positional.isEmpty())
        return s.usageError(QStringLiteral("params takes no argument"));
    Connection connection;
    if (const int rc = s.connect(connection, LearnRange::Yes); rc != ExitOk)
        return rc;
    const VersionResult &v = connection.version;

    // The weight rows are shown in the format of the indicator's range, as in the window.
    ParameterSet set;
    const std::optional<IndicatorRange> &range = connection.range;
    if (!range) {
        // Weight rows at a guessed scale are wrong values: none are printed.
        s.error(s.textService().builtIn(BuiltIn::RangeUnknown));
        return ExitNoAnswer;
    }
    set.weight = range->format;
    LayOutGrid(set, s.texts(), v.model);

    LineLease lease(s.link());
    if (!lease)
        return ExitPort;
    const ParameterReadResult read = ParametreHostOku(s.link(), set, s.textService(), v.model);
    lease.release();
    if (!read.completed)
        return ExitNoAnswer;  // the refusal text is on standard error; no grid

    if (s.json()) {
        QString json = QString::fromUtf8(QJsonDocument(gridJson(set)).toJson(QJsonDocument::Indented));
        while (json.endsWith(QLatin1Char('\n')))
            json.chop(1);
        s.print(json);
    } else {
        printText(s, set);
    }
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("params"),
    .synopsis = QStringLiteral("params"),
    .help = QStringLiteral("read every parameter as the parameter tab does and print the grid: one line\n"
                           "per visible row (caption with its code, value); with --json every row 0-83\n"
                           "as {row, code, caption, value, hidden}. A read that stops prints no grid (exit 1)"),
    .options = {},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
