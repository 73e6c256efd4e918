#pragma once
// The English language file shipped beside the test programs (LANGUAGE/English.txt): its
// list texts begin with their codes, as a write needs.

#include "shell/LanguageTexts.h"
#include "shell/TextService.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace vx::test {

inline TextService ShippedEnglish()
{
    TextService texts;
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("LANGUAGE/English.txt");
    std::optional<LanguageTexts> lines = LanguageTexts::fromFile(path);
    EXPECT_TRUE(lines.has_value()) << qPrintable(path);
    texts.use(lines.value_or(LanguageTexts()), QStringLiteral("English.txt"));
    return texts;
}

}  // namespace vx::test
