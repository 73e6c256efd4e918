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
    {BuiltIn::Disconnected, "Bağlı değil: %1", "Disconnected: %1"},
    {BuiltIn::PortNotFound, "port bulunamadı", "port not found"},
    {BuiltIn::PortBusy, "port kullanımda", "port busy"},
    {BuiltIn::PortError, "port açılamadı (hata %1)", "port cannot be opened (error %1)"},
    {BuiltIn::ServerClosedPort, "seri sunucu bağlantıyı kapattı: portu başka bir istemci kullanıyor olabilir",
     "the serial server closed the connection: another client may hold the port"},
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
    // The communication monitor
    {BuiltIn::MonitorTitle, "İletişim İzleyici", "Communication Monitor"},
    {BuiltIn::MonitorPause, "Duraklat", "Pause"},
    {BuiltIn::MonitorClear, "Temizle", "Clear"},
    {BuiltIn::MonitorRegister, "Yazmaç:", "Register:"},
    {BuiltIn::MonitorAllRegisters, "hepsi", "all"},
    {BuiltIn::MonitorRegisterTip, "Yalnız bu yazmacın satırlarını göster", "Show only this register's lines"},
    {BuiltIn::MonitorSave, "Metin olarak kaydet...", "Save as text..."},
    {BuiltIn::MonitorTextFiles, "Metin dosyaları (*.txt);;Tüm dosyalar (*)", "Text files (*.txt);;All files (*)"},
    {BuiltIn::MonitorNotSaved, "%1 kaydedilemedi: %2", "%1 could not be saved: %2"},
    {BuiltIn::MonitorLoggedTip, "\"*\" ile işaretli satırlar ZRxLog.txt dosyasına da yazıldı",
     "Lines marked \"*\" also went to ZRxLog.txt"},
    // Finding an indicator
    {BuiltIn::ScanFindButton, "Bul…", "Find…"},
    {BuiltIn::ScanSweepAddresses, "Adresleri de dene:", "Try the addresses too:"},
    {BuiltIn::ScanSweepQuestion,
     "%1 deneme yapılacak, en çok %2 dakika sürebilir. Devam edilsin mi?",
     "%1 tries will be made, which may take up to %2 minutes. Go on?"},
    {BuiltIn::ScanProgress, "İndikatör aranıyor: %1 · %2 · adres %3 · checksum %4",
     "Looking for an indicator: %1 · %2 · address %3 · checksum %4"},
    {BuiltIn::ScanCancel, "İptal", "Cancel"},
    {BuiltIn::ScanFound, "Bulundu: %1 · %2 · adres %3 · checksum %4 — %5",
     "Found: %1 · %2 · address %3 · checksum %4 — %5"},
    {BuiltIn::ScanNothingFound, "%1 üzerinde yanıt veren indikatör yok.", "No indicator answered on %1."},
    {BuiltIn::ScanCancelled, "Arama iptal edildi.", "The search was cancelled."},
    {BuiltIn::ScanLineBusy, "Hat başka bir işlemde; arama başlamadı.",
     "The line is in use by another operation; the search did not start."},
    {BuiltIn::ScanPortFailed, "%1 açılamadı (hata %2).", "%1 cannot be opened (error %2)."},
    {BuiltIn::ScanUseSettings, "Bu ayarları kullan", "Use these settings"},
    {BuiltIn::ScanChecksumOn, "var", "on"},
    {BuiltIn::ScanChecksumOff, "yok", "off"},
    {BuiltIn::ScanRawTcp,
     "%1 ham TCP sunucusudur: hat ayarları sunucunundur; yalnız checksum ve adresler %2 ile denenir.",
     "%1 is a raw TCP server with line settings of its own: only the checksum and the addresses are tried, at %2."},
    {BuiltIn::NetworkPortLabel, "Ağ portu:", "Network port:"},
    {BuiltIn::NetworkPortHint, "tcp://HOST:PORT veya rfc2217://HOST:PORT (boş: COM portu)",
     "tcp://HOST:PORT or rfc2217://HOST:PORT (empty: the COM port)"},
    {BuiltIn::NetworkPortInvalid, "Ağ portu kullanılamaz: %1", "The network port cannot be used: %1"},
    {BuiltIn::ScanSpeedsLabel, "Hız:", "Speed:"},
    {BuiltIn::ScanAllSpeeds, "Tümü", "All"},
    {BuiltIn::ScanAddressesInvalid, "Adresler okunamadı: 0 ile 99 arası sayılar ya da aralıklar yazın (ör. 1-99 ya da 5,7; 0: adres yok).",
     "The addresses cannot be read: write numbers from 0 to 99 or ranges (e.g. 1-99 or 5,7; 0: no address)."},
    {BuiltIn::ScanEstimate, "Önce kayıtlı ayar ve 9600, 19200: %1 deneme, en çok %2 sn.",
     "The stored setting and 9600, 19200 first: %1 tries, at most %2 s."},
    // The weight trend view
    {BuiltIn::TrendMenu, "Ağırlık &Eğilimi", "Weight &Trend"},
    {BuiltIn::TrendTitle, "Ağırlık eğilimi", "Weight trend"},
    {BuiltIn::TrendStart, "Başlat", "Start"},
    {BuiltIn::TrendPause, "Duraklat", "Pause"},
    {BuiltIn::TrendRate, "Hız:", "Rate:"},
    {BuiltIn::TrendFastest, "Hat ne kadar hızlıysa", "As fast as the line allows"},
    {BuiltIn::TrendPerSecond, "Saniyede %1", "%1 a second"},
    {BuiltIn::TrendWindow, "Pencere:", "Window:"},
    {BuiltIn::TrendMinutes, "Son %1 dakika", "Last %1 min"},
    {BuiltIn::TrendExportCsv, "CSV kaydet", "Export CSV"},
    {BuiltIn::TrendExportPng, "PNG kaydet", "Export PNG"},
    {BuiltIn::TrendGross, "Brüt", "Gross"},
    {BuiltIn::TrendNet, "Net", "Net"},
    {BuiltIn::TrendTimeAxis, "Zaman (s)", "Time (s)"},
    {BuiltIn::TrendWeightAxis, "Ağırlık (kg)", "Weight (kg)"},
    {BuiltIn::TrendSamples, "Örnek sayısı", "Samples"},
    {BuiltIn::TrendMinimum, "En küçük", "Minimum"},
    {BuiltIn::TrendMaximum, "En büyük", "Maximum"},
    {BuiltIn::TrendMean, "Ortalama", "Mean"},
    {BuiltIn::TrendDeviation, "Standart sapma", "Standard deviation"},
    {BuiltIn::TrendDrift, "Dakikada kayma", "Drift per minute"},
    {BuiltIn::TrendKgColumn, "%1 kg", "%1 kg"},
    {BuiltIn::TrendDivisionColumn, "%1 bölüntü", "%1 divisions"},
    {BuiltIn::TrendNotConnected, "Bağlı değil: eğilim okunmuyor.", "Not connected: the trend is not sampling."},
    {BuiltIn::TrendRunning, "Okunuyor: %1 örnek, %2 tanesi eksik", "Sampling: %1 samples, %2 of them incomplete"},
    {BuiltIn::TrendPaused, "Duraklatıldı: %1 örnek, %2 tanesi eksik", "Paused: %1 samples, %2 of them incomplete"},
    {BuiltIn::TrendPortFailed,
     "Port açılamadı, örnekleme durdu (kablo takılı mı?): %1 örnek, %2 tanesi eksik. Yeniden başlatmak için Başlat'a basın.",
     "The port could not be opened, so sampling stopped (is the cable in?): %1 samples, %2 of them incomplete. Press Start to go on."},
    {BuiltIn::TrendSaved, "Kaydedildi: %1", "Saved to %1"},
    {BuiltIn::TrendExportFailed, "Dosya yazılamadı: %1\n%2", "The file could not be written: %1\n%2"},
    {BuiltIn::TrendPlotNotEncoded, "çizim PNG olarak kodlanamadı", "the plot could not be encoded as PNG"},
    {BuiltIn::TrendCsvFilter, "CSV dosyaları (*.csv)", "CSV files (*.csv)"},
    {BuiltIn::TrendPngFilter, "PNG resimleri (*.png)", "PNG images (*.png)"},
    // Service history
    {BuiltIn::HistoryMenuItem, "Servis Geçmişi…", "Service History…"},
    {BuiltIn::HistoryTitle, "Servis Geçmişi", "Service history"},
    {BuiltIn::HistoryFilterLabel, "İndikatör:", "Indicator:"},
    {BuiltIn::HistoryNoteLabel, "Not:", "Note:"},
    {BuiltIn::HistoryColumnTime, "Zaman", "Time"},
    {BuiltIn::HistoryColumnIndicator, "İndikatör", "Indicator"},
    {BuiltIn::HistoryColumnOperation, "İşlem", "Operation"},
    {BuiltIn::HistoryColumnWhat, "Gruplar / Yöntem", "Groups / procedure"},
    {BuiltIn::HistoryColumnResult, "Sonuç", "Result"},
    {BuiltIn::HistoryColumnNote, "Not", "Note"},
    {BuiltIn::HistoryColumnDetails, "Ayrıntılar", "Details"},
    {BuiltIn::HistoryOperationSend, "Yükleme", "Send"},
    {BuiltIn::HistoryOperationCalibration, "Kalibrasyon", "Calibration"},
    {BuiltIn::HistoryOperationAnalogTrim, "Analog ayar", "Analog trim"},
    {BuiltIn::HistoryEmpty, "Kayıt yok.", "No records."},
    {BuiltIn::HistoryDamaged, "%1: bozuk satırlar atlandı: %2", "%1: damaged lines skipped: %2"},
    {BuiltIn::HistoryNotReadable, "Servis geçmişi okunamadı: %1 (%2)", "The service history cannot be read: %1 (%2)"},
    {BuiltIn::HistoryNotWritten,
     "İşlem gösterildiği gibi sona erdi, ancak servis geçmişine kaydedilemedi: %1 (%2)",
     "The operation ended as shown, but its service history record could not be written: %1 (%2)"},
    {BuiltIn::HistoryClose, "KAPAT", "CLOSE"},
    // Restore points and the question before sending another indicator's file
    {BuiltIn::FileOfAnotherIndicator,
     "Bu dosya başka bir indikatöre ait.\nDosya: %1 / %2\nİndikatör: %3 / %4",
     "This file belongs to another indicator.\nFile: %1 / %2\nIndicator: %3 / %4"},
    {BuiltIn::FileHasNoIdentification,
     "Bu dosyada tanıtım bilgisi yok; başka bir indikatöre ait olabilir.\nİndikatör: %1 / %2",
     "This file holds no identification texts; it may belong to another indicator.\nIndicator: %1 / %2"},
    {BuiltIn::IdentificationEmpty, "(boş)", "(empty)"},
    {BuiltIn::IdentificationUnread, "(okunamadı)", "(not read)"},
    {BuiltIn::CalibrationOfAnotherScale,
     "\"%1\" seçili: dosyadaki sıfır ve kazanç yalnızca okunduğu terazinindir.",
     "\"%1\" is ticked: a file's zero and span belong to the scale it was read from alone."},
    {BuiltIn::SendAnyway, "Yine de gönderilsin mi?", "Send it anyway?"},
    {BuiltIn::RestorePointCaption, "Göndermeden önce geri yükleme noktası", "Restore point before sending"},
    {BuiltIn::RestorePointFailed, "Geri yükleme noktası oluşturulamadı: %1\nHiçbir şey gönderilmedi.",
     "No restore point could be made: %1\nNothing was sent."},
    {BuiltIn::RestorePointNotRead, "üzerine yazılacak gruplar indikatörden eksiksiz okunamadı",
     "the groups to be overwritten could not be read whole from the indicator"},
    {BuiltIn::RestorePointNoIdentification, "indikatörün tanıtım bilgileri okunamadı",
     "the indicator's identification texts could not be read"},
    {BuiltIn::RestorePointFolderNotWritable, "%1 klasörüne yazılamıyor (%2)", "the folder %1 cannot be written (%2)"},
    {BuiltIn::RestorePointNotSaved, "%1 kaydedilemedi (%2)", "%1 could not be saved (%2)"},
    {BuiltIn::RestorePointMade, "Geri yükleme noktası: %1", "Restore point: %1"},
    {BuiltIn::RestorePointsMenu, "Geri yükleme noktaları…", "Restore points…"},
    {BuiltIn::RestorePointsTitle, "Geri yükleme noktaları: %1 / %2", "Restore points: %1 / %2"},
    {BuiltIn::RestorePointsTimeColumn, "Zaman", "Time"},
    {BuiltIn::RestorePointsFileColumn, "Dosya", "File"},
    {BuiltIn::RestorePointsSend, "Gönder…", "Send…"},
    {BuiltIn::RestorePointsCompare, "İndikatörle karşılaştır", "Compare with indicator"},
    {BuiltIn::RestorePointsClose, "Kapat", "Close"},
    {BuiltIn::RestorePointsNone, "%1 klasöründe bu indikatörün geri yükleme noktası yok.",
     "There is no restore point of this indicator in %1."},
    {BuiltIn::RestorePointsSendHint,
     "Geri yükleme noktası açıldı. Gönderme panelinde, nokta oluşturulurken gönderilen grupları seçip YOLLA'ya "
     "basın (Tarih - Saat hariç).",
     "The restore point is open. On the send panel tick the groups that were sent when it was made and press "
     "the send button (not the date and time)."},
    // Compare and the selective send
    {BuiltIn::CompareHeaderLine, "Başlık satırı %1", "Header line %1"},
    {BuiltIn::CompareFootnoteLine, "Dip not satırı %1", "Footnote line %1"},
    {BuiltIn::CompareEplText, "EPL metni", "EPL text"},
    {BuiltIn::CompareIdHeader, "ID başlığı %1", "ID header %1"},
    {BuiltIn::CompareCalibrationRaw, "kalibrasyon (ham sıfır ve span)", "calibration (raw zero and span)"},
    {BuiltIn::CompareColumnRow, "Satır", "Row"},
    {BuiltIn::CompareColumnIndicator, "İndikatör", "Indicator"},
    {BuiltIn::CompareColumnFileA, "Dosya A", "File A"},
    {BuiltIn::CompareColumnFileB, "Dosya B", "File B"},
    {BuiltIn::CompareNoDifferences, "Fark yok.", "No differences."},
    {BuiltIn::CompareWithIndicatorMenu, "İndikatörle Karşılaştır…", "Compare with indicator…"},
    {BuiltIn::CompareWithFileMenu, "Dosyayla Karşılaştır…", "Compare with file…"},
    {BuiltIn::CompareTitle, "Karşılaştırma: %1", "Compare: %1"},
    {BuiltIn::CompareCopy, "Kopyala", "Copy"},
    {BuiltIn::CompareSaveText, "Metin Olarak Kaydet…", "Save as Text…"},
    {BuiltIn::CompareSendTicked, "İşaretli Satırları Gönder", "Send Ticked Rows"},
    {BuiltIn::CompareClose, "Kapat", "Close"},
    {BuiltIn::CompareReadFailed, "İndikatör bütün olarak okunamadı; karşılaştırma yapılmadı.",
     "The indicator could not be read whole; nothing was compared."},
    {BuiltIn::CompareSaveFailed, "%1 yazılamadı: %2", "Cannot write %1: %2"},
    {BuiltIn::CompareOpenFailed, "%1 okunamadı: %2", "Cannot read %1: %2"},
    {BuiltIn::CompareNotInFile, "dosyada yok", "not in the file"},
    {BuiltIn::SendGroupEmpty,
     "Bu grupta gönderilecek veri yok: indikatörden okunmadı, bir dosyadan açılmadı, elle de girilmedi.",
     "This group holds nothing to send: it was not read from an indicator, opened from a file or typed."},
    {BuiltIn::OtherIndicatorQuestion,
     "Penceredeki veriler başka bir indikatörden geldi (%1); bağlı indikatör: %2.\n"
     "Veriler kalsın mı? Evet: kalır (dosyaya bağlı değil, Kaydet Farklı Kaydet gibi sorar). Hayır: silinir.",
     "The data in the window came from another indicator (%1); the connected indicator is %2.\n"
     "Keep the data? Yes keeps it (bound to no file: Save asks for a name). No clears it."},
    {BuiltIn::SelectiveNothingTicked, "Hiçbir satır işaretlenmedi; hiçbir şey gönderilmedi.",
     "No row is ticked; nothing was sent."},
    {BuiltIn::SelectiveBothPrinters, "Fiş satırları ile EPL metni birlikte gönderilemez; yalnız birini işaretleyin.",
     "The ticket lines and the EPL text cannot go together; tick only one of them."},
    {BuiltIn::SelectiveReadFailed,
     "Gönderilmedi: %1 indikatörden yeniden bütün olarak okunamadı. İndikatöre hiçbir şey yazılmadı.",
     "Not sent: %1 could not be read again whole from the indicator. Nothing was written to the indicator."},
    {BuiltIn::SelectiveSent, "Gönderildi: %1", "Sent: %1"},
    {BuiltIn::SelectiveSendQuestion,
     "İşaretli %1 satır indikatöre gönderilsin mi? Aynı bloktaki diğer satırlar indikatördeki değerleriyle "
     "gider.",
     "Send the %1 ticked rows to the indicator? The other rows of their blocks go with the values the "
     "indicator holds."},
    {BuiltIn::SelectiveNothingDiffers,
     "İşaretli satırların hiçbiri indikatördekinden farklı değil; hiçbir şey gönderilmedi.",
     "No ticked row differs from the indicator; nothing was sent."},
    {BuiltIn::SendCheckRow, "satır %1%2", "row %1%2"},
    {BuiltIn::SendCheckNoValue,
     "Hiçbir şey gönderilmedi: %1, %2 boş. Önce bu grubu indikatörden okuyun ya da doldurun.",
     "Nothing was sent: %1, %2 holds no value. Read the group from the indicator or fill it in first."},
    {BuiltIn::SendCheckNotANumber, "Hiçbir şey gönderilmedi: %1, %2: \"%3\" bir sayı değil.",
     "Nothing was sent: %1, %2: \"%3\" is not a number."},
    {BuiltIn::SendCheckOutOfField, "Hiçbir şey gönderilmedi: %1, %2: %3 alana sığmıyor (%4 ile %5 arası).",
     "Nothing was sent: %1, %2: %3 does not fit its field (%4 to %5)."},
    {BuiltIn::SendCheckTooManyDigits,
     "Hiçbir şey gönderilmedi: %1, %2: %3 altı haneden uzun; indikatör bu değeri alamaz.",
     "Nothing was sent: %1, %2: %3 has more than six digits; the indicator cannot take it."},
    {BuiltIn::ClearMemoryQuestion,
     "Dosyada şu gruplar boş: %1. Göndermek indikatördeki bu bilgileri siler. Silinsin mi?",
     "The file holds nothing for: %1. Sending it clears this on the indicator. Clear it?"},
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
    {BuiltIn::ReportStepZero, "Sıfır (kefe boş)", "Zero (platform empty)"},
    {BuiltIn::ReportStepSpan, "Span (test ağırlığı kefede)", "Span (test weight on the platform)"},
    {BuiltIn::ReportStepFinish, "Bitiş (kalibrasyonu sakla)", "Finish (store the calibration)"},
    {BuiltIn::ReportStepAccepted, "Kabul edildi", "Accepted"},
    {BuiltIn::ReportStepRefused, "Reddedildi", "Refused"},
    {BuiltIn::ReportStepNoStatus, "Durum alınamadı", "No status"},
    {BuiltIn::ReportOutcome, "Sonuç", "Outcome"},
    {BuiltIn::ReportFinished, "Tamamlandı", "Finished"},
    {BuiltIn::ReportNotFinished, "Tamamlanmadı", "Not finished"},
    {BuiltIn::ReportWhyNoStatus, "bir adımdan geçerli durum gelmedi", "no valid status from a step"},
    {BuiltIn::ReportWhyStepRefused, "indikatör bir adımı reddetti", "the indicator refused a step"},
    {BuiltIn::ReportWhyNoAnswer, "cevap yok, bağlantı kesildi", "no answer, the link was dropped"},
    {BuiltIn::ReportNote, "Not", "Note"},
    {BuiltIn::ReportSignature, "İmza", "Signature"},
    {BuiltIn::ReportOffer, "Kalibrasyon raporunu kaydet…", "Save calibration report…"},
    {BuiltIn::ReportNotePrompt, "Rapora eklenecek not (boş bırakılabilir):", "Note for the report (may be left empty):"},
    {BuiltIn::ReportFilter, "PDF dosyaları (*.pdf)", "PDF files (*.pdf)"},
    {BuiltIn::ReportSaved, "Kalibrasyon raporu kaydedildi: %1", "Calibration report saved: %1"},
    {BuiltIn::ReportNotSaved, "Kalibrasyon raporu yazılamadı: %1\n%2", "The calibration report could not be written: %1\n%2"},
    {BuiltIn::SheetTitle, "Konfigürasyon Sayfası", "Configuration Sheet"},
    {BuiltIn::SheetFile, "Dosya", "File"},
    {BuiltIn::SheetParameters, "Parametreler", "Parameters"},
    {BuiltIn::SheetCode, "Kod", "Code"},
    {BuiltIn::SheetParameter, "Parametre", "Parameter"},
    {BuiltIn::SheetValue, "Değer", "Value"},
    {BuiltIn::SheetMemories, "Hafızalar", "Memories"},
    {BuiltIn::SheetIdUsed, "ID hafıza: %1 / %2 kayıt dolu", "ID memory: %1 of %2 records used"},
    {BuiltIn::SheetSetpointsUsed, "Setpoint hafıza: %1 / %2 kayıt dolu", "Setpoint memory: %1 of %2 records used"},
    {BuiltIn::SheetPresetTaresUsed, "P.Dara hafıza: %1 / %2 kayıt dolu", "Preset tare memory: %1 of %2 records used"},
    {BuiltIn::SheetTicket, "Başlık ve dip not", "Ticket header and footnote"},
    {BuiltIn::SheetHeaderLine, "Başlık %1", "Header %1"},
    {BuiltIn::SheetFootnoteLine, "Dip not %1", "Footnote %1"},
    {BuiltIn::SheetCentred, "ortalı", "centred"},
    {BuiltIn::SheetLeftAligned, "sola dayalı", "left-aligned"},
    {BuiltIn::SheetMenu, "Konfigürasyon sayfası yazdır…", "Print configuration sheet…"},
    {BuiltIn::SheetSaved, "Konfigürasyon sayfası kaydedildi: %1", "Configuration sheet saved: %1"},
    {BuiltIn::SheetNotSaved, "Konfigürasyon sayfası yazılamadı: %1\n%2", "The configuration sheet could not be written: %1\n%2"},
    {BuiltIn::ClockFromPc, "Bu bilgisayarın saatine ayarla", "Set to this PC's time"},
    {BuiltIn::ClockSetDone, "İndikatörün saati ayarlandı: %1", "The indicator's clock is set: %1"},
    {BuiltIn::ClockNotTaken, "İndikatör tarih ve saati almadı; saati ayarlanmadı",
     "The indicator did not take the date and time; its clock was not set"},
    {BuiltIn::ClockNoReadBack, "Tarih ve saat yazıldı, ancak denetlemek için saat geri okunamadı",
     "The date and time were written, but the clock could not be read back to check them"},
    {BuiltIn::ClockDisagrees, "Saat ayarlanmadı: geri okunan %1, bu bilgisayarın saatinden (%3) %2 sn farklı (en çok %4 sn)",
     "The clock was not set: read back it shows %1, %2 s from this PC's %3 (at most %4 s allowed)"},
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
