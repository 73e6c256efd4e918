#pragma once
// A main window against the in-process virtual indicator: temporary program
// folder with generated language files (line N of English.txt reads "EN", of
// Türkçe.txt "TN"), an ini settings store, a virtual clock and a scripted operator.

#include "gui/AnaForm.h"
#include "gui/FilePanels.h"
#include "gui/LanguageFilePanel.h"
#include "gui/SettingsPanel.h"
#include "link/LineLease.h"
#include "link/AppPaths.h"
#include "link/Settings.h"
#include "sim/InProcessPort.h"
#include "sim/Modules.h"
#include "sim/VirtualClock.h"
#include "sim/VirtualIndicator.h"
#include "support/ScriptedOperator.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>
#include <ctime>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <memory>

// Readable QStrings in failure messages.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace vx::test {

// The computer's time zone for one test: a POSIX TZ text ("<+03>-3" is UTC+03:00 all year).
class LocalZone {
public:
    explicit LocalZone(const char *tz) : m_before(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", tz);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_before);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray m_before;
    bool m_had;
};

// Language file whose line N reads prefix + N, with optional overrides.
inline QByteArray languageFile(const QString &prefix, const std::map<int, QString> &overrides = {})
{
    QByteArray bytes;
    for (int line = 1; line <= vx::LanguageTexts::LineCount; ++line) {
        auto it = overrides.find(line);
        const QString text = it != overrides.end() ? it->second : prefix + QString::number(line);
        bytes += text.toUtf8() + "\r\n";
    }
    return bytes;
}

class GuiTest : public ::testing::Test {
protected:
    GuiTest()
    {
        EXPECT_TRUE(dir.isValid());
        vx::setProgramFolder(dir.path());
        vx::setWritableFolder(dir.path());
        QDir(dir.path()).mkpath("LANGUAGE");
        writeLanguage("English.txt", languageFile("E"));
        writeLanguage("Türkçe.txt", languageFile("T"));
        store = std::make_unique<vx::SettingsStore>(dir.filePath("settings.ini"));
        vx::sim::ModuleOptions modules;
        modules.seconds = [this] { return clock.elapsed(); };
        vx::sim::InstallDefaultModules(device, modules);
    }
    ~GuiTest() override
    {
        form.reset();
        vx::setProgramFolder(QString());
        vx::setWritableFolder(QString());
    }

    void writeLanguage(const QString &name, const QByteArray &bytes)
    {
        QFile f(QDir(dir.path()).filePath(QStringLiteral("LANGUAGE/") + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    void makeForm(const vx::gui::AnaForm::PageFactory &pages = {})
    {
        form = std::make_unique<vx::gui::AnaForm>(port, clock, op, *store, nullptr, pages);
    }
    // A window that has been started with the model given.
    void start(const QString &model = QStringLiteral("ZR2"), const vx::gui::AnaForm::PageFactory &pages = {})
    {
        makeForm(pages);
        EXPECT_TRUE(form->FormLoad(model));
    }
    vx::gui::Light light() const { return form->light(); }
    // Status readings the indicator has seen: each begins with a read of register 0
    // (other tabs' reads enter host mode too).
    int statusReadings() const
    {
        return int(std::count_if(device.requests().begin(), device.requests().end(),
                                 [](const QString &r) { return r.startsWith(QStringLiteral("@0300000002")); }));
    }

    template <typename T = QWidget>
    T *ctl(const QString &name) const
    {
        T *w = form->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << qPrintable(name);
        return w;
    }
    QAction *action(const QString &name) const { return ctl<QAction>(name); }
    // Shown as far as the window goes (the window itself may be hidden in a test).
    bool shown(const QString &name) const { return !ctl(name)->isHidden(); }

    QTemporaryDir dir;
    vx::sim::VirtualIndicator device;
    vx::sim::VirtualClock clock;
    vx::sim::InProcessPort port{device, clock};
    ScriptedOperator op;
    std::unique_ptr<vx::SettingsStore> store;
    std::unique_ptr<vx::gui::AnaForm> form;
};

}  // namespace vx::test
