// The configuration sheet's pages (files/ConfigurationSheet.h) drawn with the report's
// page drawer.

#include "report/PdfPage.h"
#include "report/ReportPdf.h"

#include "link/SafeFile.h"

namespace vx::report {

QByteArray RenderSheetPdf(const ConfigurationSheetText &sheet, QString *error)
{
    return RenderA4(sheet.title, [&sheet](Page &p) {
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
    }, error);
}

bool WriteSheetPdf(const ConfigurationSheetText &sheet, const QString &path, QString *error)
{
    const QByteArray bytes = RenderSheetPdf(sheet, error);
    if (bytes.isEmpty())
        return false;
    return WriteFileSafely(path, bytes, error);
}

}  // namespace vx::report
