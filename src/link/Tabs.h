#pragma once
// Indexes of the main window's tab strip.

namespace vx::Tab {
inline constexpr int Header = 0;      // "Başlık ve Dip Not"
inline constexpr int IdMemory = 1;    // "ID Hafıza"
inline constexpr int PresetTare = 2;  // "P.Dara Hafıza" (never shown)
inline constexpr int Setpoint = 3;    // "Setpoint Hafıza"
inline constexpr int Parameters = 4;  // "Parametreler"
inline constexpr int Calibration = 5; // "Kalibrasyon"
inline constexpr int Status = 6;      // "Status"
inline constexpr int Count = 7;
}  // namespace vx::Tab
