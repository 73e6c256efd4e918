#pragma once
// The File menu's configuration file actions: New, Open, Save and Save as with the
// common file dialog Dialog1, the window title, and the page clearing (SilEm) that
// the clear button and an open run. They collect the working set into its record
// and show it from there (files/WorkingSet.h); the file itself is files/ConfigFile.h.
//
// A save that fails says so and leaves the title and the file names as they were;
// an open that fails, or of a file that ends before the record does, says so and
// changes nothing.

#include "files/ConfigFile.h"
#include "gui/RestorePointsDialog.h"

#include <QPointer>
#include <QString>
#include <functional>

namespace vx::gui {

class AnaForm;

class FileMenu {
public:
    explicit FileMenu(AnaForm &form);

    // Dialog1: the standard open (save = false) and save dialogs, starting in `folder`
    // with `name` preset. Returns the chosen full path, empty when cancelled. Tests
    // put their own here.
    std::function<QString(bool save, const QString &folder, const QString &name)> Dialog1;

    void New();              // "&Yeni"
    void Open();             // "&Aç"
    // The open of `path` without the dialog; false (and said) when it cannot be read.
    bool OpenPath(const QString &path);
    // The name of the file a plain save writes; empty when there is none.
    QString boundFileName() const { return m_state.hasFile() ? m_state.ConfigFileName : QString(); }
    // The data no longer belongs to the file: the next save asks for a name.
    void unbind();
    void SaveCommand(int index); // 3 "&Kaydet", 4 "&Farklı Kaydet"
    // Empties the selected tab's page: after a confirmation, unless a file was just
    // opened (ConfigLoaded); never the calibration tab.
    void SilEm();
    // "Compare with indicator...": a file chosen with Dialog1 against the indicator.
    void CompareWithIndicator();
    // "Compare with file...": the current file (or one chosen first) against another.
    void CompareWithFile();

    const ConfigFileState &state() const { return m_state; }

    // "Print configuration sheet…": the working set's sheet (files/ConfigurationSheet.h)
    // as a PDF where sheetDialog says, written through the checked write.
    void PrintSheet();
    // The PDF's path, asked with the proposed one ("sheet-<file>.pdf" in the file's
    // folder); empty: cancelled. Tests put their own here.
    std::function<QString(const QString &proposed)> sheetDialog;

    // "Restore points…": the connected indicator's restore points (its identification
    // texts read first). "Send" opens the one chosen as a file and opens the send panel.
    void RestorePoints();
    RestorePointsDialog *restorePointsDialog() const { return m_restorePoints; }
    // What the dialog's "Compare with indicator" does with the restore point chosen.
    std::function<void(const QString &path)> compareWithIndicator;

private:
    QString chooseFile(bool save, const QString &name);

    AnaForm &m_form;
    ConfigFileState m_state;
    QPointer<RestorePointsDialog> m_restorePoints;
};

}  // namespace vx::gui
