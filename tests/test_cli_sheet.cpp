// vextora-cli sheet: a file read from vextora-sim on a pseudo-terminal, its
// configuration sheet written as a PDF and read back with pdftotext (poppler-utils):
// the identification, parameter rows with code, caption and value, the memories in
// short, the ticket lines, in English and in Turkish; and the files that cannot be
// read or written.

#include "support/CliProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vx::test::CliRun;
using vx::test::RunCliProcess;
using vx::test::SimProcess;

// The PDF's text, every run of blanks one space, line by line; the page count.
QStringList pdfLines(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QStringList lines;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.simplified();
    return lines;
}

class CliSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.ready());
        const CliRun read = cli({"read", file});
        ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    }
    CliRun cli(const QStringList &args, const QString &language = "English.txt")
    {
        return RunCliProcess(dir.filePath("vextora.ini"), QStringList{"--language", language, "--port", sim.link} + args);
    }

    SimProcess sim;
    QTemporaryDir dir;
    const QString file = dir.filePath("scale 1.vxr");
};

TEST_F(CliSheet, TheSheetHoldsTheRowsTheMemoriesAndTheTicketLines)
{
    const QString pdf = dir.filePath("sheet.pdf");
    const CliRun r = cli({"sheet", file, "--pdf", pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("sheet: %1\n").arg(pdf));

    const QStringList lines = pdfLines(pdf);
    const QString all = lines.join('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), "Configuration Sheet");
    EXPECT_TRUE(lines.contains("File scale 1.vxr")) << all.toStdString();
    EXPECT_TRUE(lines.contains("Indicator model ZR2")) << all.toStdString();
    EXPECT_TRUE(all.contains("ZR2 V2.20")) << "the version text, row 82";
    EXPECT_TRUE(lines.contains("Code Parameter Value")) << all.toStdString();
    // The virtual indicator's factory values, by hand: 9600 baud on port 1, stability
    // 7,5 s, [101] 20,0 kg and [104] 250,0 kg in the 300 kg x 0,1 kg range (shown as the
    // grid shows weights, in the digits of the capacity).
    EXPECT_TRUE(lines.contains("001 Baud rate 3-9600")) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n103 [^\\n]* 7,5\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n101 [^\\n]* 020\\.0\\n"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\n104 [^\\n]* 250\\.0\\n"))) << all.toStdString();
    EXPECT_TRUE(lines.contains("Memories")) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("ID memory: \\d+ of 101 records used"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("Setpoint memory: \\d of 9 records used"))) << all.toStdString();
    EXPECT_TRUE(lines.contains("Ticket header and footnote")) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\nHeader 1 \\((centred|left-aligned)\\) "))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\nFootnote 2 \\((centred|left-aligned)\\) "))) << all.toStdString();
    // Rows a ZR2 hides from every model are not on it: row 22 ([110]).
    EXPECT_FALSE(all.contains(QRegularExpression("\\n110 "))) << all.toStdString();
    EXPECT_TRUE(all.contains(QRegularExpression("\\nDate and time 20\\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d\\n"))) << all.toStdString();

    // In Turkish.
    const QString tr = dir.filePath("sayfa.pdf");
    ASSERT_EQ(cli({"sheet", file, "--pdf", tr}, "Türkçe.txt").exitCode, 0);
    const QStringList trLines = pdfLines(tr);
    ASSERT_FALSE(trLines.isEmpty());
    EXPECT_EQ(trLines.first(), "Konfigürasyon Sayfası");
    EXPECT_TRUE(trLines.contains("Kod Parametre Değer")) << trLines.join('\n').toStdString();
}

TEST_F(CliSheet, FilesThatCannotBeReadOrWrittenExitSeven)
{
    const CliRun missing = cli({"sheet", dir.filePath("none.vxr"), "--pdf", dir.filePath("x.pdf")});
    EXPECT_EQ(missing.exitCode, 7);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("x.pdf")));
    const CliRun folder = cli({"sheet", file, "--pdf", dir.filePath("no/such/folder/x.pdf")});
    EXPECT_EQ(folder.exitCode, 7);
    EXPECT_TRUE(folder.err.contains("The configuration sheet could not be written")) << folder.err.toStdString();
    EXPECT_EQ(cli({"sheet", file}).exitCode, 2) << "--pdf is needed";
}

}  // namespace
