// Rooms: link shell calibration params
// The parameter blocks from the line: an answer stripped to its data
// (AnswerDataHex) and the configuration and calibration blocks decoded into
// the grid (PlaceConfigurationBlock, PlaceCalibrationBlock), then written back.
//
// Input: one byte of settings (bit 0 checksum on; bits 1-2 the address: none, "00",
// two digits from the next byte; bit 3 the calibration block instead of the
// configuration block; bit 4 a weight display format), then the bytes that are both
// the answer as it came off the line and, padded with zeros or cut, the block.
//
// Rules checked: data comes only from a whole answer of the count asked for; decoded
// cells are what the row's kind allows; bytes that stand for a value of the row's
// list, a number, a weight or a word are written back as they were read; a block read
// and written once more is written the same.

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/Cp1254.h"
#include "params/BlockCodec.h"
#include "params/ParameterSet.h"
#include "shell/LanguageTexts.h"

using namespace vx;
using params::Area;
using params::Kind;

namespace {

// Language lines as a real file has them: every list text begins with its code.
const LanguageTexts &texts()
{
    static const LanguageTexts t = [] {
        LanguageTexts out;
        for (const params::Row &row : params::Rows()) {
            for (params::Items items : {row.read, row.list})
                for (const params::Item &item : items)
                    if (item.text.line > 0 && !item.text.literal)
                        out.setText(item.text.line, QStringLiteral("%1- line %2").arg(item.code).arg(item.text.line));
        }
        out.setText(191, QStringLiteral("X- Off"));   // "4" + this line without its first character
        out.setText(219, QStringLiteral("0- None"));  // the other text of the port rows
        return out;
    }();
    return t;
}

bool allDigits(const QString &s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

// A byte whose meaning survives a read and a write unchanged.
bool exact(const params::Row &row, int byte)
{
    switch (row.kind) {
    case Kind::Choice:
        for (const params::Item &item : row.read)
            if (item.code == byte)
                return true;
        return false;
    case Kind::Digit:
        return byte >= 1 && byte <= 9;
    case Kind::Number:
    case Kind::Tenths:
    case Kind::Weight:
    case Kind::Word:
    case Kind::WordPair:
    case Kind::LongPrefixed:
        return true;
    default:
        return false;  // [800] is never written
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const bool checksumOn = (setup & 1) != 0;
    QString address;
    switch ((setup >> 1) & 3) {
    case 1: address = QStringLiteral("00"); break;
    case 2: address = PadLeftZeros(qint64(in.byte() % 100), 2); break;
    default: break;
    }
    const Area area = (setup & 8) ? Area::Calibration : Area::Configuration;
    const int blockBytes = params::AreaBytes(area);
    const QByteArray rest = in.rest();

    // The answer path: a value only from a whole answer of the count asked for.
    const int asked = area == Area::Calibration ? blockBytes : blockBytes / 2;
    const QString answer = cp1254::decode(rest);
    const std::optional<QString> stripped = AnswerDataHex(answer, address, checksumOn, asked);
    if (stripped) {
        FUZZ_CHECK(IsCompleteReadAnswer(answer, address, checksumOn, asked));
        FUZZ_CHECK(stripped->size() == 2 * asked);
    }

    // The block path.
    QByteArray bytes = rest.left(blockBytes);
    bytes.append(QByteArray(blockBytes - bytes.size(), '\0'));
    const QString hex = QString::fromLatin1(bytes.toHex().toUpper());
    ParameterSet set;
    if (setup & 16) {
        set.weight.WeightFormatReference = QStringLiteral("300.045");
        set.weight.DecimalsPattern = QStringLiteral("005");
    }
    auto decode = [&](ParameterSet &s, const QString &block) {
        return area == Area::Calibration ? PlaceCalibrationBlock(s, block, texts()) : PlaceConfigurationBlock(s, block, texts());
    };
    FUZZ_CHECK(decode(set, hex));

    for (const params::Row &row : params::Rows()) {
        if (row.area != area)
            continue;
        const QString v = set.value(row.row);
        switch (row.kind) {
        case Kind::Number: FUZZ_CHECK(allDigits(v) && v.toInt() <= 255); break;
        case Kind::Digit: FUZZ_CHECK(v.size() == 2 && v.at(0).isDigit() && v.at(1) == QLatin1Char(' ')); break;
        case Kind::Word: FUZZ_CHECK(allDigits(v) && v.toInt() <= 65535); break;
        case Kind::WordPair: FUZZ_CHECK(v.contains(QStringLiteral(" - "))); break;
        case Kind::Weight: {
            const std::optional<qint64> raw = set.rowValue(row.row).held();
            FUZZ_CHECK(raw.has_value());
            FUZZ_CHECK(v == set.weight.format(QString::number(*raw)));
            break;
        }
        default: break;
        }
    }

    // What was read is written back; once more round, nothing moves.
    const QString written = EncodeArea(set, area);
    FUZZ_CHECK(written.size() == 2 * blockBytes);
    for (const params::Row &row : params::Rows()) {
        if (row.area != area || row.group == params::Group::None || !exact(row, quint8(bytes[row.offset])))
            continue;
        FUZZ_CHECK(written.mid(row.offset * 2, row.width * 2) == hex.mid(row.offset * 2, row.width * 2));
    }
    ParameterSet again;
    again.weight = set.weight;
    FUZZ_CHECK(decode(again, written));
    FUZZ_CHECK(EncodeArea(again, area) == written);

    return 0;
}
