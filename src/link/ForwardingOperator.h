#pragma once
// An operator that hands everything to another one; a subclass overrides only
// what it adds (the window's progress bars, showing a message once).

#include "link/Interfaces.h"

namespace vx {

class ForwardingOperator : public Operator {
public:
    explicit ForwardingOperator(Operator &inner) : m_inner(inner) {}

    void message(const QString &text, Icon icon, const QString &title) override
    {
        m_inner.message(text, icon, title);
    }
    Choice abortRetryIgnore(const QString &text, Icon icon, const QString &title) override
    {
        return m_inner.abortRetryIgnore(text, icon, title);
    }
    Choice okCancel(const QString &text, Icon icon, const QString &title) override
    {
        return m_inner.okCancel(text, icon, title);
    }
    Choice yesNo(const QString &text, Icon icon, const QString &title) override
    {
        return m_inner.yesNo(text, icon, title);
    }
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override
    {
        return m_inner.input(prompt, title, defaultText);
    }
    void showProgress(ProgressId bar, bool visible) override { m_inner.showProgress(bar, visible); }
    void setProgress(ProgressId bar, int value, int maximum) override
    {
        m_inner.setProgress(bar, value, maximum);
    }
    void showStep(const QString &text, Tone tone) override { m_inner.showStep(text, tone); }

protected:
    Operator &inner() { return m_inner; }

private:
    Operator &m_inner;
};

}  // namespace vx
