#pragma once
// The calibration report as a one-page A4 PDF (QPdfWriter, fonts embedded). The
// page is drawn from the texts the core made (ReportText), so this library only
// lays them out; its header uses Qt Core alone, so the tool includes it without
// seeing Qt Gui.
//
//   QString why;
//   if (!vx::report::WriteReportPdf(ReportText(report, texts), path, &why)) ...
//
// Drawing text needs the font database, which needs a QGuiApplication: the window
// has one, and the tool makes one (CreateApplication) when it writes a report.

#include "calibration/CalibrationReport.h"
#include "verify/VerificationRecord.h"
#include "files/ConfigurationSheet.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QCoreApplication;

namespace vx::report {

// The PDF's bytes; empty with `error` set when there is no QGuiApplication or the
// page could not be drawn.
QByteArray RenderReportPdf(const CalibrationReportText &page, QString *error = nullptr);

// Renders and writes through WriteFileSafely: an existing file is replaced only by a
// whole new one. False with `error` set on any failure.
bool WriteReportPdf(const CalibrationReportText &page, const QString &path, QString *error = nullptr);

// The verification's test record on as many A4 pages as its tables need (one or
// two for the usual plan), likewise.
QByteArray RenderVerificationPdf(const VerificationRecordText &record, QString *error = nullptr);
bool WriteVerificationPdf(const VerificationRecordText &record, const QString &path, QString *error = nullptr);
// The configuration sheet on as many A4 pages as its rows take, the same way.
QByteArray RenderSheetPdf(const ConfigurationSheetText &sheet, QString *error = nullptr);
bool WriteSheetPdf(const ConfigurationSheetText &sheet, const QString &path, QString *error = nullptr);

// The application object of a program that may draw a report: a QGuiApplication on
// the offscreen platform (unless QT_QPA_PLATFORM says otherwise) when `fonts`, a
// plain QCoreApplication otherwise.
std::unique_ptr<QCoreApplication> CreateApplication(int &argc, char **argv, bool fonts);

}  // namespace vx::report
