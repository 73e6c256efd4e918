#pragma once
// The "Status" tab: the status grid Grid1_3 over the status table, and the reader
// that fills it (F5, the refresh button, the tab change and the 5-second timer).

#include "monitor/Status.h"

#include <QObject>
#include <QString>

class QTableView;

namespace vx::gui {

class AnaForm;

class StatusTab : public QObject {
    Q_OBJECT
public:
    explicit StatusTab(AnaForm &form);

    StatusTable &table() { return m_table; }
    // CalibrationPermitted and AnalogCardPresent, as the last reading left them (empty: unknown).
    MonitorFlags &flags() { return m_flags; }
    const StatusReading &lastReading() const { return m_last; }
    QTableView *view() const { return m_view; }

    // How weights are shown; the parameter work sets these from the indicator's range.
    QString weightReference;
    int decimals = 0;

    // StatuOku with the window's link, texts and disconnect action, shown in the grid.
    bool read();

private:
    void applyCaptions();

    AnaForm &m_form;
    StatusTable m_table;
    MonitorFlags m_flags;
    StatusReading m_last;
    QTableView *m_view = nullptr;
};

}  // namespace vx::gui
