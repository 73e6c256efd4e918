#pragma once
// An Operator for tests: records every message box, question and input request
// (text, icon, title and the answer given) and answers from queues filled by the
// test. An empty queue gives the default answer of that kind. Progress calls are
// recorded as well.
//
//   vx::test::ScriptedOperator op;
//   op.abortRetryIgnoreAnswers = {vx::Choice::Retry, vx::Choice::Ignore};
//   ...run a sequence...
//   EXPECT_EQ(op.count(vx::test::ScriptedOperator::Kind::AbortRetryIgnore), 2);

#include "link/Interfaces.h"

#include <QString>
#include <QStringList>
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
        QString text;                  // message text or input prompt
        vx::Icon icon = vx::Icon::None;
        QString title;
        std::optional<vx::Choice> choice;  // the answer to a question
        std::optional<QString> input;      // the answer to an input request (none: cancelled)
        QString defaultText;               // the input's proposed text
    };

    struct ProgressCall {
        vx::ProgressId bar = vx::ProgressId::Small;
        bool isShow = false;  // showProgress (visible) or setProgress (value, maximum)
        bool visible = false;
        int value = 0;
        int maximum = -1;
    };

    // Answers, consumed front first.
    std::deque<vx::Choice> abortRetryIgnoreAnswers;
    std::deque<vx::Choice> okCancelAnswers;
    std::deque<vx::Choice> yesNoAnswers;
    std::deque<std::optional<QString>> inputAnswers;  // std::nullopt: the user cancels

    // Answers when a queue is empty. An unscripted input returns its default text.
    vx::Choice defaultAbortRetryIgnore = vx::Choice::Ignore;
    vx::Choice defaultOkCancel = vx::Choice::Ok;
    vx::Choice defaultYesNo = vx::Choice::Yes;

    // Called for every message, question and input request, before it is answered;
    // lets a test change the world at the moment the dialog is up.
    std::function<void(const Call &)> onCall;

    // What happened, oldest first.
    std::vector<Call> calls;
    std::vector<ProgressCall> progressCalls;
    std::map<vx::ProgressId, bool> progressVisible;
    std::map<vx::ProgressId, int> progressValue;
    std::map<vx::ProgressId, int> progressMaximum;

    // ---- vx::Operator ----
    void message(const QString &text, vx::Icon icon = vx::Icon::None, const QString &title = {}) override
    {
        Call c{Kind::Message, text, icon, title, std::nullopt, std::nullopt, {}};
        if (onCall)
            onCall(c);
        calls.push_back(c);
    }

    vx::Choice abortRetryIgnore(const QString &text, vx::Icon icon, const QString &title = {}) override
    {
        return ask(Kind::AbortRetryIgnore, text, icon, title, abortRetryIgnoreAnswers,
                   defaultAbortRetryIgnore);
    }

    vx::Choice okCancel(const QString &text, vx::Icon icon, const QString &title = {}) override
    {
        return ask(Kind::OkCancel, text, icon, title, okCancelAnswers, defaultOkCancel);
    }

    vx::Choice yesNo(const QString &text, vx::Icon icon, const QString &title = {}) override
    {
        return ask(Kind::YesNo, text, icon, title, yesNoAnswers, defaultYesNo);
    }

    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override
    {
        Call c{Kind::Input, prompt, vx::Icon::None, title, std::nullopt, std::nullopt, defaultText};
        if (onCall)
            onCall(c);
        std::optional<QString> answer = defaultText;
        if (!inputAnswers.empty()) {
            answer = inputAnswers.front();
            inputAnswers.pop_front();
        }
        c.input = answer;
        calls.push_back(c);
        return answer;
    }

    void showProgress(vx::ProgressId bar, bool visible) override
    {
        progressVisible[bar] = visible;
        progressCalls.push_back(ProgressCall{bar, true, visible, 0, -1});
    }

    void setProgress(vx::ProgressId bar, int value, int maximum = -1) override
    {
        progressValue[bar] = value;
        if (maximum >= 0)
            progressMaximum[bar] = maximum;
        progressCalls.push_back(ProgressCall{bar, false, false, value, maximum});
    }

    // ---- inspection ----
    int count(Kind kind) const
    {
        int n = 0;
        for (const Call &c : calls)
            n += c.kind == kind ? 1 : 0;
        return n;
    }
    int dialogCount() const { return int(calls.size()); }

    std::vector<Call> callsOf(Kind kind) const
    {
        std::vector<Call> out;
        for (const Call &c : calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    // Texts of the plain message boxes, oldest first.
    QStringList messages() const
    {
        QStringList out;
        for (const Call &c : calls)
            if (c.kind == Kind::Message)
                out << c.text;
        return out;
    }

    // The last call; a default Call when there was none.
    Call last() const { return calls.empty() ? Call{} : calls.back(); }

    void clear()
    {
        calls.clear();
        progressCalls.clear();
        progressVisible.clear();
        progressValue.clear();
        progressMaximum.clear();
    }

private:
    vx::Choice ask(Kind kind, const QString &text, vx::Icon icon, const QString &title,
                   std::deque<vx::Choice> &queue, vx::Choice fallback)
    {
        Call c{kind, text, icon, title, std::nullopt, std::nullopt, {}};
        if (onCall)
            onCall(c);
        vx::Choice answer = fallback;
        if (!queue.empty()) {
            answer = queue.front();
            queue.pop_front();
        }
        c.choice = answer;
        calls.push_back(c);
        return answer;
    }
};

}  // namespace vx::test
