#include "report/ReportPdf.h"

#include "report/PdfPage.h"

#include "link/SafeFile.h"

#include <QBuffer>
#include <QGuiApplication>

namespace vx::report {

QByteArray RenderA4(const QString &title, const std::function<void(Page &)> &draw, QString *error)
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
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Vextora"));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("the PDF page could not be started"));
        Page p(painter, writer);
        draw(p);
        if (!painter.end())
            return fail(QStringLiteral("the PDF page could not be finished"));
    }
    if (buffer.data().isEmpty())
        return fail(QStringLiteral("the PDF came out empty"));
    return buffer.data();
}

namespace {

bool writePdf(const QByteArray &bytes, const QString &path, QString *error)
{
    if (bytes.isEmpty())
        return false;
    return WriteFileSafely(path, bytes, error);
}

}  // namespace

QByteArray RenderReportPdf(const CalibrationReportText &page, QString *error)
{
    return RenderA4(page.title, [&page](Page &p) {
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

bool WriteReportPdf(const CalibrationReportText &page, const QString &path, QString *error)
{
    return writePdf(RenderReportPdf(page, error), path, error);
}

QByteArray RenderVerificationPdf(const VerificationRecordText &record, QString *error)
{
    return RenderA4(record.title, [&record](Page &p) {
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
    return writePdf(RenderVerificationPdf(record, error), path, error);
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
