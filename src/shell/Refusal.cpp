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

QString RefusalText(const TextService &texts)
{
    const QString line = texts.line(TextLine::DeviceRefused);
    return line.isEmpty() ? texts.builtIn(BuiltIn::DeviceRefused) : line;
}

QString RefusalText(const LanguageTexts &lines)
{
    const QString line = lines.text(TextLine::DeviceRefused);
    return line.isEmpty() ? TextService::builtIn(BuiltIn::DeviceRefused, Language::Turkish) : line;
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
