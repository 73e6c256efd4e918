#pragma once
// Reporting that the indicator refused a request or did not answer: the one message
// (language line 309; the built-in text where the language file gives none) and the
// disconnect action where the sequence gives one up.
//
//   if (answer.missingOrRefused())
//       return ReportRefusal(link.op(), texts, disconnect), result;

#include <QString>
#include <functional>

namespace vx {

class LanguageTexts;
class Operator;
class TextService;

// The message text: line 309 of the file in use; the built-in text while no file is
// read or when the file has no such line.
QString RefusalText(const TextService &texts);
// The same for a sequence that holds only the lines: the built-in text in Turkish,
// the built-in language before a file is read.
QString RefusalText(const LanguageTexts &lines);

// Shows the message (critical icon), then runs `disconnect` when there is one.
void ReportRefusal(Operator &op, const TextService &texts, const std::function<void()> &disconnect = {});
void ReportRefusal(Operator &op, const LanguageTexts &lines, const std::function<void()> &disconnect = {});

}  // namespace vx
