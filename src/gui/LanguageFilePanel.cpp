#include "gui/LanguageFilePanel.h"

#include "gui/PanelHost.h"
#include "gui/Widgets.h"
#include "link/Settings.h"
#include "link/Transaction.h"
#include "shell/LanguageTexts.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>

namespace vx::gui {

LanguageFilePanel::LanguageFilePanel(PanelHost &host, QWidget *parent, Captions &captions)
    : m_host(host), m_l(BuildLanguagePanel(parent, captions))
{
    // The two options pick the shipped files; the file named in the list is what counts.
    QComboBox *files = m_l.files;
    for (int i = 0; i < 2; ++i) {
        const QString file = TextService::shippedFile(i == 0 ? Language::Turkish : Language::English);
        QObject::connect(m_l.option2[i], &QRadioButton::clicked, m_l.panel, [files, file] {
            if (int index = files->findText(file); index >= 0)
                files->setCurrentIndex(index);
        });
    }
    QObject::connect(files, &QComboBox::currentTextChanged, m_l.panel, [options = m_l.option2](const QString &name) {
        const std::optional<Language> shipped = TextService::shippedLanguage(name);
        for (int i = 0; i < 2; ++i) {
            options[i]->setAutoExclusive(false);
            options[i]->setChecked(shipped == (i == 0 ? Language::Turkish : Language::English));
            options[i]->setAutoExclusive(true);
        }
    });
    QObject::connect(m_l.ok, &QPushButton::clicked, m_l.panel, [this] { SSCommand9_Click(); });
    QObject::connect(m_l.cancel, &QPushButton::clicked, m_l.panel, [this] { SSCommand8_Click(); });
}

void LanguageFilePanel::open()
{
    QComboBox *files = m_l.files;
    files->clear();
    files->addItems(LanguageFiles());
    const int current = files->findText(m_host.link().settings.LanguageFileName);
    if (current >= 0)
        files->setCurrentIndex(current);
    m_host.panelShown(m_l.panel);
}

void LanguageFilePanel::SSCommand9_Click()
{
    const QString chosen = m_l.files->currentText();
    if (chosen.isEmpty())
        return;
    // A test read: an empty file gives way to "ingilizce.txt"; a file that cannot be
    // opened keeps the language in use.
    const TextService::Probe probe = TextService::probe(chosen);
    if (!probe.ok) {
        m_host.link().op().message(m_host.texts()
                                       .builtIn(BuiltIn::LanguageFileFailed)
                                       .arg(QDir::toNativeSeparators(probe.path), probe.error),
                                   Icon::Critical);
        return;
    }
    m_host.link().settings.LanguageFileName = probe.fileName;
    StoreLanguage(m_host.store(), probe.fileName);
    m_host.languageChosen();
    m_l.panel->hide();
    m_host.panelClosed();
}

void LanguageFilePanel::SSCommand8_Click()
{
    m_l.panel->hide();
    m_host.panelClosed();
}

void LanguageFilePanel::hide() { m_l.panel->hide(); }

}  // namespace vx::gui
