#pragma once
// Tab 6 "Status": the status grid Grid1_3 over the status table, and the reader
// that fills it (F5, the refresh button, the tab change and the 5-second timer).

#include "gui/TabPage.h"
#include "monitor/Status.h"

#include <QString>

class QTableView;

namespace vx::gui {

class StatusPage : public TabPage {
    Q_OBJECT
public:
    explicit StatusPage(PageHost &host, QWidget *parent = nullptr);

    Refresh refreshKind() const override { return Refresh::Read; }
    void applyLanguage(const TextService &) override { applyCaptions(); }
    void refresh() override { read(); }
    void rangeKnown(const IndicatorRange &range) override;
    void rangeLost() override;
    void clearPage() override;

    StatusTable &table() { return m_table; }
    // CalibrationPermitted and AnalogCardPresent, as the last reading left them (empty: unknown).
    MonitorFlags &flags() { return m_flags; }
    const StatusReading &lastReading() const { return m_last; }
    QTableView *view() const { return m_view; }

    // How weights are shown; set from the indicator's range.
    QString weightReference;
    int decimals = 0;

    // StatuOku with the window's link, texts and disconnect action, shown in the grid.
    bool read();
    // A reading made elsewhere (the read-all panel) shown in the grid and the flags.
    void show(const StatusReading &reading);
    // The hardware word alone (the send panel reads it when it opens): rows 23-29 and the flags.
    void showHardware(const HardwareStatus &hardware);

private:
    void applyCaptions();

    StatusTable m_table;
    MonitorFlags m_flags;
    StatusReading m_last;
    QTableView *m_view = nullptr;
};

}  // namespace vx::gui
