#pragma once
// The configuration sheet: one printable summary of a working set for the customer's
// file and the technician's records: the identification (rows 82 and 83), the date,
// every parameter row the model shows with its code, caption and value, the memories
// in short (records used) and the ticket lines, in the program's language. The core
// makes the texts; src/report lays them out on A4 pages.

#include "link/Model.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <utility>
#include <vector>

namespace vx {

class TextService;
class WorkingSet;

struct ConfigurationSheetText {
    struct ParameterLine {
        bool section = false;  // a section title (in `caption`) instead of a parameter
        QString code, caption, value;
    };
    QString title;
    std::vector<std::pair<QString, QString>> facts;  // date, file, model, version text, second text
    QString parametersHeading;
    std::array<QString, 3> parameterColumns;         // code, parameter, value
    std::vector<ParameterLine> parameters;
    QString memoriesHeading;
    std::vector<QString> memories;                   // one line per memory: records used
    QString ticketHeading;
    std::vector<std::pair<QString, QString>> ticket;  // "Header 1 (centred)", the line
};

// The sheet of `set` as the grid shows it for `model`. `file`: the configuration
// file's name, or empty for the window's working set without one.
ConfigurationSheetText ConfigurationSheet(const WorkingSet &set, Model model, const TextService &texts,
                                          const QDateTime &when, const QString &file = {});

// The model a working set's row 82 names ("ZR1 V1.10" a ZR1); a ZR2 for any other text.
Model SheetModel(const WorkingSet &set);

}  // namespace vx
