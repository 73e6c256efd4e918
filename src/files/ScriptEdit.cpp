#include "files/ScriptEdit.h"

#include "files/ConfigurationRecord.h"
#include "files/ParameterRecord.h"
#include "link/SafeFile.h"
#include "params/BlockCodec.h"
#include "params/ParameterSet.h"
#include "params/Range.h"
#include "params/ScriptValue.h"

#include <QFile>
#include <array>

namespace vx {
namespace {

// The range codes' rows (calibration block bytes 2-5).
constexpr int kRowCapacity1 = 63, kRowDivision1 = 64, kRowCapacity2 = 65, kRowDivision2 = 66;
// A configuration file is at most about 2.1 MB; a file far larger is no such file.
constexpr qint64 kLargestFile = 8LL * 1024 * 1024;

QString keyName(const Assignment &a) { return a.key.trimmed(); }

// A cell as it counts: a file pads its texts with blanks (or NULs) that are no part of
// the value.
QString unpadded(QString text)
{
    while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back() == QChar(0)))
        text.chop(1);
    return text;
}

}  // namespace

bool ParseAssignments(const QStringList &words, std::vector<Assignment> *out, QString *bad)
{
    out->clear();
    for (const QString &word : words) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals <= 0 || word.left(equals).trimmed().isEmpty()) {
            if (bad)
                *bad = word;
            return false;
        }
        out->push_back({word.left(equals).trimmed(), word.mid(equals + 1)});
    }
    return true;
}

ScriptEdit ApplyAssignments(ParameterSet &set, const std::vector<Assignment> &assignments, const LanguageTexts &texts,
                            Model model)
{
    ScriptEdit edit;
    const ParameterSet::Values before = set.values();
    std::array<QString, ParameterSet::RowCount> shownBefore;
    for (int r = 0; r < ParameterSet::RowCount; ++r)
        shownBefore[std::size_t(r)] = set.value(r);
    auto refuse = [&](const QString &why) {
        set.setValues(before);
        edit.refused = why;
        edit.rows.clear();
        return edit;
    };

    for (const Assignment &a : assignments) {
        const params::RowLookup found = params::FindRowByKey(a.key);
        if (found.ambiguous()) {
            QStringList rows;
            for (int r : found.rows)
                rows << QStringLiteral("row:%1").arg(r);
            return refuse(QStringLiteral("\"%1\" stands on rows %2: name one of them (%3)")
                              .arg(keyName(a), rows.join(QStringLiteral(" and ")).remove(QStringLiteral("row:")),
                                   rows.join(QStringLiteral(", "))));
        }
        if (found.row < 0)
            return refuse(QStringLiteral("\"%1\" names no parameter row (a code such as 101, or row:N)").arg(keyName(a)));
        if (!params::ScriptSettable(found.row, model))
            return refuse(QStringLiteral("%1 (row %2) is not set from a script%3")
                              .arg(params::RowName(found.row, texts))
                              .arg(found.row)
                              .arg(params::RowAt(found.row).kind == params::Kind::DateTime
                                       ? QStringLiteral(": the clock is set with the clock command")
                                       : QString()));
        if (const std::optional<QString> why = params::EnterScriptValue(set, found.row, a.value, texts, model))
            return refuse(QStringLiteral("%1: \"%2\" is refused: the row %3")
                              .arg(params::RowName(found.row, texts), a.value, *why));
        edit.rows.insert(found.row);
    }
    for (int r = 0; r < ParameterSet::RowCount; ++r)
        if (unpadded(set.value(r)) != unpadded(shownBefore[std::size_t(r)]))
            edit.changes.push_back({r, shownBefore[std::size_t(r)], set.value(r)});
    return edit;
}

std::optional<WeightFormat> RangeOfParameters(const ParameterSet &set)
{
    const int rows[] = {kRowCapacity1, kRowDivision1, kRowCapacity2, kRowDivision2};
    for (int r : rows)
        if (set.value(r).trimmed().isEmpty())
            return std::nullopt;
    RangeCodes codes;
    codes.capacity1 = int(CellCode(set.value(kRowCapacity1)));
    codes.division1 = int(CellCode(set.value(kRowDivision1)));
    codes.capacity2 = int(CellCode(set.value(kRowCapacity2)));
    codes.division2 = int(CellCode(set.value(kRowDivision2)));
    const std::optional<IndicatorRange> range = RangeFromCodes(codes);
    if (!range)
        return std::nullopt;
    return range->format;
}

bool UseOwnRange(ParameterSet &set)
{
    const std::optional<WeightFormat> format = RangeOfParameters(set);
    if (!format)
        return false;
    set.weight = *format;  // the weight rows are shown in it from now on
    return true;
}

FileEdit SetRowsInFile(const QString &path, const std::vector<Assignment> &assignments, const LanguageTexts &texts)
{
    FileEdit result;
    auto fail = [&](FileEdit::Failure failure, const QString &why) {
        result.failure = failure;
        result.message = why;
        return result;
    };

    QFile file;
    QString why;
    if (!OpenRegularFile(file, path, &why))
        return fail(FileEdit::Failure::Read, QStringLiteral("cannot read \"%1\": %2").arg(path, why));
    if (file.size() > kLargestFile)
        return fail(FileEdit::Failure::Read, QStringLiteral("\"%1\" is far larger than a configuration file").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(FileEdit::Failure::Read, QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString()));
    file.close();
    int recordSize = 0;
    std::optional<ConfigurationRecord> record = DecodeRecord(bytes, &recordSize);
    if (!record)
        return fail(FileEdit::Failure::Read,
                    QStringLiteral("\"%1\" ends after %2 bytes, before the configuration does").arg(path).arg(bytes.size()));

    ParameterSet set;
    LayOutGrid(set, texts, Model::ZR2);
    ParametreOku(*record, set, texts);
    UseOwnRange(set);

    result.edit = ApplyAssignments(set, assignments, texts, Model::ZR2);
    if (!result.edit.ok())
        return fail(FileEdit::Failure::Usage, result.edit.refused);
    if (result.edit.changes.empty())
        return result;

    std::set<int> rows;
    for (const RowChange &c : result.edit.changes)
        rows.insert(c.row);
    ParametreKaydetRows(set, *record, rows);
    const QByteArray written = EncodeRecord(*record) + bytes.mid(recordSize);
    if (!WriteFileSafely(path, written, &why))
        return fail(FileEdit::Failure::Write, QStringLiteral("cannot write \"%1\": %2").arg(path, why));
    return result;
}

}  // namespace vx
