#pragma once
// The few values of the main window that every screen consults: the model of the
// connected indicator, whether a connection stands, the selected tab and the
// request to reload the parameter or calibration tab on its next change.

#include <QString>

namespace vx {

// Tab indexes of the main window's tab strip.
namespace Tab {
inline constexpr int Header = 0;      // "Başlık ve Dip Not"
inline constexpr int IdMemory = 1;    // "ID Hafıza"
inline constexpr int PresetTare = 2;  // "P.Dara Hafıza" (never shown)
inline constexpr int Setpoint = 3;    // "Setpoint Hafıza"
inline constexpr int Parameters = 4;  // "Parametreler"
inline constexpr int Calibration = 5; // "Kalibrasyon"
inline constexpr int Status = 6;      // "Status"
inline constexpr int Count = 7;
}  // namespace Tab

struct AppState {
    QString IndicatorModel;         // "ZR1" or "ZR2"; empty until chosen at start-up
    bool IsConnected = false;
    int CurrentTab = Tab::Header;
    bool TabRefreshPending = false;
    bool RefreshKeyLatch = false;   // every second F5 refreshes

    bool isZR2() const { return IndicatorModel == QLatin1String("ZR2"); }
};

}  // namespace vx
