#pragma once
// Language lines "<prefix><line>", so a message or a cell shows which line was chosen.

#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

namespace vx::test {

inline LanguageTexts NumberedTexts(const QString &prefix = QStringLiteral("T"))
{
    LanguageTexts texts;
    for (int line = 1; line <= LanguageTexts::LineCount; ++line)
        texts.setText(line, prefix + QString::number(line));
    return texts;
}

// The same lines in use as "English.txt".
inline TextService NumberedTextService()
{
    TextService texts;
    texts.use(NumberedTexts(), QStringLiteral("English.txt"));
    return texts;
}

}  // namespace vx::test
