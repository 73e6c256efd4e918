#pragma once
// The live weight trend: a floating window of the main window, opened from the
// Settings and Help menu. While connected it reads the gross and the net weight (the
// calibration tab's display read of registers 0 and 3, no host-mode commands) at the
// rate chosen, one line lease per sample (monitor/TrendPoller.h), and plots them
// against time. It shows the figures a load cell is judged by for the window in
// view (the last 1, 5 or 15 minutes) in kg and in divisions, and saves the samples as
// CSV and the plot as PNG.
//
// A weight whose answer was not whole is a gap in its line, never a 0; a pause is a
// gap too. A disconnect stops the sampling; Start continues the series (afresh when
// the range's division changed).

#include "monitor/Trend.h"
#include "monitor/TrendPoller.h"

#include <QDockWidget>
#include <QString>
#include <QDateTime>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;
class QValueAxis;

namespace vx {
enum class Language;
}

namespace vx::gui {

class PageHost;

class TrendView : public QDockWidget {
    Q_OBJECT
public:
    // The rates offered, in the order of the rate list: 0 is as fast as the line allows.
    static constexpr int Rates[] = {0, 1, 2, 5, 10};
    // The windows offered, in minutes.
    static constexpr int WindowMinutes[] = {1, 5, 15};

    explicit TrendView(PageHost &host, QWidget *parent = nullptr);
    ~TrendView() override;

    // Starts (or continues) the sampling; says why it cannot when not connected or
    // the range is not known.
    void startSampling();
    void pause();
    bool sampling() const { return m_poller->running(); }

    // Every sample of the series, oldest first.
    const TrendSeries &samples() const { return m_series; }
    // The samples in the window shown.
    std::span<const TrendSample> visible() const;
    TrendPoller &poller() { return *m_poller; }

    void exportCsv();
    void exportPng();
    // The save dialog: `filter`, and the name it starts with. Returns the chosen path,
    // empty when cancelled. Tests put their own here.
    std::function<QString(const QString &filter, const QString &suggested)> chooseFile;

    void applyLanguage();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void addSample(const TrendSample &sample);
    void stopped();  // the poller stopped itself: the link is gone
    void redraw();
    void showFigures();
    void showState();
    void reportExport(bool ok, const QString &path, const QString &why);
    double windowSeconds() const;
    QString number(const std::optional<double> &value, int decimals) const;

    PageHost &m_host;
    std::unique_ptr<TrendPoller> m_poller;
    TrendSeries m_series;
    std::size_t m_incomplete = 0;  // samples without both weights
    // Indexes of samples that begin a new line: the first after a pause or a stop.
    std::vector<std::size_t> m_breaks;
    int m_decimals = 0;
    double m_division = 0;
    bool m_notConnected = false;
    bool m_portFailed = false;  // the port would not open for a sample: stopped
    QString m_note;  // the last export's outcome
    QDateTime m_origin;  // the series' time 0
    std::optional<Language> m_language;  // the language the texts were put up in

    QPushButton *m_startPause = nullptr;
    QLabel *m_rateLabel = nullptr;
    QComboBox *m_rate = nullptr;
    QLabel *m_windowLabel = nullptr;
    QComboBox *m_window = nullptr;
    QPushButton *m_exportCsv = nullptr;
    QPushButton *m_exportPng = nullptr;
    QChart *m_chart = nullptr;
    QChartView *m_chartView = nullptr;
    QValueAxis *m_timeAxis = nullptr;
    QValueAxis *m_weightAxis = nullptr;
    // Each weight's line, one series a stretch without gaps; the first carries the legend.
    std::vector<QLineSeries *> m_lines[2];
    QTableWidget *m_figures = nullptr;
    QLabel *m_state = nullptr;
};

}  // namespace vx::gui
