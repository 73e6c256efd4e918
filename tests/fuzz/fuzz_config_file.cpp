// Rooms: files
// The configuration file reader: any bytes as a file's content, read into the
// record, opened into a working set (the readers) and saved again (the collectors).
//
// Rules checked: reading never fails on a file at least as long as its record and
// never reads past the end; a file it accepts, once opened and saved, saves back
// byte for byte the same when that save is opened and saved in turn (opening may
// normalise a file written elsewhere once, never twice).

#include "FuzzInput.h"

#include "files/ConfigurationRecord.h"
#include "files/WorkingSet.h"
#include "shell/LanguageTexts.h"

using namespace vx;

namespace {

// The list texts of [207] and [105] begin with their codes, as a language file's do.
const LanguageTexts &texts()
{
    static const LanguageTexts t = [] {
        LanguageTexts out;
        out.setText(335, QStringLiteral("0- Off"));
        out.setText(336, QStringLiteral("1- Tilt"));
        out.setText(337, QStringLiteral("2- Both"));
        out.setText(338, QStringLiteral("0- Off"));
        out.setText(339, QStringLiteral("1- Filling"));
        return out;
    }();
    return t;
}

// Opened into a fresh working set and saved.
QByteArray openAndSave(const ConfigurationRecord &record)
{
    WorkingSet set;
    set.record() = record;
    set.show(texts());
    set.collect();
    return EncodeRecord(set.record());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    int used = 0;
    const std::optional<ConfigurationRecord> record = DecodeRecord(file, &used);
    if (!record) {
        FUZZ_CHECK(file.size() < EmptyRecordSize + 31 * 0xFFFF + 31 * 2);
        return 0;
    }
    FUZZ_CHECK(used >= EmptyRecordSize && used <= file.size());
    // The record's own form is as long as what it was read from.
    FUZZ_CHECK(EncodeRecord(*record).size() == used);

    const QByteArray saved = openAndSave(*record);
    const std::optional<ConfigurationRecord> again = DecodeRecord(saved);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(openAndSave(*again) == saved);
    return 0;
}
