// Captions from the language file and the language panel.

#include "GuiFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using vx::test::GuiTest;
using vx::test::languageFile;

namespace {

class WindowLanguageTest : public GuiTest {
protected:
    QString caption(const QString &name) const
    {
        // Menus and frames have a title, actions, buttons and labels a text, panels a caption.
        const QObject *o = ctl<QObject>(name);
        for (const char *property : {"title", "text", "caption"})
            if (o && o->property(property).isValid())
                return o->property(property).toString();
        return QStringLiteral("<no caption>");
    }
    void choose(const QString &file)
    {
        form->MnAyar_Click(3);
        auto *combo = ctl<QComboBox>("Combo5");
        const int i = combo->findText(file);
        ASSERT_GE(i, 0) << qPrintable(file);
        combo->setCurrentIndex(i);
    }
};

TEST_F(WindowLanguageTest, LinesGoToTheirControls)
{
    start();
    // A sample of every kind of control, on the frame, its panels and the pages.
    const struct { const char *control; int line; } expected[] = {
        {"MnDosya1", 1},      {"MnDosya_11", 8},   {"MnAyar_6", 14},     {"SSPanel7", 15},      {"SSCommand11_0", 18},
        {"SSCheck1_3", 26},   {"SSCheck2_8", 36},  {"SSPanel1", 42},     {"Label2_1", 307},     {"Label2_5", 322},
        {"Frame3", 52},       {"Label3_7", 58},    {"Option6_1", 65},    {"SSCommand6", 280},   {"Label16", 364},
        {"Option3_1", 326},   {"SSPanel6", 354},   {"Frame9_4", 372},    {"Label21_1", 77},     {"Frame12", 380},
        {"connect", 376},
    };
    for (const auto &e : expected)
        EXPECT_EQ(caption(QString::fromLatin1(e.control)), QStringLiteral("E%1").arg(e.line)) << e.control;
    for (int tab = 0; tab < 7; ++tab)
        EXPECT_EQ(form->tabs()->tabText(tab), QStringLiteral("E%1").arg(68 + tab));

    const std::pair<const char *, int> tooltips[] = {{"Toolbar1_1", 288}, {"Toolbar1_10", 294}, {"Toolbar1_11", 324},
                                                     {"Toolbar2_1_2", 302}, {"Image2_0", 376},   {"Image2_1", 377}};
    for (const auto &[control, line] : tooltips)
        EXPECT_EQ(ctl<QObject>(control)->property("toolTip").toString(), QStringLiteral("E%1").arg(line)) << control;
    const QString codes = ctl("Label15")->toolTip();
    EXPECT_TRUE(codes.startsWith("[N]E342\n[G]E343\n")) << qPrintable(codes);
    EXPECT_TRUE(codes.endsWith("[5]E353\n[6]E353")) << qPrintable(codes);
    EXPECT_EQ(ctl("Label14")->toolTip(), codes);

    // What the link takes from the language.
    EXPECT_EQ(form->link().transactionErrorText, "E306");
    EXPECT_EQ(form->link().decode.weekdayNames, QStringList({"E314", "E315", "E316", "E317", "E318", "E319", "E320"}));
}

TEST_F(WindowLanguageTest, MissingLanguageFileAtStartKeepsTheDesignCaptions)
{
    QFile::remove(dir.filePath("LANGUAGE/English.txt"));
    start();
    EXPECT_EQ(caption("MnDosya1"), "&Dosya");
    EXPECT_EQ(caption("connect"), "Bağlan");
    EXPECT_EQ(form->tabs()->tabText(6), "Status");
    // Texts without a line speak the language of the file asked for.
    EXPECT_EQ(caption("CheckFrameEnd"), "Read as soon as the answer is complete");
    // The toolbar still works by its design tooltips.
    action("Toolbar1_11")->trigger();
    EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::Message), 1);
}

TEST_F(WindowLanguageTest, CancelKeepsAndSwitchingChangesCaptionsAndIsStored)
{
    start();
    form->show();
    form->ConnectAction();
    choose("Türkçe.txt");
    EXPECT_TRUE(ctl<QRadioButton>("Option2_0")->isChecked());
    EXPECT_FALSE(form->tabs()->isEnabled());
    form->languagePanel().SSCommand8_Click();
    EXPECT_FALSE(shown("SSPanel7"));
    EXPECT_EQ(caption("MnDosya1"), "E1");
    EXPECT_TRUE(form->tabs()->isEnabled());

    choose("Türkçe.txt");
    QTest::mouseClick(ctl<QPushButton>("SSCommand9"), Qt::LeftButton);
    EXPECT_EQ(caption("MnDosya1"), "T1");
    EXPECT_EQ(form->tabs()->tabText(5), "T73");
    EXPECT_EQ(form->settings().LanguageFileName, "Türkçe.txt");
    EXPECT_EQ(store->value("ZR", "dil"), "Türkçe.txt");
    EXPECT_FALSE(shown("SSPanel7"));
    EXPECT_TRUE(form->tabs()->isEnabled());
    EXPECT_EQ(form->link().transactionErrorText, "T306");
    // The connect caption follows the state in the new language.
    EXPECT_EQ(caption("connect"), "T377");
    EXPECT_EQ(light(), vx::gui::Light::Green);
}

// A chosen file that is empty falls back to "ingilizce.txt" when there is one; a
// file that cannot be opened keeps the language in use and says so.
// Columns: the file chosen, its contents (nullptr: gone before it is read), whether
// "ingilizce.txt" is there, the file in use afterwards, the one stored, the
// captions of lines 1 and 3, and the file a message names (if there is one).
struct FallbackRow {
    const char *name, *file, *contents;
    bool ingilizce;
    const char *used, *stored, *captions[2], *message;
};

const FallbackRow kFallbackRows[] = {
    {"EmptyFileFallsBackToIngilizce", "Empty.txt", "", true, "ingilizce.txt", "ingilizce.txt", {"I1", "I3"}, nullptr},
    {"EmptyFileWithoutFallbackKeepsTheLanguage", "Empty.txt", "", false, "English.txt", "(none)", {"E1", "E3"}, "ingilizce.txt"},
    {"FileThatCannotBeOpenedKeepsTheLanguage", "Gone.txt", nullptr, true, "English.txt", "(none)", {"E1", "E3"}, "Gone.txt"},
    {"ShortFileLeavesTheMissingCaptionsEmpty", "Short.txt", "One\r\nTwo\r\n", false, "Short.txt", "Short.txt", {"One", ""}, nullptr},
};

class WindowLanguageFallbackTest : public WindowLanguageTest, public ::testing::WithParamInterface<FallbackRow> {};

TEST_P(WindowLanguageFallbackTest, ChoosingTheFile)
{
    const FallbackRow &r = GetParam();
    const QString file = QString::fromLatin1(r.file);
    writeLanguage(file, r.contents ? QByteArray(r.contents) : languageFile("G"));
    if (r.ingilizce)
        writeLanguage("ingilizce.txt", languageFile("I"));
    start();
    choose(file);
    if (!r.contents)
        QFile::remove(dir.filePath(QStringLiteral("LANGUAGE/") + file));
    form->SSCommand9_Click();

    EXPECT_EQ(form->settings().LanguageFileName, QString::fromLatin1(r.used));
    EXPECT_EQ(store->value("ZR", "dil", "(none)"), QString::fromLatin1(r.stored));
    EXPECT_EQ(caption("MnDosya1"), QString::fromLatin1(r.captions[0]));
    EXPECT_EQ(caption("MnDosya_1"), QString::fromLatin1(r.captions[1]));
    ASSERT_EQ(op.dialogCount(), r.message ? 1 : 0);
    if (r.message) {
        EXPECT_TRUE(op.last().text.contains(QString::fromLatin1(r.message))) << qPrintable(op.last().text);
        EXPECT_EQ(op.last().icon, vx::Icon::Critical);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, WindowLanguageFallbackTest, ::testing::ValuesIn(kFallbackRows),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(WindowLanguageTest, HelpOpensTheDocumentOfTheLanguageAndAboutShowsTwoLines)
{
    start();
    QStringList opened;
    form->openDocument = [&](const QString &path) { opened << path; return true; };
    form->MnAyar_Click(4);  // missing document: a clear message, nothing started
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(op.last().text.contains("VextoraENG.pdf"));

    QDir(dir.path()).mkpath("Help");
    for (const char *name : {"VextoraENG.pdf", "VextoraTR.pdf"})
        ASSERT_TRUE(QFile(dir.filePath(QStringLiteral("Help/") + QLatin1String(name))).open(QIODevice::WriteOnly));
    form->MnAyar_Click(4);
    choose("Türkçe.txt");
    form->SSCommand9_Click();
    form->MnAyar_Click(4);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].endsWith("Help/VextoraENG.pdf"));
    EXPECT_TRUE(opened[1].endsWith("Help/VextoraTR.pdf"));

    form->MnAyar_Click(6);  // about: two lines
    EXPECT_EQ(op.last().text, "T299\nT300");
    EXPECT_EQ(op.last().icon, vx::Icon::Information);
}


// What was read is said again in the language chosen: the list texts of the parameter
// values and the texts kept beside them, the model row, the status line; the read
// panel keeps no step of a read that is over.
TEST_F(WindowLanguageTest, ALanguageChangeSaysTheValuesAndTheStatusLineAgain)
{
    start();
    form->show();
    form->ConnectAction();
    form->tabs()->setCurrentIndex(vx::Tab::Parameters);
    clock.advance(2);
    QApplication::processEvents();
    vx::ParameterSet &set = form->workingSet().parameters();
    ASSERT_EQ(set.value(3), "E178") << "[200] read";
    ASSERT_EQ(set.value(29), "E217");
    EXPECT_EQ(set.value(82), "E367 V2.20 ");
    EXPECT_TRUE(form->statusLine().startsWith("Connected: COM1")) << qPrintable(form->statusLine());
    const QString weekday = set.clockSuffix();
    EXPECT_EQ(weekday.left(4), " \\ E");
    const QString parity = set.value(33);
    const auto readStep = ctl<QLabel>("Label5");

    choose("Türkçe.txt");
    form->SSCommand9_Click();
    EXPECT_EQ(set.value(3), "T178");
    EXPECT_EQ(set.value(29), "T217");
    EXPECT_EQ(set.value(82), "T367 V2.20 ");
    EXPECT_EQ(set.value(9), "1- ±0.5e") << "no language line: as it was";
    EXPECT_EQ(set.value(21), "7,5") << "a number stays";
    EXPECT_EQ(set.value(33), parity) << "texts of no language line: as read";
    EXPECT_EQ(set.clockSuffix(), " \\ T" + weekday.mid(4));
    EXPECT_TRUE(form->statusLine().startsWith("Bağlı: COM1")) << qPrintable(form->statusLine());
    EXPECT_TRUE(form->statusLine().endsWith("ZR2 V2.20")) << qPrintable(form->statusLine());
    EXPECT_EQ(readStep->text(), QString()) << "the parameter read's step is not left in the read panel";
    EXPECT_EQ(ctl("SSPanel2")->findChild<QProgressBar *>()->value(), 0) << "nor its bar";

    // And back: the same texts again.
    choose("English.txt");
    form->SSCommand9_Click();
    EXPECT_EQ(set.value(3), "E178");
    EXPECT_TRUE(form->statusLine().startsWith("Connected: COM1"));
}

}  // namespace
