#include "shell/Refusal.h"

#include "link/Interfaces.h"
#include "shell/TextService.h"

namespace vx {
namespace {

void report(Operator &op, const QString &text, const std::function<void()> &disconnect)
{
    op.message(text, Icon::Critical);
    if (disconnect)
        disconnect();
}

}  // namespace

QString RefusalText(const TextService &texts) { return texts.lineOr(TextLine::DeviceRefused, BuiltIn::DeviceRefused); }

QString RefusalText(const LanguageTexts &lines)
{
    return lines.isEmpty() ? TextService::builtIn(BuiltIn::DeviceRefused, Language::Turkish)
                           : lines.text(TextLine::DeviceRefused);
}

void ReportRefusal(Operator &op, const TextService &texts, const std::function<void()> &disconnect)
{
    report(op, RefusalText(texts), disconnect);
}

void ReportRefusal(Operator &op, const LanguageTexts &lines, const std::function<void()> &disconnect)
{
    report(op, RefusalText(lines), disconnect);
}

}  // namespace vx
