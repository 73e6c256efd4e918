#include "report/ReportPdf.h"

#include "link/SafeFile.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <functional>

namespace vx::report {
namespace {

// A family that is installed with the program's dependencies and embeds as TrueType,
// with the Turkish letters.
const char *const kFont = "DejaVu Sans";
constexpr int kResolution = 300;  // dots per inch
constexpr double kMarginMm = 20.0;

double mm(double millimetres) { return millimetres * kResolution / 25.4; }

QFont font(double points, bool bold = false)
{
    QFont f(QString::fromLatin1(kFont));
    f.setPointSizeF(points);
    f.setBold(bold);
    // Plain shaping: no ligature hides the dot of an "i", and the text stays searchable.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// Draws the page top-down; `y` is the next line's top.
class Page {
public:
    Page(QPainter &painter, double width) : m_p(painter), m_left(mm(kMarginMm)), m_width(width - 2 * mm(kMarginMm)) {}
    // A page that continues on a new sheet when the next line would run past the
    // bottom margin (the writer's newPage).
    Page(QPainter &painter, QPdfWriter &writer)
        : Page(painter, writer.width())
    {
        m_writer = &writer;
        m_bottom = writer.height() - mm(kMarginMm);
    }
    int pages() const { return m_pages; }
    // Starts a new sheet unless `height` still fits on this one.
    void keep(double height)
    {
        if (!m_writer || m_y + height <= m_bottom)
            return;
        m_writer->newPage();
        ++m_pages;
        m_y = mm(kMarginMm);
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
        keep(mm(16));
        m_y += mm(4);
        m_p.setFont(font(11, true));
        line(text, m_left, m_width);
        m_y += mm(1);
    }
    // Columns at the given fractions of the width; bold for a heading row.
    void row(const std::vector<QString> &cells, const std::vector<double> &at, bool bold = false, double points = 9.5)
    {
        m_p.setFont(font(points, bold));
        keep(mm(6));
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
        keep(mm(10));
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
    // Signature lines side by side, each over its label.
    void signatures(const std::vector<QString> &labels)
    {
        keep(mm(28));
        m_y += mm(18);
        m_p.setPen(QPen(Qt::black, mm(0.25)));
        const double share = m_width / double(labels.size() > 1 ? labels.size() : 2);
        const double top = m_y;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            // One label alone sits on the right half, as the calibration report has it.
            const double x = labels.size() > 1 ? m_left + share * double(i) : m_left + m_width * 0.5;
            m_y = top;
            m_p.drawLine(QPointF(x, m_y), QPointF(x + share - mm(6), m_y));
            m_y += mm(1);
            m_p.setFont(font(9.5));
            line(labels[i], x, share);
        }
    }

private:
    void line(const QString &text, double x, double width)
    {
        const QFontMetricsF metrics(m_p.font(), m_p.device());
        m_p.drawText(QRectF(x, m_y, width, metrics.height() * 1.2), Qt::AlignLeft | Qt::AlignTop, text);
        m_y += metrics.height();
    }

    QPainter &m_p;
    double m_left;
    double m_width;
    double m_y = mm(kMarginMm);
    QPdfWriter *m_writer = nullptr;
    double m_bottom = 0;
    int m_pages = 1;
};

// A PDF drawn on A4 by `draw` into a buffer; empty with `error` set on a failure.
QByteArray renderA4(const QString &title, const std::function<void(QPainter &, QPdfWriter &)> &draw, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fail(QStringLiteral("no font database (the program runs without a QGuiApplication)"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Vextora"));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("the PDF page could not be started"));
        draw(painter, writer);
        if (!painter.end())
            return fail(QStringLiteral("the PDF page could not be finished"));
    }
    if (buffer.data().isEmpty())
        return fail(QStringLiteral("the PDF came out empty"));
    return buffer.data();
}

}  // namespace

QByteArray RenderReportPdf(const CalibrationReportText &page, QString *error)
{
    return renderA4(page.title, [&page](QPainter &painter, QPdfWriter &writer) {
        Page p(painter, writer.width());
        p.title(page.title);
        for (const auto &[label, value] : page.facts)
            p.row({label, value}, {0.0, 0.38});
        p.heading(page.foundHeading + QStringLiteral(" / ") + page.leftHeading);
        p.row({QString(), page.foundHeading, page.leftHeading}, {0.0, 0.38, 0.69}, true);
        for (const CalibrationReportText::Row &r : page.comparison)
            p.row({r.label, r.found, r.left}, {0.0, 0.38, 0.69});
        p.heading(page.stepsHeading);
        p.row({page.stepColumns[0], page.stepColumns[1], page.stepColumns[2]}, {0.0, 0.38, 0.69}, true);
        for (const auto &s : page.steps)
            p.row({s[0], s[1], s[2]}, {0.0, 0.38, 0.69});
        p.heading(page.noteLabel);
        p.text(page.note.isEmpty() ? ReportUnknown : page.note);
        p.signature(page.signatureLabel);
    }, error);
}

QByteArray RenderVerificationPdf(const VerificationRecordText &record, QString *error)
{
    return renderA4(record.title, [&record](QPainter &painter, QPdfWriter &writer) {
        Page p(painter, writer);
        p.title(record.title);
        for (const auto &[label, value] : record.facts)
            p.row({label, value}, {0.0, 0.3});
        // Test, reference, indication, error, permissible, e, result.
        const std::vector<double> at = {0.0, 0.27, 0.40, 0.53, 0.63, 0.75, 0.83};
        for (const VerificationRecordText::Section &section : record.sections) {
            p.heading(section.heading);
            p.row(std::vector<QString>(record.columns.begin(), record.columns.end()), at, true, 8.5);
            for (const auto &r : section.rows)
                p.row(std::vector<QString>(r.begin(), r.end()), at, false, 8.5);
            for (const QString &note : section.notes)
                p.text(note);
        }
        p.heading(record.verdictLabel);
        p.text(record.verdict);
        p.heading(record.noteLabel);
        p.text(record.note);
        p.signatures({record.signatures[0], record.signatures[1]});
    }, error);
}

bool WriteVerificationPdf(const VerificationRecordText &record, const QString &path, QString *error)
{
    const QByteArray bytes = RenderVerificationPdf(record, error);
    if (bytes.isEmpty())
        return false;
    return WriteFileSafely(path, bytes, error);
}

bool WriteReportPdf(const CalibrationReportText &page, const QString &path, QString *error)
{
    const QByteArray bytes = RenderReportPdf(page, error);
    if (bytes.isEmpty())
        return false;
    return WriteFileSafely(path, bytes, error);
}

std::unique_ptr<QCoreApplication> CreateApplication(int &argc, char **argv, bool fonts)
{
    if (!fonts)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace vx::report
