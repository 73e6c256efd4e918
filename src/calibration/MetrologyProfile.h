#pragma once
// The metrology profiles: three text files beside the program that list, for each
// capacity, the divisions the calibration tab offers. "SGMetrolojik.txt" for legal
// trade on a single range, "MTMetrolojik.txt" for legal trade on two ranges and
// "Normal.txt" for everything else. Each line is one capacity:
//
//   22 - 100 Kg;5 - 0.005;6 - 0.01;7 - 0.02;
//
// The leading number is the row (the capacity code); every non-empty field ended by
// ";" takes the next column, with " Kg" appended when it does not end in "Kg".

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace vx {

// Which table a range setting uses.
enum class ProfileTag { M1, M2, N };

inline constexpr int MetrologyRowCount = 87;     // capacity codes 0..85, row 86 spare
inline constexpr int MetrologyColumnCount = 8;   // the capacity item, then up to 7 divisions

class MetrologyTable {
public:
    // Empty outside the table and where nothing was stored.
    QString cell(int row, int column) const;
    // Ignored outside the table.
    void setCell(int row, int column, const QString &text);
    // The division items of a row (columns 1..7 that hold something), in column order.
    QStringList divisions(int row) const;
    // Their codes ("6 - 0.01 Kg" gives 6); items without a leading number are left out.
    std::vector<int> divisionCodes(int row) const;
    bool isEmpty() const;

private:
    std::array<std::array<QString, MetrologyColumnCount>, MetrologyRowCount> m_cells;
};

// The row a profile line goes to: its leading whole number, when it is 0..86.
std::optional<int> MetrologyRow(const QString &line);
// StoreMetrologyLine: splits a line at ";" and stores its non-empty fields in row
// `row`, column by column from 0 (blanks around a field are dropped). Text after the
// last ";" is ignored, fields beyond the eighth too; a row outside 0..86 stores nothing.
void StoreMetrologyLine(MetrologyTable &table, const QString &line, int row);
// Every line of a profile file (Windows-1254 or UTF-8, CR LF or LF line ends).
MetrologyTable ParseMetrologyProfile(const QByteArray &bytes);

struct MetrologyProfiles {
    MetrologyTable M1;  // legal trade, single range
    MetrologyTable M2;  // legal trade, dual range
    MetrologyTable N;   // not for legal trade
    MetrologyTable &table(ProfileTag tag);
    const MetrologyTable &table(ProfileTag tag) const;
};

// "SGMetrolojik.txt", "MTMetrolojik.txt", "Normal.txt".
QString ProfileFileName(ProfileTag tag);
inline constexpr std::array<ProfileTag, 3> ProfileLoadOrder = {ProfileTag::M1, ProfileTag::M2, ProfileTag::N};
// Metrology code 1 chooses a legal-trade table, by the operating mode (0 single range,
// anything else dual range); any other metrology code the normal one.
ProfileTag ProfileFor(int metrologyCode, int modeCode);

// LoadMetrologyProfile: reads folder/ProfileFileName(tag) into that table. A file
// that cannot be read leaves the table empty and returns false (error says why).
bool LoadMetrologyProfile(MetrologyProfiles &profiles, ProfileTag tag, const QString &folder,
                          QString *error = nullptr);
// The three files in their order. Each one that cannot be read is reported through
// `report` (one line), and its profile stays empty.
MetrologyProfiles LoadMetrologyProfiles(const QString &folder, const std::function<void(const QString &)> &report = {});

// How a twin combo shows an item: without its code, "0.01 Kg" from "6 - 0.01 Kg".
QString ItemDisplayText(const QString &item);

}  // namespace vx
