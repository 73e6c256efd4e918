#include "gui/TrendView.h"

#include "gui/TabPage.h"
#include "gui/WindowState.h"
#include "link/SafeFile.h"
#include "link/Transaction.h"
#include "shell/TextService.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vx::gui {
namespace {

// The figures' rows, in order; the first is the count of samples with a value.
struct FigureRow {
    BuiltIn caption;
    std::optional<double> ChannelFigures::*figure;  // nullptr: the count
    int extraDigits;  // beyond the weight's own decimals (minimum and maximum are weights as sent)
};
const FigureRow FigureRows[] = {
    {BuiltIn::TrendSamples, nullptr, 0},
    {BuiltIn::TrendMinimum, &ChannelFigures::minimum, 0},
    {BuiltIn::TrendMaximum, &ChannelFigures::maximum, 0},
    {BuiltIn::TrendMean, &ChannelFigures::mean, 2},
    {BuiltIn::TrendDeviation, &ChannelFigures::standardDeviation, 2},
    {BuiltIn::TrendDrift, &ChannelFigures::driftPerMinute, 2},
};

const QColor LineColours[2] = {QColor(0x1f, 0x5f, 0xbf), QColor(0xd0, 0x6a, 0x10)};  // gross, net

}  // namespace

TrendView::TrendView(PageHost &host, QWidget *parent) : QDockWidget(parent), m_host(host)
{
    setObjectName(QStringLiteral("TrendView"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_poller = std::make_unique<TrendPoller>(host.link(), [this](const TrendSample &s) { addSample(s); });
    m_poller->mayRun = [this] { return m_host.state().IsConnected; };
    m_poller->onStopped = [this] { stopped(); };
    m_poller->onPortFailed = [this] {
        m_portFailed = true;
        showState();
    };
    chooseFile = [this](const QString &filter, const QString &suggested) {
        return QFileDialog::getSaveFileName(this, windowTitle(), suggested, filter);
    };
    build();
    applyLanguage();
    redraw();
    showFigures();
    showState();
}

TrendView::~TrendView() = default;

void TrendView::build()
{
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);

    auto *controls = new QHBoxLayout;
    m_startPause = new QPushButton(body);
    m_startPause->setObjectName(QStringLiteral("TrendStartPause"));
    m_rateLabel = new QLabel(body);
    m_rate = new QComboBox(body);
    m_rate->setObjectName(QStringLiteral("TrendRate"));
    for (int i = 0; i < int(std::size(Rates)); ++i)
        m_rate->addItem(QString());
    m_rate->setCurrentIndex(1);  // once a second
    m_windowLabel = new QLabel(body);
    m_window = new QComboBox(body);
    m_window->setObjectName(QStringLiteral("TrendWindow"));
    for (int i = 0; i < int(std::size(WindowMinutes)); ++i)
        m_window->addItem(QString());
    m_exportCsv = new QPushButton(body);
    m_exportCsv->setObjectName(QStringLiteral("TrendExportCsv"));
    m_exportPng = new QPushButton(body);
    m_exportPng->setObjectName(QStringLiteral("TrendExportPng"));
    controls->addWidget(m_startPause);
    controls->addSpacing(12);
    controls->addWidget(m_rateLabel);
    controls->addWidget(m_rate);
    controls->addWidget(m_windowLabel);
    controls->addWidget(m_window);
    controls->addStretch(1);
    controls->addWidget(m_exportCsv);
    controls->addWidget(m_exportPng);
    layout->addLayout(controls);

    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignTop);
    m_timeAxis = new QValueAxis(m_chart);
    m_weightAxis = new QValueAxis(m_chart);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_weightAxis, Qt::AlignLeft);
    m_chartView = new QChartView(m_chart, body);  // owns the chart
    m_chartView->setObjectName(QStringLiteral("TrendChart"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(520, 260);
    layout->addWidget(m_chartView, 1);

    m_figures = new QTableWidget(int(std::size(FigureRows)), 4, body);
    m_figures->setObjectName(QStringLiteral("TrendFigures"));
    m_figures->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_figures->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_figures->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (int r = 0; r < m_figures->rowCount(); ++r) {
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_figures->setItem(r, c, item);
        }
    }
    m_figures->setFixedHeight(m_figures->horizontalHeader()->sizeHint().height()
                              + 6 * m_figures->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(m_figures);

    m_state = new QLabel(body);
    m_state->setObjectName(QStringLiteral("TrendState"));
    m_state->setWordWrap(true);
    layout->addWidget(m_state);
    setWidget(body);

    connect(m_startPause, &QPushButton::clicked, this, [this] { sampling() ? pause() : startSampling(); });
    connect(m_rate, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            m_poller->setRate(Rates[i]);
    });
    connect(m_window, &QComboBox::currentIndexChanged, this, [this] {
        redraw();
        showFigures();
    });
    connect(m_exportCsv, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(m_exportPng, &QPushButton::clicked, this, [this] { exportPng(); });
}

void TrendView::applyLanguage()
{
    const TextService &t = m_host.texts();
    m_language = t.language();
    setWindowTitle(t.builtIn(BuiltIn::TrendTitle));
    m_rateLabel->setText(t.builtIn(BuiltIn::TrendRate));
    m_windowLabel->setText(t.builtIn(BuiltIn::TrendWindow));
    for (int i = 0; i < int(std::size(Rates)); ++i) {
        m_rate->setItemText(i, Rates[i] == 0 ? t.builtIn(BuiltIn::TrendFastest)
                                             : t.builtIn(BuiltIn::TrendPerSecond).arg(Rates[i]));
    }
    for (int i = 0; i < int(std::size(WindowMinutes)); ++i)
        m_window->setItemText(i, t.builtIn(BuiltIn::TrendMinutes).arg(WindowMinutes[i]));
    m_exportCsv->setText(t.builtIn(BuiltIn::TrendExportCsv));
    m_exportPng->setText(t.builtIn(BuiltIn::TrendExportPng));
    m_timeAxis->setTitleText(t.builtIn(BuiltIn::TrendTimeAxis));
    m_weightAxis->setTitleText(t.builtIn(BuiltIn::TrendWeightAxis));
    const QString names[2] = {t.builtIn(BuiltIn::TrendGross), t.builtIn(BuiltIn::TrendNet)};
    for (int c = 0; c < 2; ++c) {
        for (QLineSeries *line : m_lines[c])
            line->setName(names[c]);
    }
    m_figures->setHorizontalHeaderLabels({t.builtIn(BuiltIn::TrendKgColumn).arg(names[0]),
                                          t.builtIn(BuiltIn::TrendDivisionColumn).arg(names[0]),
                                          t.builtIn(BuiltIn::TrendKgColumn).arg(names[1]),
                                          t.builtIn(BuiltIn::TrendDivisionColumn).arg(names[1])});
    QStringList rows;
    for (const FigureRow &row : FigureRows)
        rows << t.builtIn(row.caption);
    m_figures->setVerticalHeaderLabels(rows);
    showState();
}

void TrendView::startSampling()
{
    const WindowState &state = m_host.state();
    if (!state.IsConnected) {
        m_notConnected = true;
        showState();
        return;
    }
    if (!m_host.rangeReady()) {
        m_host.refuseWithoutRange();
        return;
    }
    // The weights' decimals and the division the figures count in: the range's.
    const WeightFormat &format = m_host.state().weight;
    const QString divisionText = format.DecimalsPattern.isEmpty()
                                     ? format.DivisionIntegerText
                                     : format.DivisionIntegerText + QLatin1Char('.') + format.DecimalsPattern;
    const int decimals = format.decimals();
    const double division = divisionText.toDouble();
    if (m_series.empty() || decimals != m_decimals || division != m_division) {
        // Another range: the weights before it are not comparable.
        m_series.clear();
        m_breaks.clear();
        m_incomplete = 0;
        m_origin = m_host.link().clock().now();
    } else {
        m_breaks.push_back(m_series.size());
    }
    m_decimals = decimals;
    m_division = division;
    m_notConnected = false;
    m_portFailed = false;
    m_note.clear();
    m_poller->start(Rates[std::max(0, m_rate->currentIndex())], decimals, m_origin);
    redraw();
    showFigures();
    showState();
}

void TrendView::pause()
{
    m_poller->stop();
    showState();
}

void TrendView::stopped()
{
    m_notConnected = true;
    showState();
}

void TrendView::addSample(const TrendSample &sample)
{
    m_series.push_back(sample);
    m_incomplete += sample.gross && sample.net ? 0 : 1;
    redraw();
    showFigures();
    showState();
}

double TrendView::windowSeconds() const
{
    return 60.0 * WindowMinutes[std::clamp(m_window->currentIndex(), 0, int(std::size(WindowMinutes)) - 1)];
}

std::span<const TrendSample> TrendView::visible() const { return TrendWindow(m_series, windowSeconds()); }

void TrendView::redraw()
{
    const std::span<const TrendSample> shown = visible();
    const std::size_t first = m_series.size() - shown.size();
    std::optional<double> low, high;
    for (int c = 0; c < 2; ++c) {
        // The stretches of this weight without a gap: a sample without its value, or
        // the first sample after a pause, ends one.
        std::vector<QList<QPointF>> stretches;
        bool open = false;
        for (std::size_t i = first; i < m_series.size(); ++i) {
            const TrendSample &s = m_series[i];
            const std::optional<DisplayWeight> &w = c == 0 ? s.gross : s.net;
            if (!w || std::binary_search(m_breaks.begin(), m_breaks.end(), i))
                open = false;
            if (!w)
                continue;
            if (!open)
                stretches.emplace_back();
            open = true;
            const double v = w->value();
            stretches.back().append(QPointF(s.seconds, v));
            low = low ? std::min(*low, v) : v;
            high = high ? std::max(*high, v) : v;
        }
        std::vector<QLineSeries *> &lines = m_lines[c];
        while (lines.size() < stretches.size()) {
            auto *line = new QLineSeries(m_chart);
            line->setColor(LineColours[c]);
            line->setName(m_host.texts().builtIn(c == 0 ? BuiltIn::TrendGross : BuiltIn::TrendNet));
            m_chart->addSeries(line);
            line->attachAxis(m_timeAxis);
            line->attachAxis(m_weightAxis);
            // One entry in the legend for each weight.
            if (!lines.empty()) {
                for (QLegendMarker *marker : m_chart->legend()->markers(line))
                    marker->setVisible(false);
            }
            lines.push_back(line);
        }
        for (std::size_t k = 0; k < lines.size(); ++k) {
            if (k < stretches.size()) {
                // A value between two gaps has no line to be seen by: it shows as a point.
                lines[k]->setPointsVisible(stretches[k].size() == 1);
                lines[k]->replace(stretches[k]);
            } else {
                lines[k]->clear();
            }
        }
    }

    // Time from the first sample in view to the newest; the weights between their
    // extremes with a margin (a division at least, so a steady weight is a line in the middle).
    const double from = shown.empty() ? 0 : shown.front().seconds;
    const double to = shown.empty() ? windowSeconds() : std::max(shown.back().seconds, from + 1.0);
    m_timeAxis->setRange(from, to);
    if (low && high) {
        const double step = m_division > 0 ? m_division : std::pow(10.0, -m_decimals);
        const double margin = std::max((*high - *low) * 0.05, step);
        m_weightAxis->setRange(*low - margin, *high + margin);
    } else {
        m_weightAxis->setRange(0, 1);
    }
    m_weightAxis->setLabelFormat(QStringLiteral("%.") + QString::number(std::clamp(m_decimals, 0, 6)) + QStringLiteral("f"));
}

QString TrendView::number(const std::optional<double> &value, int decimals) const
{
    if (!value)
        return QStringLiteral("-");
    // Digits beyond the value's own would show a minus zero ("-0,00") for a tiny negative drift.
    double v = *value;
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals))
        v = 0;
    return QString::number(v, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

void TrendView::showFigures()
{
    const std::span<const TrendSample> shown = visible();
    const TrendSummary summary = SummariseTrend(shown, m_division);
    const TrendFigures &kg = summary.kg;
    const std::optional<TrendFigures> &divisions = summary.divisions;
    for (int r = 0; r < int(std::size(FigureRows)); ++r) {
        const FigureRow &row = FigureRows[r];
        const std::pair<const ChannelFigures *, const ChannelFigures *> columns[2] = {
            {&kg.gross, divisions ? &divisions->gross : nullptr}, {&kg.net, divisions ? &divisions->net : nullptr}};
        for (int c = 0; c < 2; ++c) {
            const auto [inKg, inDivisions] = columns[c];
            if (!row.figure) {
                m_figures->item(r, 2 * c)->setText(QString::number(inKg->count));
                m_figures->item(r, 2 * c + 1)->setText(QString());
                continue;
            }
            m_figures->item(r, 2 * c)->setText(number(inKg->*row.figure, m_decimals + row.extraDigits));
            m_figures->item(r, 2 * c + 1)
                ->setText(inDivisions ? number(inDivisions->*row.figure, row.extraDigits) : QStringLiteral("-"));
        }
    }
}

void TrendView::showState()
{
    if (!m_state)
        return;
    const TextService &t = m_host.texts();
    if (m_language != t.language()) {
        applyLanguage();  // a language chosen while the view was open; it comes back here
        return;
    }
    const bool running = sampling();
    m_startPause->setText(t.builtIn(running ? BuiltIn::TrendPause : BuiltIn::TrendStart));
    QString text;
    if (running)
        text = t.builtIn(BuiltIn::TrendRunning).arg(m_series.size()).arg(m_incomplete);
    else if (m_notConnected)
        text = t.builtIn(BuiltIn::TrendNotConnected);
    else if (m_portFailed)
        text = t.builtIn(BuiltIn::TrendPortFailed).arg(m_series.size()).arg(m_incomplete);
    else
        text = t.builtIn(BuiltIn::TrendPaused).arg(m_series.size()).arg(m_incomplete);
    if (!m_note.isEmpty())
        text += QLatin1Char('\n') + m_note;
    m_state->setText(text);
    m_exportCsv->setEnabled(!m_series.empty());
    m_exportPng->setEnabled(!m_series.empty());
}

void TrendView::exportCsv()
{
    const QString path = chooseFile(m_host.texts().builtIn(BuiltIn::TrendCsvFilter), QStringLiteral("trend.csv"));
    if (path.isEmpty())
        return;
    QString why;
    const bool ok = WriteTrendCsv(path, m_series, &why);
    reportExport(ok, path, why);
}

void TrendView::exportPng()
{
    const QString path = chooseFile(m_host.texts().builtIn(BuiltIn::TrendPngFilter), QStringLiteral("trend.png"));
    if (path.isEmpty())
        return;
    // The plot as it is shown, encoded in memory, then written through the checked write.
    const QImage image = m_chartView->grab().toImage();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QString why;
    bool ok = !image.isNull() && buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG");
    if (!ok)
        why = m_host.texts().builtIn(BuiltIn::TrendPlotNotEncoded);
    else
        ok = WriteFileSafely(path, bytes, &why);
    reportExport(ok, path, why);
}

void TrendView::reportExport(bool ok, const QString &path, const QString &why)
{
    const TextService &t = m_host.texts();
    if (ok) {
        m_note = t.builtIn(BuiltIn::TrendSaved).arg(QDir::toNativeSeparators(path));
        showState();
        return;
    }
    m_note.clear();
    showState();
    m_host.link().op().message(t.builtIn(BuiltIn::TrendExportFailed).arg(QDir::toNativeSeparators(path), why),
                               Icon::Critical);
}

void TrendView::closeEvent(QCloseEvent *event)
{
    // A closed view reads nothing.
    pause();
    QDockWidget::closeEvent(event);
}

void TrendView::showEvent(QShowEvent *event)
{
    applyLanguage();
    QDockWidget::showEvent(event);
}

}  // namespace vx::gui
