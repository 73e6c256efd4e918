// The metrology profiles: how a line is split and stored, the bounds of the table,
// missing files, and the shipped files against the division rule the guide states.

#include "calibration/MetrologyProfile.h"
#include "calibration/RangeLists.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace vx;

namespace {

// Every stored cell as "row,column=text", in order.
QStringList cells(const MetrologyTable &table)
{
    QStringList out;
    for (int row = 0; row < MetrologyRowCount + 2; ++row)
        for (int column = 0; column < MetrologyColumnCount + 2; ++column)
            if (!table.cell(row, column).isEmpty())
                out << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(table.cell(row, column));
    return out;
}

TEST(MetrologyProfile, LinesStoreWhatTheyShould)
{
    const struct { const char *name, *text; QStringList expected; } cases[] = {
        {"DivisionsGetTheirUnit", "22 - 100 Kg;5 - 0.005;6 - 0.01;7 - 0.02;\r\n",
         {"22,0=22 - 100 Kg", "22,1=5 - 0.005 Kg", "22,2=6 - 0.01 Kg", "22,3=7 - 0.02 Kg"}},
        {"EmptyFieldsTakeNoColumn", "3 - 4 Kg;;7 - 0.02;\r\n", {"3,0=3 - 4 Kg", "3,1=7 - 0.02 Kg"}},
        {"NoFinalSemicolonLosesTheLastField", "22 - 100 Kg;6 - 0.01", {"22,0=22 - 100 Kg"}},
        {"NoSemicolonStoresNothing", "22 - 100 Kg\r\n", {}},
        {"EndingInKgStaysAsItIs", "1 - 2 Kg;2Kg;2kg;\r\n", {"1,0=1 - 2 Kg", "1,1=2Kg", "1,2=2kg Kg"}},
        {"BlanksAroundAFieldDropped", "4 - 5 Kg; 6 - 0.01 ;  ;\n", {"4,0=4 - 5 Kg", "4,1=6 - 0.01 Kg"}},
        {"LastRowIsSpare", "86 - x;9 - 0.1;\r\n", {"86,0=86 - x Kg", "86,1=9 - 0.1 Kg"}},
        {"RowsBeyondTheTableStoreNothing", "87 - x;9 - 0.1;\r\n1000000 - y;1;\r\n", {}},
        {"NoLeadingNumberStoresNothing", "Kapasite;Taksimat;\r\n-1 - x;2;\r\n", {}},
        {"AtMostEightFields", "5 - 6 Kg;1;2;3;4;5;6;7;8;9;\r\n",
         {"5,0=5 - 6 Kg", "5,1=1 Kg", "5,2=2 Kg", "5,3=3 Kg", "5,4=4 Kg", "5,5=5 Kg", "5,6=6 Kg",
          "5,7=7 Kg"}},
        {"LaterLineOverwritesOnlyWhatItFills", "7 - 10 Kg;3 - 0.001;4 - 0.002;5 - 0.005;\r\n7 - 10 Kg;6 - 0.01;\r\n",
         {"7,0=7 - 10 Kg", "7,1=6 - 0.01 Kg", "7,2=4 - 0.002 Kg", "7,3=5 - 0.005 Kg"}},
        {"LineEndsOfEveryKind", "1 - 2 Kg;3;\r2 - 3 Kg;4;\n\n3 - 4 Kg;5;",
         {"1,0=1 - 2 Kg", "1,1=3 Kg", "2,0=2 - 3 Kg", "2,1=4 Kg", "3,0=3 - 4 Kg", "3,1=5 Kg"}},
        {"EmptyFile", "", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(cells(ParseMetrologyProfile(c.text)), c.expected) << c.name;
}

TEST(MetrologyTable, OutsideTheTableIsEmptyAndIgnored)
{
    MetrologyTable table;
    table.setCell(87, 0, "x");
    table.setCell(0, 8, "x");
    table.setCell(-1, 0, "x");
    EXPECT_TRUE(table.isEmpty());
    StoreMetrologyLine(table, "a;b;", 87);
    StoreMetrologyLine(table, "a;b;", -1);
    EXPECT_TRUE(table.isEmpty());
    EXPECT_EQ(table.cell(-1, -1), QString());
}

TEST(MetrologyTable, DivisionsAndTheirCodesInColumnOrder)
{
    const MetrologyTable table = ParseMetrologyProfile("30 - 300 Kg;9 - 0.1;;10 - 0.2;x;11 - 0.5;\r\n");
    EXPECT_EQ(table.divisions(30), QStringList({"9 - 0.1 Kg", "10 - 0.2 Kg", "x Kg", "11 - 0.5 Kg"}));
    EXPECT_EQ(table.divisionCodes(30), (std::vector<int>{9, 10, 11}));
    EXPECT_TRUE(table.divisions(31).isEmpty());
}

TEST(MetrologyProfiles, ChosenByMetrologyAndMode)
{
    EXPECT_EQ(ProfileFor(1, 0), ProfileTag::M1);
    EXPECT_EQ(ProfileFor(1, 1), ProfileTag::M2);
    EXPECT_EQ(ProfileFor(1, 7), ProfileTag::M2);
    EXPECT_EQ(ProfileFor(0, 0), ProfileTag::N);
    EXPECT_EQ(ProfileFor(2, 1), ProfileTag::N);
}

TEST(MetrologyProfiles, AMissingFileIsAnEmptyProfileReportedOnce)
{
    QTemporaryDir dir;
    QFile normal(dir.filePath("Normal.txt"));
    ASSERT_TRUE(normal.open(QIODevice::WriteOnly));
    normal.write("30 - 300 Kg;9 - 0.1;\r\n");
    normal.close();
    QStringList reports;
    const MetrologyProfiles p = LoadMetrologyProfiles(dir.path(), [&](const QString &line) { reports << line; });
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[0].contains("SGMetrolojik.txt")) << reports[0].toStdString();
    EXPECT_TRUE(reports[1].contains("MTMetrolojik.txt")) << reports[1].toStdString();
    EXPECT_TRUE(p.M1.isEmpty());
    EXPECT_TRUE(p.M2.isEmpty());
    EXPECT_EQ(p.N.divisionCodes(30), std::vector<int>{9});
}

TEST(MetrologyProfiles, TwinComboTextDropsTheCode)
{
    EXPECT_EQ(ItemDisplayText("6 - 0.01 Kg"), "0.01 Kg");
    EXPECT_EQ(ItemDisplayText("22 - 100 Kg"), "100 Kg");
    EXPECT_EQ(ItemDisplayText("2Kg"), "");
    EXPECT_EQ(ItemDisplayText("12345 x"), "5 x");
}

// The shipped files follow the rule the guide states: with n = capacity / division,
// legal trade on one range 500 <= n <= 3000, on two ranges (each range) 100 <= n <= 3000,
// otherwise 100 <= n <= 10000; every division of the list within the bounds is offered.
struct Rule {
    ProfileTag tag;
    double low, high;
};

TEST(ShippedProfiles, OfferExactlyTheDivisionsOfTheirRule)
{
    const QString folder = QCoreApplication::applicationDirPath();
    QStringList reports;
    const MetrologyProfiles profiles = LoadMetrologyProfiles(folder, [&](const QString &l) { reports << l; });
    EXPECT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    for (const Rule &rule : {Rule{ProfileTag::M1, 500, 3000}, Rule{ProfileTag::M2, 100, 3000},
                             Rule{ProfileTag::N, 100, 10000}}) {
        const MetrologyTable &table = profiles.table(rule.tag);
        for (int code = 0; code < CapacityCodeCount; ++code) {
            EXPECT_EQ(table.cell(code, 0), CapacityItem(code)) << ProfileFileName(rule.tag).toStdString();
            std::vector<int> expected;
            for (int d = FirstDivisionCode; d <= LastDivisionCode; ++d) {
                const double n = CapacityValueText(code).toDouble() / DivisionValueText(d).toDouble();
                if (n >= rule.low - 1e-6 && n <= rule.high + 1e-6)
                    expected.push_back(d);
            }
            EXPECT_EQ(table.divisionCodes(code), expected)
                << ProfileFileName(rule.tag).toStdString() << " row " << code;
        }
        EXPECT_TRUE(table.cell(86, 0).isEmpty());
    }
    // The default virtual indicator's range (300 Kg by 0.1, legal trade) is offered.
    const std::vector<int> d300 = profiles.M1.divisionCodes(30);
    EXPECT_NE(std::find(d300.begin(), d300.end(), 9), d300.end());
}

}  // namespace
