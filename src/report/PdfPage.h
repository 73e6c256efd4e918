#pragma once
// What the report library's PDF pages share: A4 at 300 dots per inch, the embedded
// font, and a page drawer that writes titles, headings, table rows and text top-down
// and starts a new page when the next row would not fit. Private to src/report.

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

namespace vx::report {

// A family that is installed with the program's dependencies and embeds as TrueType,
// with the Turkish letters.
inline const char *const kFont = "DejaVu Sans";
inline constexpr int kResolution = 300;  // dots per inch
inline constexpr double kMarginMm = 20.0;

inline double mm(double millimetres) { return millimetres * kResolution / 25.4; }

inline QFont font(double points, bool bold = false)
{
    QFont f(QString::fromLatin1(kFont));
    f.setPointSizeF(points);
    f.setBold(bold);
    // Plain shaping: no ligature hides the dot of an "i", and the text stays searchable.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

inline void SetUpA4(QPdfWriter &writer)
{
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
}

// Draws the pages top-down; `y` is the next line's top. A row that would run into the
// bottom margin starts a new page.
class Page {
public:
    Page(QPainter &painter, QPdfWriter &writer)
        : m_p(painter),
          m_writer(writer),
          m_left(mm(kMarginMm)),
          m_width(writer.width() - 2 * mm(kMarginMm)),
          m_bottom(writer.height() - mm(kMarginMm))
    {
    }

    void title(const QString &text)
    {
        m_p.setFont(font(16, true));
        line(text, m_left, m_width);
        m_y += mm(4);
        rule();
    }
    void heading(const QString &text)
    {
        room(mm(14));
        m_y += mm(4);
        m_p.setFont(font(11, true));
        line(text, m_left, m_width);
        m_y += mm(1);
    }
    // Columns at the given fractions of the width; bold for a heading row.
    void row(const std::vector<QString> &cells, const std::vector<double> &at, bool bold = false,
             double points = 9.5)
    {
        room(mm(6));
        m_p.setFont(font(points, bold));
        double height = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const double x = m_left + at[i] * m_width;
            const double w = (i + 1 < at.size() ? at[i + 1] : 1.0) * m_width - at[i] * m_width - mm(2);
            const QRectF box(x, m_y, w, mm(40));
            QRectF used;
            m_p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, cells[i], &used);
            height = std::max(height, used.height());
        }
        m_y += height + mm(1.2);
    }
    void text(const QString &body)
    {
        room(mm(10));
        m_p.setFont(font(9.5));
        const QRectF box(m_left, m_y, m_width, mm(30));
        QRectF used;
        m_p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, body, &used);
        m_y += std::max(used.height(), mm(5));
    }
    void rule()
    {
        m_p.setPen(QPen(Qt::gray, mm(0.2)));
        m_p.drawLine(QPointF(m_left, m_y), QPointF(m_left + m_width, m_y));
        m_p.setPen(Qt::black);
        m_y += mm(2);
    }
    void signature(const QString &label) { signatures({label}); }
    // Signature lines side by side, each over its label; one label alone sits on the
    // right half.
    void signatures(const std::vector<QString> &labels)
    {
        room(mm(28));
        m_y += mm(18);
        m_p.setPen(QPen(Qt::black, mm(0.25)));
        const double share = m_width / double(labels.size() > 1 ? labels.size() : 2);
        const double top = m_y;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const double x = labels.size() > 1 ? m_left + share * double(i) : m_left + m_width * 0.5;
            m_y = top;
            m_p.drawLine(QPointF(x, m_y), QPointF(x + share - mm(6), m_y));
            m_y += mm(1);
            m_p.setFont(font(9.5));
            line(labels[i], x, share);
        }
    }

    // A new page unless `height` still fits above the bottom margin.
    void room(double height)
    {
        if (m_y + height <= m_bottom)
            return;
        m_writer.newPage();
        m_y = mm(kMarginMm);
    }

private:
    void line(const QString &text, double x, double width)
    {
        const QFontMetricsF metrics(m_p.font(), m_p.device());
        m_p.drawText(QRectF(x, m_y, width, metrics.height() * 1.2), Qt::AlignLeft | Qt::AlignTop, text);
        m_y += metrics.height();
    }

    QPainter &m_p;
    QPdfWriter &m_writer;
    double m_left;
    double m_width;
    double m_bottom;
    double m_y = mm(kMarginMm);
};

// A PDF on A4 drawn by `draw` into a buffer; empty with `error` set on a failure (no
// font database, a page that could not be started or finished).
QByteArray RenderA4(const QString &title, const std::function<void(Page &)> &draw, QString *error);

}  // namespace vx::report
