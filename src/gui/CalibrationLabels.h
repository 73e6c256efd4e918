#pragma once
// The coloured state labels of the calibration tab (the procedure's Label4, the
// analog output's Label7) and the colours they take.

#include "shell/LanguageTexts.h"
#include <QColor>
#include <QLabel>
#include <QString>

namespace vx::gui::calibration {

// The calibration's colours (the indicator's manual calls them by their numbers).
inline const QColor Green(0x00, 0xFF, 0x00);   // 65280
inline const QColor Red(0xFF, 0x00, 0x00);     // 255
inline const QColor Yellow(0xFF, 0xFF, 0x00);  // 65535

// The label on `background` with black or white text, whichever reads; an invalid
// colour gives the label its plain look back.
inline void Paint(QLabel *label, const QColor &background)
{
    if (!background.isValid()) {
        label->setStyleSheet(QString());
        return;
    }
    const QColor text = background.lightness() > 100 ? QColor(Qt::black) : QColor(Qt::white);
    label->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: %2; }")
                             .arg(background.name(), text.name()));
}

// Language lines the panels of the tab share.
namespace Text {
inline constexpr int NotConnected = TextLine::NotConnected;
}  // namespace Text

}  // namespace vx::gui::calibration
