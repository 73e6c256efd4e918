#pragma once
// Whether a working set (an opened configuration file) belongs to the connected
// indicator: its identification texts, the parameter rows 82 (model and version) and
// 83 (the second identification text) kept in the file's fields D21 and D22, against
// what the indicator holds at registers 199 and 204. A send of another indicator's
// file, or of a file that holds none, is asked about first; a file's zero and span
// are the scale's it was read from alone, so the question names the calibration
// group when it is among the groups to send.
//
//   if (!ConfirmSameIndicator(link, link.op(), texts, set, choice.parameters.calibration))
//       return;  // declined: nothing sent

#include "shell/LanguageTexts.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

class Link;
class Operator;
class TextService;
class WorkingSet;
struct ConfigurationRecord;

// Rows 82 and 83 without the blanks (and NULs) a file pads them with; row 82 by the
// model's code and the version, whatever the language names the model.
struct IdentificationTexts {
    QString model;   // row 82: "ZR2 V2.20"
    QString second;  // row 83: "SN0001234"
    bool empty() const { return model.isEmpty() && second.isEmpty(); }
    // "ZR2 V2.20 SN0001234" (the texts that are not empty).
    QString shown() const { return QStringList({model, second}).join(QLatin1Char(' ')).trimmed(); }
    bool operator==(const IdentificationTexts &) const = default;
};

// The indicator's texts: one read of registers 199 and 204 (20 bytes), decoded as the
// parameter read decodes each of them. Nothing when the answer was not whole.
std::optional<IdentificationTexts> ReadIndicatorIdentification(Link &link, const LanguageTexts &texts);
// The same read with the version text as the connect reads it (line feeds and NULs
// dropped, trailing blanks too): "ZR2 V2.20".
struct IndicatorTexts {
    IdentificationTexts identification;
    QString version;
};
std::optional<IndicatorTexts> ReadIndicatorTexts(Link &link, const LanguageTexts &texts);
// The texts a working record holds (fields D21 and D22), row 82's model name of the
// language given turned back into the model's code.
IdentificationTexts RecordIdentification(const ConfigurationRecord &record, const LanguageTexts &texts = {});
// Row 82's text with the language's name of the model ("ZR2" or what line 366/367
// says) as the model's code.
QString ModelCodeText(const QString &rowText, const LanguageTexts &texts);

enum class Sameness {
    Same,         // both texts equal the indicator's
    Different,    // a text differs, or the indicator's could not be read
    FileHasNone,  // the file holds neither text
};

struct SameIndicatorCheck {
    Sameness verdict = Sameness::Different;
    IdentificationTexts file;
    std::optional<IdentificationTexts> indicator;  // nothing: the read failed
    QString version;  // ConfirmSameIndicator: the indicator's version text, as the same read gave it
};

// A failed read of the indicator is never "same".
SameIndicatorCheck CompareIdentification(const IdentificationTexts &file,
                                         const std::optional<IdentificationTexts> &indicator);
// The question before the send: both texts of both sides (or that the file holds
// none), the calibration group by the send panel's caption when it is ticked, then
// "send anyway?". Empty for Same.
QString SameIndicatorQuestion(const SameIndicatorCheck &check, const TextService &texts, bool calibrationTicked);

// Reads the indicator's texts (inside the caller's lease), compares them with the
// working record's and, unless they are the same, asks `op` (Yes/No). True: the send
// may go. `checked` gets what was compared (the indicator's texts for a restore point).
bool ConfirmSameIndicator(Link &link, Operator &op, const TextService &texts, const WorkingSet &file,
                          bool calibrationTicked, SameIndicatorCheck *checked = nullptr);

}  // namespace vx
