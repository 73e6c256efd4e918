#include "report/ReportPdf.h"

#include "report/PdfPage.h"

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

namespace vx::report {

QByteArray RenderReportPdf(const CalibrationReportText &page, QString *error)
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
        SetUpA4(writer);
        writer.setTitle(page.title);
        writer.setCreator(QStringLiteral("Vextora"));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("the PDF page could not be started"));
        Page p(painter, writer);
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
        if (!painter.end())
            return fail(QStringLiteral("the PDF page could not be finished"));
    }
    if (buffer.data().isEmpty())
        return fail(QStringLiteral("the PDF came out empty"));
    return buffer.data();
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
