#include "verify/VerifyTexts.h"

#include <array>

namespace vx {
namespace {

struct Entry {
    VerifyText id;
    const char *turkish;
    const char *english;
};

constexpr std::array kTexts = {
    Entry{VerifyText::PromptZero, "Adım %1 / %2: platformu boşaltın (sıfır), sonra onaylayın.",
          "Step %1 of %2: clear the platform (zero), then confirm."},
    Entry{VerifyText::PromptCentre, "Adım %1 / %2: platformun ortasına %3 kg koyun, sonra onaylayın.",
          "Step %1 of %2: put %3 kg on the centre of the platform, then confirm."},
    Entry{VerifyText::PromptSegment, "Adım %1 / %2: platformun %4. bölümüne (%5) %3 kg koyun, sonra onaylayın.",
          "Step %1 of %2: put %3 kg on segment %4 of the platform (%5), then confirm."},
    Entry{VerifyText::PromptChangeover,
          "Adım %1: gösterge bir bölüntü artana kadar eklenen küçük ağırlıklar (ΔL, kg); eklenmediyse boş bırakın.",
          "Step %1: the small weights added until the display stepped up (ΔL, kg); leave empty when none were added."},
    Entry{VerifyText::PromptTitle, "Doğrulama", "Verification"},
    Entry{VerifyText::ChangeoverOutOfRange, "\"%1\" bir ağırlık değil ya da 0 ile %2 kg arasında değil.",
          "\"%1\" is no weight from 0 to %2 kg."},
    Entry{VerifyText::SegmentFrontLeft, "ön sol", "front left"},
    Entry{VerifyText::SegmentFrontRight, "ön sağ", "front right"},
    Entry{VerifyText::SegmentBackRight, "arka sağ", "back right"},
    Entry{VerifyText::SegmentBackLeft, "arka sol", "back left"},
    Entry{VerifyText::NotStable, "%1 s içinde kararlı olmadı", "not stable within %1 s"},
    Entry{VerifyText::RecordTitle, "Doğrulama Test Kaydı", "Verification Test Record"},
    Entry{VerifyText::Date, "Tarih", "Date"},
    Entry{VerifyText::Model, "Model", "Model"},
    Entry{VerifyText::Version, "Sürüm", "Version"},
    Entry{VerifyText::Identification, "Tanıtım metinleri", "Identification texts"},
    Entry{VerifyText::Range, "Kapasite ve bölüntü", "Range and divisions"},
    Entry{VerifyText::AccuracyClassCaption, "Doğruluk sınıfı", "Accuracy class"},
    Entry{VerifyText::InService, "kullanımda (hata sınırları iki katı)", "in service (limits doubled)"},
    Entry{VerifyText::Customer, "Müşteri", "Customer"},
    Entry{VerifyText::Site, "Yer", "Site"},
    Entry{VerifyText::Technician, "Teknisyen", "Technician"},
    Entry{VerifyText::TestWeights, "Test ağırlıkları", "Test weights"},
    Entry{VerifyText::AsFound, "Bulunduğu gibi", "As found"},
    Entry{VerifyText::AsLeft, "Bırakıldığı gibi", "As left"},
    Entry{VerifyText::KindZero, "Sıfır", "Zero"},
    Entry{VerifyText::KindIncreasing, "Artan yük", "Increasing load"},
    Entry{VerifyText::KindDecreasing, "Azalan yük", "Decreasing load"},
    Entry{VerifyText::KindRepeatability, "Tekrarlanabilirlik", "Repeatability"},
    Entry{VerifyText::KindEccentricity, "Merkez dışı yükleme", "Eccentricity"},
    Entry{VerifyText::Centre, "orta", "centre"},
    Entry{VerifyText::Segment, "bölüm %1", "segment %1"},
    Entry{VerifyText::ColumnTest, "Test", "Test"},
    Entry{VerifyText::ColumnReference, "Referans", "Reference"},
    Entry{VerifyText::ColumnIndication, "Gösterge", "Indication"},
    Entry{VerifyText::ColumnError, "Hata", "Error"},
    Entry{VerifyText::ColumnMpe, "İzin verilen", "Permissible"},
    Entry{VerifyText::ColumnE, "e", "e"},
    Entry{VerifyText::ColumnResult, "Sonuç", "Result"},
    Entry{VerifyText::Pass, "GEÇTİ", "PASS"},
    Entry{VerifyText::Fail, "KALDI", "FAIL"},
    Entry{VerifyText::Series, "Seri %1: yayılım %2 kg, izin verilen %3 kg", "Series %1: spread %2 kg, permissible %3 kg"},
    Entry{VerifyText::Verdict, "Genel sonuç", "Overall verdict"},
    Entry{VerifyText::VerdictPass, "GEÇTİ: her adım izin verilen hata içinde", "PASS: every step within the permissible error"},
    Entry{VerifyText::VerdictFail, "KALDI: en az bir adım izin verilen hatanın dışında",
          "FAIL: at least one step outside the permissible error"},
    Entry{VerifyText::Incomplete, "EKSİK: test son adımından önce sonlandırıldı",
          "INCOMPLETE: the test was ended before its last step"},
    Entry{VerifyText::NoAnswerEnd, "EKSİK: gösterge yanıt vermedi", "INCOMPLETE: the indicator did not answer"},
    Entry{VerifyText::HalfDivision, "Hatalar değişim noktası ağırlıkları olmadan alındı: yalnızca ±½ e doğrulukla bilinir.",
          "Errors taken without changeover weights: each is known only to ±½ e."},
    Entry{VerifyText::ChangeoverUsed, "Hatalar değişim noktasında alındı (E = I + ½e − ΔL − L).",
          "Errors taken at the changeover point (E = I + ½e − ΔL − L)."},
    Entry{VerifyText::Note, "Not", "Note"},
    Entry{VerifyText::SignatureTechnician, "Teknisyen imzası", "Technician's signature"},
    Entry{VerifyText::SignatureCustomer, "Müşteri imzası", "Customer's signature"},
    Entry{VerifyText::DialogMenu, "Doğrulama testi...", "Verification test..."},
    Entry{VerifyText::DialogStage, "Aşama", "Stage"},
    Entry{VerifyText::DialogLoads, "Tartım testi yükleri (kg; boş: olağan plan)",
          "Weighing test loads (kg; empty: the usual plan)"},
    Entry{VerifyText::DialogRepeatability, "Tekrarlanabilirlik yükleri (kg)", "Repeatability loads (kg)"},
    Entry{VerifyText::DialogEccentricity, "Merkez dışı yükleme yükü (kg)", "Eccentricity load (kg)"},
    Entry{VerifyText::DialogTimeout, "Kararlılık için bekleme (s)", "Wait for a stable weight (s)"},
    Entry{VerifyText::DialogChangeover, "Değişim noktası ağırlıklarını (ΔL) sor", "Ask for the changeover weights (ΔL)"},
    Entry{VerifyText::DialogStart, "Testi başlat", "Start the test"},
    Entry{VerifyText::DialogNotConnected, "Doğrulama için göstergeye bağlanın.", "Connect to the indicator to verify."},
    Entry{VerifyText::DialogBadInput, "%1: geçerli bir değer değil.", "%1: not a valid value."},
    Entry{VerifyText::DialogAboveMax, "%1 kg, Max değerinin (%2 kg) üzerinde.", "%1 kg is above Max, %2 kg."},
    Entry{VerifyText::RecordNotWritten, "Test kaydı %1 yazılamadı: %2", "The test record %1 could not be written: %2"},
};

}  // namespace

QString VerifyTextOf(VerifyText id, Language language)
{
    for (const Entry &e : kTexts)
        if (e.id == id)
            return QString::fromUtf8(language == Language::Turkish ? e.turkish : e.english);
    return {};
}

}  // namespace vx
