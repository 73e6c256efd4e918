#include "gui/FileMenu.h"

#include "files/ConfigurationSheet.h"
#include "files/RestorePoint.h"
#include "files/WorkingSet.h"
#include "gui/AnaForm.h"
#include "gui/FilePanels.h"
#include "gui/RestorePointsDialog.h"
#include "link/AppPaths.h"
#include "link/LineLease.h"
#include "report/ReportPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QTime>

namespace vx::gui {
namespace {

constexpr int kTextClearQuestion = 57;
constexpr int kTextClearTitle = 329;
constexpr int kTextNotConnected = TextLine::NotConnected;

}  // namespace

FileMenu::FileMenu(AnaForm &form) : m_form(form)
{
    // The dialogs start in the program's folder (or, not writable, the user's documents),
    // then in the folder of the file last opened or saved.
    m_state.ConfigFolder = QDir(FirstFileFolder()).absolutePath() + QLatin1Char('/');
    Dialog1 = [this](bool save, const QString &folder, const QString &name) {
        const TextService &texts = m_form.texts();
        const QString vxr = texts.builtIn(BuiltIn::ConfigFilesFilter);
        const QString all = texts.builtIn(BuiltIn::AllFilesFilter);
        if (save) {
            const QString preset = name == FilePattern ? folder : folder + name;
            return QFileDialog::getSaveFileName(&m_form, QString(), preset, vxr + QStringLiteral(";;") + all);
        }
        return QFileDialog::getOpenFileName(&m_form, QString(), folder, all + QStringLiteral(";;") + vxr);
    };
    // A file in use that names no indicator is asked about before it is sent.
    m_form.batchPanels().fileInUse = [this] { return m_state.hasFile(); };
}

QString FileMenu::chooseFile(bool save, const QString &name)
{
    const QString path = Dialog1 ? Dialog1(save, m_state.ConfigFolder, name) : QString();
    return QDir::fromNativeSeparators(path);
}

void FileMenu::New()
{
    WorkingSet &set = m_form.workingSet();
    set.clearForNew();
    m_state.ConfigFileName = FilePattern;
    m_form.setWindowTitle(WindowTitle());
    // The pages' own boxes and editors; the preset tare page stays as it is.
    for (int tab : {Tab::Header, Tab::IdMemory, Tab::Setpoint, Tab::Parameters, Tab::Status})
        m_form.page(tab)->clearPage();
    set.startedNew();
}

void FileMenu::Open()
{
    const QString path = chooseFile(false, QStringLiteral("*.*"));
    if (path.isEmpty())
        return;
    OpenPath(path);
}

bool FileMenu::OpenPath(const QString &path)
{
    FileError error;
    std::optional<ConfigurationRecord> record = ReadConfigurationFile(path, &error);
    if (!record) {
        // Nothing changes: a later plain save must not overwrite this file with the old set.
        const TextService &texts = m_form.texts();
        const QString shown = QDir::toNativeSeparators(path);
        m_form.op().message(error.kind == FileError::CutOff
                                ? texts.builtIn(BuiltIn::ConfigFileCutOff).arg(shown, error.reason)
                                : texts.builtIn(BuiltIn::ConfigFileNotOpened).arg(shown, error.reason),
                            Icon::Critical);
        return false;
    }
    m_state.DosyaDizin(path);
    m_form.setWindowTitle(WindowTitle(m_state.ConfigFileName));
    m_state.ConfigFilePath = m_state.ConfigFolder + m_state.ConfigFileName;
    WorkingSet &set = m_form.workingSet();
    set.record() = std::move(*record);
    m_state.ConfigLoaded = true;
    SilEm();
    set.show(m_form.texts().lines());
    set.opened(path);
    return true;
}

void FileMenu::unbind()
{
    m_state.ConfigFileName = FilePattern;
    m_state.ConfigFilePath.clear();
    m_state.ConfigLoaded = false;
    m_form.setWindowTitle(WindowTitle());
}

void FileMenu::SaveCommand(int index)
{
    WorkingSet &set = m_form.workingSet();
    set.collect();
    ConfigFileState next = m_state;
    if (!next.hasFile() || index == 4) {
        const QString path = chooseFile(true, next.ConfigFileName);
        if (path.isEmpty())
            return;
        next.ConfigFilePath = path;
        next.DosyaDizin(path);
    }
    if (!next.ConfigFileName.contains(QLatin1Char('.'))) {
        next.ConfigFilePath += QStringLiteral(".vxr");
        next.ConfigFileName += QStringLiteral(".vxr");
    }
    const FileError error = WriteConfigurationFile(next.ConfigFilePath, set.record());
    if (!error.ok()) {
        m_form.op().message(m_form.texts()
                                .builtIn(BuiltIn::ConfigFileNotSaved)
                                .arg(QDir::toNativeSeparators(next.ConfigFilePath), error.reason),
                            Icon::Critical);
        return;  // the title and the names stay those of the last good file
    }
    m_state = next;
    set.saved();
    m_form.setWindowTitle(WindowTitle(m_state.ConfigFileName));
    m_form.showStatusNote([time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                           path = QDir::toNativeSeparators(m_state.ConfigFilePath)](const TextService &texts) {
        return texts.builtIn(BuiltIn::ConfigFileSaved).arg(time, path);
    });
}

void FileMenu::SilEm()
{
    const int tab = m_form.state().CurrentTab;
    if (tab == Tab::Calibration)
        return;
    if (m_state.ConfigLoaded) {
        m_state.ConfigLoaded = false;
    } else {
        const TextService &texts = m_form.texts();
        if (m_form.op().yesNo(texts.line(kTextClearQuestion), Icon::Question, texts.line(kTextClearTitle))
            != Choice::Yes)
            return;
    }
    m_form.page(tab)->clearPage();
    if (const std::optional<DataGroup> group = GroupOfTab(tab))
        m_form.workingSet().edited(*group);
}

void FileMenu::PrintSheet()
{
    const TextService &texts = m_form.texts();
    const QString base = m_state.hasFile() ? QFileInfo(m_state.ConfigFileName).completeBaseName()
                                           : m_form.link().clock().now().toString(QStringLiteral("yyyyMMdd-HHmm"));
    const QString proposed = m_state.ConfigFolder + QStringLiteral("sheet-") + base + QStringLiteral(".pdf");
    QString path = sheetDialog ? sheetDialog(proposed)
                               : QFileDialog::getSaveFileName(&m_form, texts.builtIn(BuiltIn::SheetMenu), proposed,
                                                              texts.builtIn(BuiltIn::ReportFilter));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const ConfigurationSheetText sheet =
        ConfigurationSheet(m_form.workingSet(), m_form.state().IndicatorModel, texts, m_form.link().clock().now(),
                           m_state.hasFile() ? m_state.ConfigFileName : QString());
    QString why;
    if (!report::WriteSheetPdf(sheet, path, &why)) {
        m_form.op().message(texts.builtIn(BuiltIn::SheetNotSaved).arg(QDir::toNativeSeparators(path), why),
                            Icon::Critical);
        return;
    }
    m_form.showStatusNote([path = QDir::toNativeSeparators(path)](const TextService &t) {
        return t.builtIn(BuiltIn::SheetSaved).arg(path);
    });
}

void FileMenu::CompareWithIndicator()
{
    const QString path = chooseFile(false, QStringLiteral("*.*"));
    if (!path.isEmpty())
        m_form.compareFileWithIndicator(path);
}

void FileMenu::CompareWithFile()
{
    QString first = m_state.hasFile() ? m_state.ConfigFilePath : QString();
    if (first.isEmpty())
        first = chooseFile(false, QStringLiteral("*.*"));
    if (first.isEmpty())
        return;
    const QString second = chooseFile(false, QStringLiteral("*.*"));
    if (!second.isEmpty())
        m_form.compareFiles(first, second);
}

}  // namespace vx::gui

namespace vx::gui {

void FileMenu::RestorePoints()
{
    const TextService &texts = m_form.texts();
    if (!m_form.state().IsConnected) {
        m_form.op().message(texts.line(kTextNotConnected), Icon::Critical);
        return;
    }
    std::optional<IdentificationTexts> indicator;
    if (LineLease lease(m_form.link()); lease)
        indicator = ReadIndicatorIdentification(m_form.link(), texts.lines());
    else
        return;  // another operation holds the line
    if (!indicator) {
        m_form.op().message(texts.builtIn(BuiltIn::RestorePointNoIdentification), Icon::Critical);
        return;
    }
    if (m_restorePoints)
        m_restorePoints->close();
    const QString folder = DefaultRestorePointFolder();
    auto *dialog = new RestorePointsDialog(
        texts, *indicator, ListRestorePoints(folder, ModelName(m_form.state().IndicatorModel), *indicator), folder,
        &m_form);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->compareWithIndicator = compareWithIndicator;
    // The restore point becomes the working set, and goes through the send panel as any
    // opened file does: its groups ticked there by the technician.
    dialog->sendRestorePoint = [this](const QString &path) {
        if (!OpenPath(path))
            return;
        m_form.batchPanels().openSendPanel();
        m_form.showStatusNote([](const TextService &t) { return t.builtIn(BuiltIn::RestorePointsSendHint); });
    };
    m_restorePoints = dialog;
    dialog->show();
}

}  // namespace vx::gui
