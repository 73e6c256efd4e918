#!/usr/bin/env bash
# The mechanical renames of docs/NAMES.md: non-ASCII and near-twin identifiers to
# English names, and rows 82/83 named once. Run from the repository's root.
set -euo pipefail
files=$(git ls-files 'src/*.cpp' 'src/*.h' 'cli/*.cpp' 'cli/*.h' 'sim/*.cpp' 'sim/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' README.md 'docs/help/*.md')
perl -CSD -Mutf8 -pi -e '
  s/CihazaGönderUnlessAcknowledged/WriteAcknowledgedUnlessDone/g;
  s/CihazaGönder/WriteAcknowledged/g;
  s/BaslıkKaydı/TicketLinesToRecord/g;
  s/BaslıkOku/TicketLinesFromRecord/g;
  s/BaşlıkOku/ReadTicketLines/g;
  s/BaşlıkYaz/WriteTicketLines/g;
  s/IDKaydı/IdMemoryToRecord/g;
  s/SetpointKaydı/SetpointMemoryToRecord/g;
  s/PDaraKaydı/PresetTaresToRecord/g;
  s/SetPointFormül/SetpointFormula/g;
  s/ConfigurationYerleştir/AnswerDataHex/g;
  s/ConfigurationYerleş/PlaceConfigurationBlock/g;
  s/CalibrasyonYerleştir/PlaceCalibrationBlock/g;
  s/GridDüzen/LayOutGrid/g;
  s/HostYazdır/WriteHostMode/g;
  s/PortAç/OpenLinkPort/g;
  s/KayıtEt/SaveCommand/g;
  s/ZR2DeğilseGizle/HideUnlessZR2/g;
  s/m_baslık/m_headerLines/g;
  s/m_sıfır/m_zeroButtons/g;
  s/(?<![\w\x{80}-\x{10FFFF}])ışık(?=\s*\()/setLight/g;
' $files
# Rows 82 and 83: one name each (params/Catalogue.h), the local copies gone.
perl -pi -e '
  $_ = "" if /^\s*constexpr int (kRowModel|kModelRow|kIdentificationRow) = 82;\s*$/;
  $_ = "" if /^\s*constexpr int (kRowSecond|kSecondTextRow|kIdentification2Row) = 83;\s*$/;
  s/\b(kRowModel|kModelRow|kIdentificationRow)\b/params::ModelTextRow/g;
  s/\b(kRowSecond|kSecondTextRow|kIdentification2Row)\b/params::SecondTextRow/g;
' src/params/Transfer.cpp src/params/ParameterSet.cpp src/files/SameIndicator.cpp src/files/RestorePoint.cpp \
  src/files/Compare.cpp src/service/HistoryRecords.cpp
perl -0pi -e 's|(inline constexpr int RowCount = 84;[^\n]*\n)|$1\n// The identification rows: the model and version text (82) and the second text (83).\ninline constexpr int ModelTextRow = 82;\ninline constexpr int SecondTextRow = 83;\n|' src/params/Catalogue.h
for f in src/params/Transfer.cpp src/params/ParameterSet.cpp src/files/SameIndicator.cpp src/files/RestorePoint.cpp \
         src/files/Compare.cpp src/service/HistoryRecords.cpp; do
  grep -q '#include "params/Catalogue.h"' "$f" || perl -0pi -e 's|\n\n(#include ")|\n\n#include "params/Catalogue.h"\n$1|' "$f"
done
# Language lines shown from more than one file: one name each (shell/LanguageTexts.h).
perl -0pi -e 's|(inline constexpr int DeviceRefused = 309;\n)|$1// "Ready" / the finish step: the analog start'"'"'s idle caption and the calibration'"'"'s finish.\ninline constexpr int Ready = 263;\n// The port could not be opened.\ninline constexpr int PortFailed = 271;\n// The indicator does not permit calibration.\ninline constexpr int NotPermitted = 310;\n// A field or the range is missing; the indicator is not ready for a send.\ninline constexpr int NotReady = 313;\n// Not connected.\ninline constexpr int NotConnected = 375;\n|' src/shell/LanguageTexts.h
perl -pi -e '
  s/^(\s*(?:inline )?constexpr int \w+ = )263;/${1}TextLine::Ready;/;
  s/^(\s*(?:inline )?constexpr int \w+ = )271;/${1}TextLine::PortFailed;/;
  s/^(\s*(?:inline )?constexpr int \w+ = )310;/${1}TextLine::NotPermitted;/;
  s/^(\s*(?:inline )?constexpr int \w+ = )313;/${1}TextLine::NotReady;/;
  s/^(\s*(?:inline )?constexpr int \w+ = )375;/${1}TextLine::NotConnected;/;
' src/gui/CalibrationLabels.h src/gui/FileMenu.cpp src/gui/CompareDialog.cpp src/gui/TabRefresh.cpp \
  src/gui/FilePanels.cpp src/calibration/Calibration.cpp src/gui/AnalogOutputPanel.cpp \
  src/gui/WeighingCalibrationPanel.cpp src/files/Batch.cpp cli/cmd_calibrate.cpp
for f in src/gui/CalibrationLabels.h src/gui/FileMenu.cpp src/gui/FilePanels.cpp; do
  grep -q 'shell/LanguageTexts.h\|shell/TextService.h' "$f" && continue
  perl -0pi -e 's|\n#include |\n#include "shell/LanguageTexts.h"\n#include |' "$f"
done
# The tool's exit statuses: one enum (cli/Session.h).
perl -0pi -e 's|(    ExitCalibration = 4,[^\n]*\n)|$1    ExitDifferent = 5,    // diff: the two sides differ\n|; s|(    ExitFile = 7,[^\n]*\n)|$1    ExitHistory = 8,      // the operation went through but its history record could not be written\n|' cli/Session.h
perl -0pi -e 's|// The operation went through but its history record could not be written.\ninline constexpr int ExitHistory = 8;\n\n||' cli/HistoryNote.h
perl -ni -e 'print unless /^constexpr int ExitDifferent = 5;/' cli/cmd_diff.cpp
