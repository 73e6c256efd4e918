// Rooms: link shell
// The language file reader: any bytes a user may put in LANGUAGE/*.txt.
//
// Rules checked: at most 418 lines are read, no text holds a line break, lines
// beyond the file are empty, and the code page behind the reader turns every byte
// into a character and back unchanged.

#include "FuzzInput.h"

#include "link/Cp1254.h"
#include "shell/LanguageTexts.h"

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const LanguageTexts texts = LanguageTexts::fromBytes(bytes);

    FUZZ_CHECK(texts.linesRead() >= 0 && texts.linesRead() <= LanguageTexts::LineCount);
    FUZZ_CHECK(texts.isEmpty() == (texts.linesRead() == 0));
    FUZZ_CHECK(!bytes.isEmpty() || texts.isEmpty());
    for (int line = 0; line <= LanguageTexts::LineCount + 1; ++line) {
        const QString text = texts.text(line);
        FUZZ_CHECK(!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')));
        if (line < 1 || line > texts.linesRead())
            FUZZ_CHECK(text.isEmpty());
    }
    FUZZ_CHECK(texts.weekdayNames().size() == 7);
    texts.brandIsHalvern();

    FUZZ_CHECK(cp1254::encode(cp1254::decode(bytes)) == bytes);
    return 0;
}
