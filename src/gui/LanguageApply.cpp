// Captions from the language file: one table from line number to control, the
// derived captions and tooltips, the language panel and the file change.

#include "gui/AnaForm.h"

#include "gui/Form1.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

namespace vx::gui {
namespace {

enum class Prop {
    Caption,  // caption, title or text of the control
    ToolTip,
    Tab,      // caption of tab `index` of SSTab1
};

struct CaptionRule {
    int line;
    const char *object;
    Prop prop;
    const char *design;  // the caption the window shows before a language file is loaded
    int index = -1;      // tab index for Prop::Tab
};

// Line of the language file -> control. Several rules may share a line.
const CaptionRule CaptionRules[] = {
    // Menus.
    {1, "MnDosya1", Prop::Caption, "&Dosya"},
    {2, "MnDosya_0", Prop::Caption, "&Yeni"},
    {3, "MnDosya_1", Prop::Caption, "&Aç"},
    {4, "MnDosya_3", Prop::Caption, "&Kaydet"},
    {5, "MnDosya_4", Prop::Caption, "&Farklı Kaydet"},
    {6, "MnDosya_8", Prop::Caption, "İndikatöre &Yükle"},
    {7, "MnDosya_9", Prop::Caption, "İndikatörü &Oku"},
    {8, "MnDosya_11", Prop::Caption, "&Çıkış"},
    {9, "MnAyar1", Prop::Caption, "&Ayarlar ve Yardım"},
    {10, "MnAyar_0", Prop::Caption, "&Bağlantı Ayarları"},
    {11, "MnAyar_1", Prop::Caption, "&Program Ayarları"},
    {12, "MnAyar_3", Prop::Caption, "&Dil Ayarları"},
    {13, "MnAyar_4", Prop::Caption, "Yardım"},
    {14, "MnAyar_6", Prop::Caption, "Hakkında"},
    // Language panel.
    {15, "SSPanel7", Prop::Caption, " Dil Ayarları"},
    {16, "Option2_0", Prop::Caption, "Türkçe"},
    {17, "Option2_1", Prop::Caption, "İngilizce"},
    {18, "SSCommand9", Prop::Caption, "TAMAM"},
    {18, "SSCommand11_0", Prop::Caption, "TAMAM"},
    {19, "SSCommand8", Prop::Caption, "İPTAL"},
    // Read-all panel.
    {20, "SSPanel2", Prop::Caption, " İndikatörü Oku"},
    {21, "SSCheck1_0", Prop::Caption, "Başlık ve Dip Not"},
    {22, "SSCheck1_1", Prop::Caption, "ID ve ID Hafıza"},
    {23, "SSCheck1_2", Prop::Caption, "Setpoint Hafıza"},
    {24, "SSCheck1_4", Prop::Caption, "Statu Bilgileri"},
    {25, "SSCheck1_5", Prop::Caption, "Alibi"},
    {26, "SSCheck1_3", Prop::Caption, "Parametreler"},
    {27, "SSCheck1_6", Prop::Caption, "P.Dara Hafıza"},
    {28, "SSCommand2_0", Prop::Caption, "OKU"},
    {29, "SSCommand2_1", Prop::Caption, "İPTAL"},
    {29, "SSCommand11_1", Prop::Caption, "İPTAL"},
    // Send-all panel.
    {30, "SSPanel3", Prop::Caption, " İndikatöre Yolla"},
    {31, "SSCheck2_0", Prop::Caption, "Başlık ve Dip Not"},
    {32, "SSCheck2_1", Prop::Caption, "ID ve ID Hafıza"},
    {33, "SSCheck2_2", Prop::Caption, "P.Dara Hafıza"},
    {34, "SSCheck2_3", Prop::Caption, "Setpoint Hafıza"},
    {35, "SSCheck2_4", Prop::Caption, "Alibi"},
    {36, "SSCheck2_8", Prop::Caption, "Tarih - Saat"},
    {37, "SSCheck2_5", Prop::Caption, "Calibration P."},
    {38, "SSCheck2_6", Prop::Caption, "Configuration P.(Jmp)"},
    {39, "SSCheck2_7", Prop::Caption, "Configuration P.(Nrm)"},
    {40, "SSCommand4_0", Prop::Caption, "YOLLA"},
    {41, "SSCommand4_1", Prop::Caption, "İPTAL"},
    {41, "SSCommand7", Prop::Caption, "İPTAL"},
    // Connection panel.
    {42, "SSPanel1", Prop::Caption, " Bağlantı Ayarları"},
    {43, "Label2_0", Prop::Caption, "Com Port"},
    {44, "Label2_1", Prop::Caption, "Setting"},
    {45, "Label2_2", Prop::Caption, "Cihaz Adresi"},
    {46, "SSCommand1", Prop::Caption, "TAMAM"},
    // Calibration tab.
    {47, "Label1_0", Prop::Caption, "Hızlı"},
    {48, "Label1_1", Prop::Caption, "Yavaş"},
    {49, "Label8_0", Prop::Caption, "Hızlı"},
    {50, "Label8_1", Prop::Caption, "Yavaş"},
    {51, "Frame1", Prop::Caption, "Kalibrasyon İşlemi"},
    {52, "Frame3", Prop::Caption, "Tartım Aralığı"},
    {53, "Frame2", Prop::Caption, "Analog Kalibrasyon İşlemi"},
    {54, "Label3_0", Prop::Caption, "Çalışma Şekli"},
    {55, "Label3_5", Prop::Caption, "Metrolojik"},
    {56, "Label3_6", Prop::Caption, "1. Aralık"},
    {57, "Label3_9", Prop::Caption, ""},
    {58, "Label3_7", Prop::Caption, "2. Aralık"},
    {59, "Label3_8", Prop::Caption, "Kalibrasyon Durumu"},
    {60, "Option1_0", Prop::Caption, "GENEL KALİBRASYON"},
    {61, "Option1_1", Prop::Caption, "SIFIR KALİBRASYONU"},
    {62, "Option1_2", Prop::Caption, "SPAN KALİBRASYONU"},
    {63, "Label4", Prop::Caption, "BAŞLA"},
    {63, "SSCommand5", Prop::Caption, "BAŞLA"},
    {63, "SSCommand3", Prop::Caption, "BAŞLA"},
    {63, "Label7", Prop::Caption, "BAŞLA"},
    {64, "SSPanel4", Prop::Caption, "SIFIR"},
    {64, "Option6_0", Prop::Caption, "SIFIR"},
    {65, "SSPanel5", Prop::Caption, "TAM SKALA"},
    {65, "Option6_1", Prop::Caption, "TAM SKALA"},
    {66, "Label3_1", Prop::Caption, "Kapasite"},
    {66, "Label3_4", Prop::Caption, "Kapasite"},
    {67, "Label3_2", Prop::Caption, "Taksimat"},
    {67, "Label3_3", Prop::Caption, "Taksimat"},
    // Tabs.
    {68, "SSTab1", Prop::Tab, "Başlık ve Dip Not", 0},
    {69, "SSTab1", Prop::Tab, "ID Hafıza", 1},
    {70, "SSTab1", Prop::Tab, "P.Dara Hafıza", 2},
    {71, "SSTab1", Prop::Tab, "Setpoint Hafıza", 3},
    {72, "SSTab1", Prop::Tab, "Parametreler", 4},
    {73, "SSTab1", Prop::Tab, "Kalibrasyon", 5},
    {74, "SSTab1", Prop::Tab, "Status", 6},
    // Single lines among the tables.
    {280, "SSCommand6", Prop::Caption, "GÖSTERGE'Yİ OKU"},
    {280, "Frame6", Prop::Caption, "GÖSTERGE'Yİ OKU"},
    {301, "Toolbar2_0_1", Prop::ToolTip, "Ortala"},
    {301, "Toolbar2_1_1", Prop::ToolTip, "Ortala"},
    {302, "Toolbar2_0_2", Prop::ToolTip, "Sola Yasla"},
    {302, "Toolbar2_1_2", Prop::ToolTip, "Sola Yasla"},
    {307, "Label2_1", Prop::Caption, "Setting"},
    {308, "Label13", Prop::Caption, "Check Sum"},
    // Derived captions, applied after the whole file.
    {364, "Label16", Prop::Caption, "Tarih - Saat Ayarı"},
    {365, "Label18", Prop::Caption, ""},
    {288, "Toolbar1_1", Prop::ToolTip, "Yeni"},
    {289, "Toolbar1_2", Prop::ToolTip, "Aç"},
    {290, "Toolbar1_4", Prop::ToolTip, "Kaydet"},
    {291, "Toolbar1_5", Prop::ToolTip, "Farklı Kaydet"},
    {292, "Toolbar1_7", Prop::ToolTip, "İndikatöre Yükle"},
    {293, "Toolbar1_8", Prop::ToolTip, "İndikatörü Oku"},
    {294, "Toolbar1_10", Prop::ToolTip, "Sayfayı Temizle"},
    {324, "Toolbar1_11", Prop::ToolTip, "Yenile (F5)"},
    {321, "Label2_4", Prop::Caption, "Veri Bitleri"},
    {322, "Label2_5", Prop::Caption, "Eşlik"},
    {325, "Option3_0", Prop::Caption, "FİŞ"},
    {326, "Option3_1", Prop::Caption, "EPL YAZICI"},
    {327, "Frame5", Prop::Caption, "Analog Çıkış Tipi"},
    {330, "SSCommand10_0", Prop::Caption, "Yükle"},
    {331, "SSCommand10_1", Prop::Caption, "Kaydet"},
    {354, "SSPanel6", Prop::Caption, "Fiş Kodları"},
    {354, "Command2", Prop::ToolTip, "Fiş Kodları"},
    {369, "Frame9_1", Prop::Caption, "Başlık Satırları"},
    {370, "Frame9_2", Prop::Caption, "Dip Not Satırları"},
    {371, "Frame9_3", Prop::Caption, "Yazıcı Tipi"},
    {372, "Frame9_4", Prop::Caption, "EPL Komutları"},
    {75, "FrameIdHeader", Prop::Caption, "ID Header"},
    {76, "Label21_0", Prop::Caption, " ID Header 1"},
    {77, "Label21_1", Prop::Caption, " ID Header 2"},
    {380, "Frame12", Prop::Caption, "Saat"},
    {381, "Frame8", Prop::Caption, "Aktif ID Bilgileri"},
    {376, "Image2_0", Prop::ToolTip, "Bağlan"},
    {377, "Image2_1", Prop::ToolTip, "Bağlantıyı kes"},
    {344, "Frame10", Prop::Caption, "Tarih"},
};

// The ticket field codes whose descriptions (texts 342 on) make the code labels' tooltip.
const char *const TicketCodes[] = {"[N]", "[G]", "[T]", "[D]", "[I]", "[C]",
                                   "[A]", "[1]", "[2]", "[3]", "[4]", "[5]"};

// Puts one caption rule's text on its control (a tab caption, a tooltip or a caption).
void applyCaption(QTabWidget *tabs, QObject *window, const CaptionRule &rule, const QString &text)
{
    if (rule.prop == Prop::Tab) {
        tabs->setTabText(rule.index, text);
        return;
    }
    QObject *target = window->findChild<QObject *>(QString::fromLatin1(rule.object));
    if (!target)
        return;
    if (rule.prop == Prop::ToolTip)
        SetToolTip(target, text);
    else
        SetCaption(target, text);
}

}  // namespace

void AnaForm::applyDesignCaptions()
{
    for (const CaptionRule &rule : CaptionRules)
        applyCaption(m_tabs, this, rule, QString::fromUtf8(rule.design));
    updateConnectCaption();
    updateDrainCaption();
}

void AnaForm::applyTexts()
{
    for (const CaptionRule &rule : CaptionRules)
        applyCaption(m_tabs, this, rule, m_texts.text(rule.line));

    // The ticket code labels carry every code with its description as tooltip.
    QString codes;
    int line = 342;
    for (const char *code : TicketCodes)
        codes += QLatin1Char('\n') + QLatin1String(code) + m_texts.text(line++);
    codes += QStringLiteral("\n[6]") + m_texts.text(353);
    for (const char *name : {"Label15", "Label14"}) {
        if (QWidget *w = control(QString::fromLatin1(name)))
            w->setToolTip(codes.mid(1));
    }

    updateConnectCaption();
    updateDrainCaption();
    if (m_form1)
        m_form1->applyLanguage(m_texts);

    // What the link takes from the language: the failure text and the weekday names.
    m_link->transactionErrorText = m_texts.text(306);
    m_link->decode.weekdayNames = m_texts.weekdayNames();
}

QString AnaForm::captionText(int line) const
{
    if (!m_texts.isEmpty())
        return m_texts.text(line);
    // Before any language file is loaded the design captions stand.
    for (const CaptionRule &rule : CaptionRules) {
        if (rule.line == line)
            return QString::fromUtf8(rule.design);
    }
    return {};
}

void AnaForm::updateConnectCaption()
{
    m_connect->setText(captionText(m_state.IsConnected ? 377 : 376));
}

void AnaForm::updateDrainCaption()
{
    // No language line is set aside for it; Turkish or English by the language in use.
    const bool turkish = m_link->settings.LanguageFileName == QStringLiteral("Türkçe.txt");
    if (auto *check = control(QStringLiteral("CheckFrameEnd"))) {
        SetCaption(check, turkish ? QStringLiteral("Yanıt tamamlanınca hemen oku")
                                  : QStringLiteral("Read as soon as the answer is complete"));
        check->setToolTip(turkish ? QStringLiteral("Kapalıyken her okumada okuma zamanının tamamı beklenir.")
                                  : QStringLiteral("When off, every read waits the whole reading time."));
    }
}

void AnaForm::diloku()
{
    const QString path = LanguageFilePath(m_link->settings.LanguageFileName);
    std::optional<LanguageTexts> loaded = LanguageTexts::fromFile(path);
    if (!loaded)
        return;  // a missing file leaves the captions as they are
    m_texts = std::move(*loaded);
    applyTexts();
    for (const auto &hook : m_languageHooks)
        hook();
    for (int i = 0; i <= 4; ++i)
        runGridDüzen(i);
}

// ---- the language panel ----

void AnaForm::openLanguagePanel()
{
    setShellEnabled(false);
    ışık(QStringLiteral("sarı"));
    auto *combo = control<QComboBox>(QStringLiteral("Combo5"));
    combo->clear();
    combo->addItems(LanguageFiles());
    const int current = combo->findText(m_link->settings.LanguageFileName);
    if (current >= 0)
        combo->setCurrentIndex(current);
    showPanel(m_langPanel);
}

void AnaForm::SSCommand9_Click()
{
    const QString chosen = control<QComboBox>(QStringLiteral("Combo5"))->currentText();
    if (chosen.isEmpty())
        return;
    const QString previous = m_link->settings.LanguageFileName;
    QString name = chosen;

    // A test read: an empty file gives way to "ingilizce.txt"; a file that cannot be
    // opened keeps the language in use.
    QString error;
    std::optional<LanguageTexts> probe = LanguageTexts::fromFile(LanguageFilePath(name), &error);
    if (probe && probe->isEmpty()) {
        name = QStringLiteral("ingilizce.txt");
        probe = LanguageTexts::fromFile(LanguageFilePath(name), &error);
    }
    if (!probe) {
        m_link->settings.LanguageFileName = previous;
        const bool turkish = previous == QStringLiteral("Türkçe.txt");
        op().message((turkish ? QStringLiteral("Dil dosyası açılamadı: %1\n%2\nKullanılan dil değişmedi.")
                               : QStringLiteral("The language file cannot be opened: %1\n%2\nThe language in use stays."))
                          .arg(QDir::toNativeSeparators(LanguageFilePath(name)), error),
                      Icon::Critical);
        return;
    }

    m_link->settings.LanguageFileName = name;
    StoreLanguage(m_store, name);
    diloku();
    m_langPanel->hide();
    setShellEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

void AnaForm::SSCommand8_Click()
{
    m_langPanel->hide();
    setShellEnabled(true);
    ışık(QStringLiteral("yeşil"));
}

}  // namespace vx::gui
