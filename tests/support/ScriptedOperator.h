#pragma once
// An Operator for tests: records every message box, question and input request
// and answers from queues filled by the test; an empty queue answers Ignore, Ok,
// Yes, or the input's proposed text. The progress bars' last state is kept.
//
//   vx::test::ScriptedOperator op;
//   op.abortRetryIgnoreAnswers = {vx::Choice::Retry, vx::Choice::Ignore};
//   ...run a sequence...
//   EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::AbortRetryIgnore), 2);

#include "link/Interfaces.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace vx::test {

class ScriptedOperator : public vx::Operator {
public:
    enum class Kind { Message, AbortRetryIgnore, OkCancel, YesNo, Input };

    struct Call {
        Kind kind = Kind::Message;
        QString text;  // message text or input prompt
        vx::Icon icon = vx::Icon::None;
        QString defaultText;  // the input's proposed text
    };

    // Answers, consumed front first; std::nullopt for an input: the user cancels.
    std::deque<vx::Choice> abortRetryIgnoreAnswers, okCancelAnswers, yesNoAnswers;
    std::deque<std::optional<QString>> inputAnswers;

    // Called for every call before it is answered: lets a test change the world
    // while the dialog is up.
    std::function<void(const Call &)> onCall;

    std::vector<Call> calls;  // oldest first
    std::map<vx::ProgressId, bool> progressVisible;
    std::map<vx::ProgressId, int> progressValue;
    std::vector<std::pair<QString, vx::Tone>> steps;  // showStep calls, oldest first

    void showStep(const QString &text, vx::Tone tone) override { steps.emplace_back(text, tone); }

    void message(const QString &text, vx::Icon icon, const QString &) override { record({Kind::Message, text, icon, {}}); }
    vx::Choice abortRetryIgnore(const QString &text, vx::Icon icon, const QString &) override
    {
        return ask(Kind::AbortRetryIgnore, text, icon, abortRetryIgnoreAnswers, vx::Choice::Ignore);
    }
    vx::Choice okCancel(const QString &text, vx::Icon icon, const QString &) override
    {
        return ask(Kind::OkCancel, text, icon, okCancelAnswers, vx::Choice::Ok);
    }
    vx::Choice yesNo(const QString &text, vx::Icon icon, const QString &) override
    {
        return ask(Kind::YesNo, text, icon, yesNoAnswers, vx::Choice::Yes);
    }
    std::optional<QString> input(const QString &prompt, const QString &, const QString &defaultText) override
    {
        record({Kind::Input, prompt, vx::Icon::None, defaultText});
        std::optional<QString> answer = defaultText;
        if (!inputAnswers.empty()) {
            answer = inputAnswers.front();
            inputAnswers.pop_front();
        }
        return answer;
    }
    void showProgress(vx::ProgressId bar, bool visible) override { progressVisible[bar] = visible; }
    void setProgress(vx::ProgressId bar, int value, int) override { progressValue[bar] = value; }

    int count(Kind kind) const
    {
        return int(std::count_if(calls.begin(), calls.end(), [kind](const Call &c) { return c.kind == kind; }));
    }
    int dialogCount() const { return int(calls.size()); }
    QStringList messages() const  // texts of the plain message boxes
    {
        QStringList out;
        for (const Call &c : calls)
            if (c.kind == Kind::Message)
                out << c.text;
        return out;
    }
    Call last() const { return calls.empty() ? Call{} : calls.back(); }
    void clear() { *this = ScriptedOperator(); }  // forgets the calls and the answers still queued

private:
    void record(const Call &c)
    {
        if (onCall)
            onCall(c);
        calls.push_back(c);
    }
    vx::Choice ask(Kind kind, const QString &text, vx::Icon icon, std::deque<vx::Choice> &queue, vx::Choice fallback)
    {
        record({kind, text, icon, {}});
        if (queue.empty())
            return fallback;
        const vx::Choice answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

}  // namespace vx::test
