// Captions from the language file and the file change.

#include "gui/AnaForm.h"

#include "gui/Form1.h"
#include "gui/ParameterPage.h"
#include "gui/SettingsPanel.h"
#include "gui/Widgets.h"
#include "link/AppPaths.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMenu>

namespace vx::gui {

void AnaForm::applyTexts()
{
    m_captions.apply(m_texts);
    updateConnectCaption();
    updateDrainCaption();
    updateMonitorCaptions();
    if (auto *history = findChild<QAction *>(QStringLiteral("MnHistory")))  // the service history's item
        history->setText(m_texts.builtIn(BuiltIn::HistoryMenuItem));
    // The compare items of the File menu have built-in texts.
    if (m_mnDosya) {
        const std::pair<const char *, BuiltIn> compareItems[] = {
            {"MnDosyaCompareIndicator", BuiltIn::CompareWithIndicatorMenu},
            {"MnDosyaCompareFile", BuiltIn::CompareWithFileMenu}};
        for (const auto &[name, text] : compareItems)
            if (QAction *item = m_mnDosya->findChild<QAction *>(QString::fromLatin1(name)))
                item->setText(m_texts.builtIn(text));
    }
    if (m_form1)
        m_form1->applyLanguage(m_texts.lines());
    // The weekday names of the date decoding (the failure text follows every load, in diloku).
    m_link->decode.weekdayNames = m_texts.lines().weekdayNames();
}

QString AnaForm::captionText(int line) const
{
    // Before any language file is loaded the design captions stand.
    return m_texts.isLoaded() ? m_texts.line(line) : m_captions.design(line);
}

void AnaForm::updateConnectCaption()
{
    m_connect->setText(captionText(m_state.IsConnected ? 377 : 376));
    // The red light also says why the last connect failed or the link was lost.
    const QString invitation = captionText(376);
    m_lamps[0]->setToolTip(!m_linkProblem ? invitation : invitation + QLatin1Char('\n') + m_linkProblem(m_texts));
}

void AnaForm::updateDrainCaption()
{
    m_settingsPanel->applyTexts(m_texts);
}

void AnaForm::diloku()
{
    const bool loaded = m_texts.load(m_link->settings.LanguageFileName);
    m_link->transactionErrorText = m_texts.transactionErrorText();
    updateDrainCaption();
    if (!loaded)
        return;  // a missing file leaves the captions as they are
    applyTexts();
    // What was read or chosen is said again in the new language: the list texts of the
    // parameter values (an open list editor closes: its items are the old ones) and the
    // status line.
    if (ParameterPage *parameters = parameterPage())
        parameters->hideEditors();
    m_workingSet->parameters().setTexts(m_texts.lines());
    renderStatusLine();
    forEachPage([this](TabPage &p) { p.applyLanguage(m_texts); });
    forEachPage([](TabPage &p) { p.layOutGrids(); });
}

}  // namespace vx::gui
