#pragma once
// Language lines "<prefix><line>", so a message or a cell shows which line was chosen.

#include "shell/LanguageTexts.h"

namespace vx::test {

inline LanguageTexts NumberedTexts(const QString &prefix = QStringLiteral("T"))
{
    LanguageTexts texts;
    for (int line = 1; line <= LanguageTexts::LineCount; ++line)
        texts.setText(line, prefix + QString::number(line));
    return texts;
}

}  // namespace vx::test
