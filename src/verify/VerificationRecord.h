#pragma once
// The verification's test record: the indicator, the range and class, who tested
// where with which weights, each test's table with reference, indication, error,
// permissible error and a clear pass or fail, the overall verdict, and signature
// lines. A verification run before a calibration (as found) and one after it (as
// left) share one record. RecordText turns it into the page's texts in the language
// in use; the report library (report/ReportPdf.h) lays them out on A4 pages.

#include "verify/Verification.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace vx {

struct VerificationRecord {
    QString model;                  // "ZR1", "ZR2"
    QString versionText;
    QString modelText, secondText;  // the identification texts, empty when not known
    QString customer, site, technician, weights, note;
    // One run alone, or both stages; at least one is set.
    std::optional<VerificationResult> single, asFound, asLeft;
    // The record's verdict: every run it holds passed whole. The last run's verdict
    // when both stages are held (as left is what the customer keeps).
    bool pass() const;
    const VerificationResult *last() const;
};

// The page's texts, every value already formatted.
struct VerificationRecordText {
    struct Section {
        QString heading;
        std::vector<std::array<QString, 7>> rows;  // test, reference, indication, error, permissible, e, result
        QStringList notes;                         // series spreads, the end, the ±½ e remark
    };
    QString title;
    std::vector<std::pair<QString, QString>> facts;
    std::array<QString, 7> columns;
    std::vector<Section> sections;
    QString verdictLabel, verdict;
    QString noteLabel, note;
    std::array<QString, 2> signatures;
};

VerificationRecordText RecordText(const VerificationRecord &record, const TextService &texts);

// A weight in kg with the decimals of division e ("150,0" for e = 0.1 with the comma).
QString VerifyKgText(double kg, double e);

// The file name a save dialog proposes: "verification-YYYYMMDD-HHMM.pdf".
QString VerificationFileName(const QDateTime &when);

}  // namespace vx
