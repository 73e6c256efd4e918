// Where the working set's data came from, part by part: a file holds what its bytes
// hold (a parameters-only file has no ID memory), a read names the indicator, an edit
// is the part's own; files the tool wrote from the virtual indicator open and save
// again byte for byte (a list text cut by its field shown whole in between); the
// compare lists what both sides hold and one line for a part only one side holds.

#include "files/Compare.h"
#include "files/ConfigFile.h"
#include "files/ConfigurationRecord.h"
#include "files/WorkingSet.h"
#include "shell/LanguageTexts.h"
#include "shell/TextService.h"
#include "support/CliRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

using namespace vx;
using vx::test::InProcessCli;
using vx::test::InProcessIndicator;

namespace {

LanguageTexts shippedEnglish()
{
    const std::optional<LanguageTexts> texts =
        LanguageTexts::fromFile(QCoreApplication::applicationDirPath() + QStringLiteral("/LANGUAGE/English.txt"));
    return texts ? *texts : LanguageTexts();
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file opened as the window opens one.
void open(WorkingSet &set, const QString &path, const LanguageTexts &texts, Model model = Model::ZR2)
{
    const std::optional<ConfigurationRecord> record = ReadConfigurationFile(path);
    ASSERT_TRUE(record) << path.toStdString();
    set.showFile(*record, texts, model, {});
    set.opened(path);
}

class WorkingSetFiles : public ::testing::Test {
protected:
    QString path(const QString &name) const { return cli.dir.filePath(name); }
    int read(const QStringList &args) { return cli.run(indicator, QStringList{"read"} + args).exitCode; }

    InProcessIndicator indicator;
    InProcessCli cli;
    LanguageTexts english = shippedEnglish();
};

TEST_F(WorkingSetFiles, AParametersOnlyFileHoldsTheParametersAndNothingElse)
{
    ASSERT_EQ(read({path("p.vxr"), "--groups", "params"}), 0);
    WorkingSet set;
    open(set, path("p.vxr"), english);
    for (SetGroup g : {SetGroup::Calibration, SetGroup::Jmp, SetGroup::Nrm}) {
        EXPECT_EQ(set.provenance(g).origin, Origin::File) << SetGroupName(g).toStdString();
        EXPECT_EQ(set.provenance(g).path, path("p.vxr"));
        EXPECT_TRUE(set.provenance(g).indicator.model.startsWith("ZR2")) << "the file names its indicator";
    }
    for (SetGroup g : {SetGroup::TicketLines, SetGroup::EplText, SetGroup::Ids, SetGroup::Setpoints,
                       SetGroup::PresetTares})
        EXPECT_FALSE(set.holds(g)) << SetGroupName(g).toStdString();
    EXPECT_EQ(set.dataIndicator(), set.provenance(SetGroup::Nrm).indicator);

    // A header-only file: no parameter part at all.
    ASSERT_EQ(read({path("h.vxr"), "--groups", "header"}), 0);
    WorkingSet header;
    open(header, path("h.vxr"), english);
    EXPECT_TRUE(header.holds(SetGroup::TicketLines));
    for (SetGroup g : {SetGroup::Calibration, SetGroup::Jmp, SetGroup::Nrm, SetGroup::DateTime, SetGroup::Ids})
        EXPECT_FALSE(header.holds(g)) << SetGroupName(g).toStdString();
}

TEST_F(WorkingSetFiles, AnEditMakesOnlyItsPartHoldDataAndNewEmptiesEveryPart)
{
    WorkingSet set;
    set.edited(DataGroup::Parameters, 30);  // [001], sent with the Nrm block
    EXPECT_TRUE(set.holds(SetGroup::Nrm));
    EXPECT_FALSE(set.holds(SetGroup::Jmp));
    EXPECT_FALSE(set.holds(SetGroup::Calibration));
    EXPECT_EQ(set.provenance(SetGroup::Nrm).origin, Origin::Empty) << "typed, not read or opened";
    set.edited(DataGroup::Ids);
    EXPECT_TRUE(set.holds(SetGroup::Ids));
    set.startedNew();
    EXPECT_FALSE(set.holdsAny());
}

TEST_F(WorkingSetFiles, AReadNamesTheIndicatorItCameFromAndTheHeaderReadThePrinterItWasFor)
{
    WorkingSet set;
    set.setSource(Model::ZR2, IdentificationTexts{"ZR2 V2.20", "SN0000001"});
    set.ticket().setPrinterKind(PrinterKind::Epl);
    set.readFromIndicator(DataGroup::Ticket);
    EXPECT_EQ(set.provenance(SetGroup::EplText).origin, Origin::Indicator);
    EXPECT_FALSE(set.holds(SetGroup::TicketLines)) << "an EPL read leaves the ticket lines";
    EXPECT_EQ(set.dataIndicator()->second, "SN0000001");

    // A parameter read brings rows 82 and 83: they name the indicator from then on.
    set.setSource(Model::ZR2, std::nullopt);
    set.parameters().setValue(82, "ZR2 V2.21");
    set.parameters().setValue(83, "SN0000002 ");
    set.readFromIndicator(DataGroup::Parameters);
    EXPECT_EQ(set.provenance(SetGroup::Jmp).indicator, (IdentificationTexts{"ZR2 V2.21", "SN0000002"}));
    EXPECT_EQ(set.provenance(SetGroup::Jmp).model, Model::ZR2);
}

TEST_F(WorkingSetFiles, FilesTheToolWritesOpenAndSaveAgainByteForByte)
{
    // [200] 1: its list text, longer than its 25-byte field, is stored cut.
    QByteArray configuration = indicator.device.bytes(149, 100);
    configuration[0] = 1;
    indicator.device.setBytes(149, configuration);
    ASSERT_EQ(read({path("full.vxr")}), 0);
    ASSERT_EQ(read({path("p.vxr"), "--groups", "params"}), 0);
    ASSERT_EQ(read({path("h.vxr"), "--groups", "header,id"}), 0);
    ASSERT_EQ(read({path("epl.vxr"), "--groups", "header", "--printer", "epl"}), 0);
    indicator.device.setModel("ZR1 V1.07");
    ASSERT_EQ(read({path("zr1.vxr")}), 0);

    for (const QString name : {"full.vxr", "p.vxr", "h.vxr", "epl.vxr", "zr1.vxr"}) {
        for (const LanguageTexts &texts : {english, LanguageTexts()}) {
            WorkingSet set;
            open(set, path(name), texts, name == "zr1.vxr" ? Model::ZR1 : Model::ZR2);
            set.collect();
            ASSERT_TRUE(WriteConfigurationFile(path("again.vxr"), set.record()).ok());
            // Every byte as the file had it, the setpoints' "0,0" included (the grid shows "0").
            EXPECT_EQ(contents(path("again.vxr")).toHex(), contents(path(name)).toHex()) << name.toStdString();
        }
    }

    // In between, the grid shows the list text whole, not cut at 25 characters.
    WorkingSet set;
    open(set, path("full.vxr"), english);
    EXPECT_EQ(set.parameters().value(3), "1- Metrological (legal for trade)");
}

// ---- the compare of what both sides hold ----

TEST_F(WorkingSetFiles, AParametersOnlyFileAgainstAFullOneListsOnlyParameterDifferences)
{
    ASSERT_EQ(read({path("full.vxr")}), 0);
    ASSERT_EQ(read({path("p.vxr"), "--groups", "params"}), 0);
    WorkingSet full, params;
    open(full, path("full.vxr"), english);
    open(params, path("p.vxr"), english);
    params.parameters().setValue(30, "5-38400");

    TextService texts;
    texts.use(english, "English.txt");
    const Comparison c = CompareHeld(full, params, CompareScope::IndicatorVsFile);
    ASSERT_EQ(c.differences.size(), 1u);
    EXPECT_EQ(DifferenceKey(c.differences[0]), "row:30");
    // The ticket lines, the ID and the setpoint memory of the indicator are one line each.
    ASSERT_EQ(c.notHeld.size(), 3u);
    EXPECT_EQ(c.notHeld[2], (PartNotHeld{SetGroup::Setpoints, true}));
    EXPECT_EQ(c.notHeld[0], (PartNotHeld{SetGroup::TicketLines, true}));
    EXPECT_EQ(c.notHeld[1], (PartNotHeld{SetGroup::Ids, true}));
    EXPECT_EQ(NotHeldText(c.notHeld[1], false, texts), "not in the file");
    EXPECT_EQ(PartLabel(SetGroup::Ids, texts), "ID and ID Memory");

    // Limited to the headers and IDs: nothing differs, and the lines of what the file lacks stay.
    const Comparison ids = CompareHeld(full, params, CompareScope::IndicatorVsFile, {}, *ParsePartChoice("header,id", nullptr));
    EXPECT_TRUE(ids.equal());
    EXPECT_EQ(ids.notHeld.size(), 2u);
    // Limited to the Jmp block: [001] is Nrm's.
    EXPECT_TRUE(CompareHeld(full, params, CompareScope::IndicatorVsFile, {}, *ParsePartChoice("jmp", nullptr)).equal());

    QString unknown;
    EXPECT_FALSE(ParsePartChoice("params,tares", &unknown));
    EXPECT_EQ(unknown, "tares");
    EXPECT_FALSE(ParsePartChoice(" , ", &unknown));
}

}  // namespace
