// vextora-cli sheet: a configuration file's configuration sheet as a PDF.

#include "cli/Cli.h"
#include "cli/ConfigFileArg.h"

#include "files/ConfigurationSheet.h"
#include "files/ScriptEdit.h"
#include "files/WorkingSet.h"
#include "link/Interfaces.h"
#include "report/ReportPdf.h"
#include "shell/TextService.h"

#include <QDir>
#include <QFileInfo>

namespace vx::cli {
namespace {

int run(Session &s, const CommandArgs &args)
{
    if (args.positional.size() != 1)
        return s.usageError(QStringLiteral("sheet takes one FILE"));
    if (!args.isSet(QStringLiteral("pdf")) || args.value(QStringLiteral("pdf")).isEmpty())
        return s.usageError(QStringLiteral("sheet needs --pdf OUT.pdf"));
    const QString file = args.positional.first();
    const QString pdf = args.value(QStringLiteral("pdf"));

    const std::optional<ConfigurationRecord> record = ReadConfigurationArg(s, file);
    if (!record)
        return ExitFile;
    WorkingSet set;
    set.showFile(*record, s.texts(), Model::ZR2, {});
    UseOwnRange(set.parameters());
    const Model model = SheetModel(set);
    set.parameters().applyModel(model);

    const ConfigurationSheetText sheet =
        ConfigurationSheet(set, model, s.textService(), s.clock().now(), QFileInfo(file).fileName());
    QString why;
    if (!report::WriteSheetPdf(sheet, pdf, &why)) {
        s.error(s.textService().builtIn(BuiltIn::SheetNotSaved).arg(QDir::toNativeSeparators(pdf), why).replace('\n', ' '));
        return ExitFile;
    }
    if (s.json())
        s.printJson({{QStringLiteral("file"), file}, {QStringLiteral("pdf"), pdf}}, true);
    else
        s.print(QStringLiteral("sheet: %1").arg(pdf));
    return ExitOk;
}

const Registration registration{{
    .name = QStringLiteral("sheet"),
    .synopsis = QStringLiteral("sheet FILE --pdf OUT.pdf"),
    .help = QStringLiteral("write the configuration sheet of the configuration file FILE as a PDF: the\n"
                           "identification, every parameter row the model shows (code, caption, value),\n"
                           "the memories in short, the ticket lines and the date, in the program's\n"
                           "language (exit 7 when FILE cannot be read or OUT.pdf written)"),
    .options = {{QStringLiteral("pdf"), QStringLiteral("OUT.pdf"), QStringLiteral("the sheet's PDF file")}},
    .run = run,
}};

}  // namespace
}  // namespace vx::cli
