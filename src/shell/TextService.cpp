#include "shell/TextService.h"

#include <array>

namespace vx {
namespace {

struct BuiltInText {
    BuiltIn id;
    const char *turkish;
    const char *english;
};

// In the order of BuiltIn; checked below.
constexpr BuiltInText BuiltInTexts[] = {
    {BuiltIn::DrainCaption, "Yanıt tamamlanınca hemen oku", "Read as soon as the answer is complete"},
    {BuiltIn::DrainToolTip, "Kapalıyken her okumada okuma zamanının tamamı beklenir.",
     "When off, every read waits the whole reading time."},
    {BuiltIn::ReadingTimeUnchanged, "Okuma zamanı değişmedi: %1 s", "Reading time unchanged: %1 s"},
    {BuiltIn::ReadingTimeInvalid,
     "\"%1\" geçerli bir okuma zamanı değil (0 ile 60 saniye arası). Okuma zamanı değişmedi: %2 s",
     "\"%1\" is not a valid reading time (0 to 60 seconds). Reading time unchanged: %2 s"},
    {BuiltIn::HelpMissing, "Yardım belgesi bulunamadı:\n%1", "The help document was not found:\n%1"},
    {BuiltIn::HelpNotOpened, "Yardım belgesi açılamadı:\n%1", "The help document could not be opened:\n%1"},
    {BuiltIn::LanguageFileFailed, "Dil dosyası açılamadı: %1\n%2\nKullanılan dil değişmedi.",
     "The language file cannot be opened: %1\n%2\nThe language in use stays."},
    {BuiltIn::TransactionError, "İletişim hatası", "Communication error"},
    {BuiltIn::LinkLine, "%1 · %2 · adres %3", "%1 · %2 · address %3"},
    {BuiltIn::NoAddress, "yok", "none"},
    {BuiltIn::Connected, "Bağlı: %1 — %2", "Connected: %1 — %2"},
    {BuiltIn::ConnectFailed, "Bağlanılamadı: %1 — %2", "Not connected: %1 — %2"},
    {BuiltIn::LinkLost, "Bağlantı kesildi: %1 — %2", "Disconnected: %1 — %2"},
    {BuiltIn::PortNotFound, "port bulunamadı", "port not found"},
    {BuiltIn::PortBusy, "port kullanımda", "port busy"},
    {BuiltIn::PortError, "port açılamadı (hata %1)", "port cannot be opened (error %1)"},
    {BuiltIn::NoAnswer, "yanıt yok", "no answer"},
    {BuiltIn::Refused, "reddedildi", "refused"},
    {BuiltIn::UnreadableAnswer, "anlaşılmayan yanıt", "unreadable answer"},
    {BuiltIn::DeviceRefused, "Gösterge yanıt vermedi ya da isteği reddetti.",
     "The indicator did not answer or refused the request."},
    {BuiltIn::SetpointsNotSent,
     "Setpoint hafıza gönderilmedi: bu değerler %1 ondalıkla altı haneden uzun ya da sayı değil:\n%2",
     "The setpoint memory was not sent: these values are longer than six digits at %1 decimals, or not a "
     "number:\n%2"},
    {BuiltIn::SetpointTooLong, "%1 değeri %2 ondalıkla altı haneden uzun; indikatör bu değeri alamaz.",
     "%1 has more than six digits at %2 decimals; the indicator cannot take it."},
    {BuiltIn::EplFileNotRead, "EPL dosyası okunamadı: %1\n%2\nEPL komutları değişmedi.",
     "The EPL file cannot be read: %1\n%2\nThe EPL commands stay as they were."},
    {BuiltIn::EplFileNotSaved, "EPL dosyası kaydedilemedi: %1\n%2\nÖnceki dosya olduğu gibi duruyor.",
     "The EPL file was not saved: %1\n%2\nThe previous file stays as it was."},
    {BuiltIn::DateTimeNotSent, "Tarih - saat hücresinde geçerli bir tarih ve saat yok; tarih ve saat gönderilmedi.",
     "The date and time cell holds no valid date and time; the date and time were not sent."},
    {BuiltIn::WordTooLarge, "%1 bu parametre için çok büyük: en büyük değer 65535.",
     "%1 is too large for this parameter: the largest value is 65535."},
    {BuiltIn::DateNotInCalendar, "%1-%2-%3 takvimde olmayan bir tarih.", "%1-%2-%3 is not a date of the calendar."},
    {BuiltIn::TimeInvalid, "Geçersiz saat: saat 0-23, dakika ve saniye 0-59 arasında olmalıdır.",
     "Invalid time: the hours must be 0-23, the minutes and seconds 0-59."},
    {BuiltIn::ConfigFileNotSaved, "Dosya kaydedilemedi: %1\n%2\nÖnceki dosya olduğu gibi duruyor.",
     "The file was not saved: %1\n%2\nThe previous file stays as it was."},
    {BuiltIn::ConfigFileNotOpened, "Dosya açılamadı: %1\n%2\nEkrandaki bilgiler değişmedi.",
     "The file cannot be opened: %1\n%2\nWhat the window shows stays as it was."},
    {BuiltIn::ConfigFileCutOff,
     "%1 bir konfigürasyon dosyası değil ya da eksik: %2 bayt, kayıttan kısa. Ekrandaki bilgiler değişmedi.",
     "%1 is no configuration file or is cut off: %2 bytes, shorter than the record. What the window shows "
     "stays as it was."},
    {BuiltIn::ConfigFilesFilter, "Konfigürasyon dosyaları (*.vxr *.Vxr *.VXR)",
     "Configuration files (*.vxr *.Vxr *.VXR)"},
    {BuiltIn::AllFilesFilter, "Tüm dosyalar (*)", "All files (*)"},
    {BuiltIn::ReadAllDone, "%1: seçilen gruplar indikatörden okundu.", "%1: the chosen groups were read from the indicator."},
    {BuiltIn::ReadAllStopped, "%1: okuma durdu; her şey okunmadı.", "%1: the read stopped; not everything was read."},
    {BuiltIn::SendAllDone, "%1: seçilen gruplar indikatöre gönderildi.", "%1: the chosen groups were sent to the indicator."},
    {BuiltIn::SendAllStopped, "%1: gönderme durdu; her şey gönderilmedi.", "%1: the send stopped; not everything was sent."},
    // Files and the command-line tool
    {BuiltIn::GroupsNotSent, "Gönderilmeyen gruplar: %1", "Not sent: %1"},
    {BuiltIn::GroupsNotRead, "Okunmayan gruplar: %1", "Not read: %1"},
    {BuiltIn::RangeUnknown,
     "İndikatörün tartım aralığı okunamadı: ağırlıklar ve setpointler doğru ondalıkla okunamaz, gösterilemez "
     "ve gönderilemez. Bağlantıyı kontrol edip tekrar deneyin.",
     "The indicator's weighing range could not be read: weights and setpoints cannot be read, shown or sent "
     "with the right decimals. Check the line and try again."},
    {BuiltIn::RangeUnknownMark, "aralık bilinmiyor", "range unknown"},
    {BuiltIn::IndicatorBusy,
     "İndikatör meşgul; kalibrasyonu şu anda alamıyor. Bağlantı yerinde: indikatörün işini bitirmesini bekleyip "
     "yeniden deneyin.",
     "The indicator is busy and cannot take the calibration now. The link is fine: wait until the indicator has "
     "finished and try again."},
    // The window's working set
    {BuiltIn::ReplaceUnsentData,
     "Bu sayfadaki veriler (yazılan ya da dosyadan açılan) indikatörde yok. İndikatörden okunanlar yerlerine geçsin mi?",
     "The data on this page (typed or opened from a file) is not on the indicator. Replace it with what the indicator holds?"},
    // The window (trial)
    {BuiltIn::ConfigFileSaved, "%1: kaydedildi: %2", "%1: saved to %2"},
    // Calibration report
    {BuiltIn::ReportTitle, "Kalibrasyon Raporu", "Calibration Report"},
    {BuiltIn::ReportDate, "Tarih ve saat", "Date and time"},
    {BuiltIn::ReportModel, "İndikatör modeli", "Indicator model"},
    {BuiltIn::ReportVersion, "Sürüm metni", "Version text"},
    {BuiltIn::ReportIdentification, "Tanıtım metinleri", "Identification texts"},
    {BuiltIn::ReportProcedure, "Kalibrasyon işlemi", "Procedure"},
    {BuiltIn::ReportGeneral, "Genel kalibrasyon", "General calibration"},
    {BuiltIn::ReportZero, "Sıfır kalibrasyonu", "Zero calibration"},
    {BuiltIn::ReportSpan, "Span kalibrasyonu", "Span calibration"},
    {BuiltIn::ReportAsFound, "Önce (bulunduğu gibi)", "As found"},
    {BuiltIn::ReportAsLeft, "Sonra (bırakıldığı gibi)", "As left"},
    {BuiltIn::ReportMode, "Çalışma modu", "Operating mode"},
    {BuiltIn::ReportSingleRange, "Tek aralık", "Single range"},
    {BuiltIn::ReportDualRange, "Çift aralık", "Dual range"},
    {BuiltIn::ReportCapacity1, "1. kapasite", "1st capacity"},
    {BuiltIn::ReportDivision1, "1. bölüntü", "1st division"},
    {BuiltIn::ReportCapacity2, "2. kapasite", "2nd capacity"},
    {BuiltIn::ReportDivision2, "2. bölüntü", "2nd division"},
    {BuiltIn::ReportMetrological, "Metrolojik (yasal ticaret)", "Metrological (legal trade)"},
    {BuiltIn::ReportYes, "Evet", "Yes"},
    {BuiltIn::ReportNo, "Hayır", "No"},
    {BuiltIn::ReportGross, "Göstergedeki brüt ağırlık", "Displayed gross weight"},
    {BuiltIn::ReportTestWeight, "Test ağırlığı", "Test weight"},
    {BuiltIn::ReportSteps, "Adımlar", "Steps"},
    {BuiltIn::ReportStep, "Adım", "Step"},
    {BuiltIn::ReportResult, "Sonuç", "Result"},
    {BuiltIn::ReportCode, "İndikatör kodu", "Indicator code"},
    {BuiltIn::ReportStepZero, "Sıfır", "Zero"},
    {BuiltIn::ReportStepSpan, "Span", "Span"},
    {BuiltIn::ReportStepFinish, "Bitiş", "Finish"},
    {BuiltIn::ReportStepAccepted, "Kabul edildi", "Accepted"},
    {BuiltIn::ReportStepRefused, "Reddedildi", "Refused"},
    {BuiltIn::ReportStepNoStatus, "Durum alınamadı", "No status"},
    {BuiltIn::ReportOutcome, "Sonuç", "Outcome"},
    {BuiltIn::ReportFinished, "Tamamlandı", "Finished"},
    {BuiltIn::ReportNotFinished, "Tamamlanmadı", "Not finished"},
    {BuiltIn::ReportNote, "Not", "Note"},
    {BuiltIn::ReportSignature, "İmza", "Signature"},
    {BuiltIn::ReportOffer, "Kalibrasyon raporunu kaydet…", "Save calibration report…"},
    {BuiltIn::ReportNotePrompt, "Rapora eklenecek not (boş bırakılabilir):", "Note for the report (may be left empty):"},
    {BuiltIn::ReportFilter, "PDF dosyaları (*.pdf)", "PDF files (*.pdf)"},
    {BuiltIn::ReportSaved, "Kalibrasyon raporu kaydedildi: %1", "Calibration report saved: %1"},
    {BuiltIn::ReportNotSaved, "Kalibrasyon raporu yazılamadı: %1\n%2", "The calibration report could not be written: %1\n%2"},
};
static_assert(std::size(BuiltInTexts) == std::size_t(BuiltIn::Count), "one text per message");

constexpr bool inOrder()
{
    for (std::size_t i = 0; i < std::size(BuiltInTexts); ++i)
        if (BuiltInTexts[i].id != BuiltIn(i))
            return false;
    return true;
}
static_assert(inOrder(), "the built-in texts follow the order of BuiltIn");

}  // namespace

QString TextService::shippedFile(Language language)
{
    return language == Language::Turkish ? QStringLiteral("Türkçe.txt") : QStringLiteral("English.txt");
}

std::optional<Language> TextService::shippedLanguage(const QString &fileName)
{
    for (Language language : {Language::Turkish, Language::English})
        if (fileName == shippedFile(language))
            return language;
    return std::nullopt;
}

QString TextService::emptyFileFallback() { return QStringLiteral("ingilizce.txt"); }

TextService::TextService() = default;

bool TextService::load(const QString &fileName, QString *error)
{
    std::optional<LanguageTexts> read;
    if (IsLanguageFileName(fileName))
        read = LanguageTexts::fromFile(LanguageFilePath(fileName), error);
    else if (error)
        *error = QStringLiteral("\"%1\" is no file name in the language folder").arg(fileName);
    if (!read) {
        if (!m_loaded)
            m_language = shippedLanguage(fileName).value_or(Language::English);
        return false;
    }
    use(std::move(*read), fileName);
    return true;
}

void TextService::use(LanguageTexts lines, const QString &fileName)
{
    m_lines = std::move(lines);
    m_fileName = fileName;
    // Only the shipped Turkish file speaks Turkish; every other file is taken as English.
    m_language = shippedLanguage(fileName).value_or(Language::English);
    m_loaded = true;
}

TextService::Probe TextService::probe(const QString &chosenFile)
{
    Probe p;
    p.fileName = chosenFile;
    p.path = LanguageFilePath(chosenFile);
    if (!IsLanguageFileName(chosenFile)) {
        p.error = QStringLiteral("\"%1\" is no file name in the language folder").arg(chosenFile);
        return p;
    }
    std::optional<LanguageTexts> read = LanguageTexts::fromFile(p.path, &p.error);
    if (read && read->isEmpty()) {
        p.fileName = emptyFileFallback();
        p.path = LanguageFilePath(p.fileName);
        read = LanguageTexts::fromFile(p.path, &p.error);
    }
    p.ok = read.has_value();
    return p;
}

QString TextService::builtIn(BuiltIn id) const { return builtIn(id, m_language); }

QString TextService::builtIn(BuiltIn id, Language language)
{
    const auto index = std::size_t(id);
    if (index >= std::size(BuiltInTexts))
        return {};
    const BuiltInText &t = BuiltInTexts[index];
    return QString::fromUtf8(language == Language::Turkish ? t.turkish : t.english);
}

QString TextService::helpDocument() const
{
    return m_language == Language::Turkish ? QStringLiteral("VextoraTR.pdf") : QStringLiteral("VextoraENG.pdf");
}

}  // namespace vx
