#pragma once
// The communication monitor: a dock of the main window that lists every frame the
// link writes and takes in, and every line that goes to "ZRxLog.txt" (marked "*"
// and coloured), one FormatTrafficLine a row. It listens only while open: open()
// adds it to the link's listeners, closing it takes it off again.
//
// Pause keeps the list as it is (frames meanwhile are not listed); Clear empties it;
// the register filter shows only the lines of one register; Save writes the lines
// shown as a UTF-8 text file. The list keeps the last MaxLines lines.

#include "link/Traffic.h"

#include <QDockWidget>
#include <functional>

class QListWidget;
class QPushButton;
class QSpinBox;
class QLabel;

namespace vx {
class Link;
class Operator;
class TextService;
}  // namespace vx

namespace vx::gui {

class CommunicationMonitor : public QDockWidget, public TrafficListener {
    Q_OBJECT
public:
    static constexpr int MaxLines = 10000;

    CommunicationMonitor(Link &link, const TextService &texts, Operator &op, QWidget *parent);
    ~CommunicationMonitor() override;

    // Shows the dock and starts listening.
    void open();
    // Captions in the language of texts (after a language change).
    void applyTexts(const TextService &texts);
    bool listening() const { return m_listening; }

    void traffic(const TrafficEvent &event) override;

    bool paused() const;
    void setPaused(bool paused);
    void clear();
    // -1: every line; otherwise only the lines of that register.
    void setRegisterFilter(int reg);
    // The lines shown, top to bottom.
    QStringList shownLines() const;
    int lineCount() const;
    // Writes the lines shown to path (through the safe write); a failure is shown to
    // the operator and returns false.
    bool saveTo(const QString &path);
    // Asks where to save (the save dialog; tests replace it). Empty: cancelled.
    std::function<QString()> chooseSavePath;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void stopListening();
    void save();

    Link &m_link;
    const TextService &m_texts;
    Operator &m_op;
    bool m_listening = false;
    int m_filter = -1;
    QListWidget *m_list = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_save = nullptr;
    QLabel *m_registerLabel = nullptr;
    QSpinBox *m_register = nullptr;
};

}  // namespace vx::gui
