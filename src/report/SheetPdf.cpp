// The configuration sheet's pages (files/ConfigurationSheet.h) drawn with the report's
// page drawer.

#include "report/PdfPage.h"
#include "report/ReportPdf.h"

#include "link/SafeFile.h"

#include <QBuffer>
#include <QGuiApplication>

namespace vx::report {

QByteArray RenderSheetPdf(const ConfigurationSheetText &sheet, QString *error)
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
        writer.setTitle(sheet.title);
        writer.setCreator(QStringLiteral("Vextora"));
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("the PDF page could not be started"));
        Page p(painter, writer);
        p.title(sheet.title);
        for (const auto &[label, value] : sheet.facts)
            p.row({label, value}, {0.0, 0.38});

        const std::vector<double> columns = {0.0, 0.14, 0.62};
        p.heading(sheet.parametersHeading);
        p.row({sheet.parameterColumns[0], sheet.parameterColumns[1], sheet.parameterColumns[2]}, columns, true);
        for (const ConfigurationSheetText::ParameterLine &line : sheet.parameters) {
            if (line.section)
                p.row({QString(), line.caption}, {0.0, 0.14}, true);
            else
                p.row({line.code, line.caption, line.value}, columns);
        }

        p.heading(sheet.memoriesHeading);
        for (const QString &line : sheet.memories)
            p.row({line}, {0.0});

        p.heading(sheet.ticketHeading);
        for (const auto &[label, line] : sheet.ticket)
            p.row({label, line}, {0.0, 0.38});
        if (!painter.end())
            return fail(QStringLiteral("the PDF page could not be finished"));
    }
    if (buffer.data().isEmpty())
        return fail(QStringLiteral("the PDF came out empty"));
    return buffer.data();
}

bool WriteSheetPdf(const ConfigurationSheetText &sheet, const QString &path, QString *error)
{
    const QByteArray bytes = RenderSheetPdf(sheet, error);
    if (bytes.isEmpty())
        return false;
    return WriteFileSafely(path, bytes, error);
}

}  // namespace vx::report
