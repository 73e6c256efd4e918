#include "calibration/MetrologyProfile.h"

#include "calibration/RangeLists.h"
#include "link/Cp1254.h"
#include "link/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace vx {
namespace {

const QString kUnit = QStringLiteral("Kg");
const QString kSpacedUnit = QStringLiteral(" Kg");

// The shipped files are Windows-1254; a file saved as UTF-8 by an editor is read as such.
QString decodeProfile(QByteArray bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF", 3);
    if (bytes.startsWith(bom))
        bytes.remove(0, bom.size());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? cp1254::decode(bytes) : text;
}

}  // namespace

QString MetrologyTable::cell(int row, int column) const
{
    if (row < 0 || row >= MetrologyRowCount || column < 0 || column >= MetrologyColumnCount)
        return {};
    return m_cells[size_t(row)][size_t(column)];
}

void MetrologyTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= MetrologyRowCount || column < 0 || column >= MetrologyColumnCount)
        return;
    m_cells[size_t(row)][size_t(column)] = text;
}

QStringList MetrologyTable::divisions(int row) const
{
    QStringList items;
    for (int column = 1; column < MetrologyColumnCount; ++column) {
        const QString item = cell(row, column);
        if (!item.isEmpty())
            items << item;
    }
    return items;
}

std::vector<int> MetrologyTable::divisionCodes(int row) const
{
    std::vector<int> codes;
    for (const QString &item : divisions(row))
        if (const std::optional<int> code = ItemCode(item))
            codes.push_back(*code);
    return codes;
}

bool MetrologyTable::isEmpty() const
{
    for (const auto &row : m_cells)
        for (const QString &cell : row)
            if (!cell.isEmpty())
                return false;
    return true;
}

std::optional<int> MetrologyRow(const QString &line)
{
    const std::optional<int> row = ItemCode(line);
    if (!row || *row >= MetrologyRowCount)
        return std::nullopt;
    return row;
}

void StoreMetrologyLine(MetrologyTable &table, const QString &line, int row)
{
    if (row < 0 || row >= MetrologyRowCount)
        return;
    int column = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = line.indexOf(QLatin1Char(';'), from);
        if (end < 0 || column >= MetrologyColumnCount)
            return;  // what follows the last ";" is no field; a ninth field has no column
        QString field = line.mid(from, end - from).trimmed();
        from = end + 1;
        if (field.isEmpty())
            continue;
        if (!field.endsWith(kUnit))
            field += kSpacedUnit;
        table.setCell(row, column++, field);
    }
}

MetrologyTable ParseMetrologyProfile(const QByteArray &bytes)
{
    MetrologyTable table;
    const QString text = decodeProfile(bytes);
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        const QString line = text.mid(start, end - start);
        if (const std::optional<int> row = MetrologyRow(line))
            StoreMetrologyLine(table, line, *row);
        start = (end < n && text.at(end) == u'\r' && end + 1 < n && text.at(end + 1) == u'\n') ? end + 2 : end + 1;
    }
    return table;
}

MetrologyTable &MetrologyProfiles::table(ProfileTag tag)
{
    switch (tag) {
    case ProfileTag::M1: return M1;
    case ProfileTag::M2: return M2;
    case ProfileTag::N: break;
    }
    return N;
}

const MetrologyTable &MetrologyProfiles::table(ProfileTag tag) const
{
    return const_cast<MetrologyProfiles *>(this)->table(tag);
}

QString ProfileFileName(ProfileTag tag)
{
    switch (tag) {
    case ProfileTag::M1: return QStringLiteral("SGMetrolojik.txt");
    case ProfileTag::M2: return QStringLiteral("MTMetrolojik.txt");
    case ProfileTag::N: break;
    }
    return QStringLiteral("Normal.txt");
}

ProfileTag ProfileFor(int metrologyCode, int modeCode)
{
    if (metrologyCode != 1)
        return ProfileTag::N;
    return modeCode == 0 ? ProfileTag::M1 : ProfileTag::M2;
}

bool LoadMetrologyProfile(MetrologyProfiles &profiles, ProfileTag tag, const QString &folder, QString *error)
{
    MetrologyTable &table = profiles.table(tag);
    table = MetrologyTable();
    const QString path = QDir(folder).filePath(ProfileFileName(tag));
    QFile file;
    QString why;
    if (!OpenRegularFile(file, path, &why)) {  // a FIFO in its place would block the start
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    table = ParseMetrologyProfile(file.readAll());
    return true;
}

MetrologyProfiles LoadMetrologyProfiles(const QString &folder, const std::function<void(const QString &)> &report)
{
    MetrologyProfiles profiles;
    for (ProfileTag tag : ProfileLoadOrder) {
        QString error;
        if (!LoadMetrologyProfile(profiles, tag, folder, &error) && report)
            report(QStringLiteral("metrology profile not read, its division lists stay empty: ") + error);
    }
    return profiles;
}

QString ItemDisplayText(const QString &item)
{
    const qsizetype separator = item.indexOf(QStringLiteral(" - "));
    if (separator >= 0)
        return item.mid(separator + 3).trimmed();
    // An item without " - ": the first four characters are taken for the code.
    return item.size() < 4 ? QString() : item.mid(4).trimmed();
}

}  // namespace vx
