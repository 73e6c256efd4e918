#pragma once
// The platform of the virtual indicator as a verification loads it: a load (kg) put
// at the centre or on one of four quarter segments, shown with a span error, an
// eccentricity per position and noise, settling onto the display over a set time.
// While it settles the operating status reports the weight unstable (register 2,
// second byte, bit 0 clear); once settled, stable.
//
// Tests set the load through put(); vextora-sim reads it from a file the technician's
// script writes ("--platform-file FILE": the load in kg, optionally followed by the
// segment 1-4; 0 or no segment is the centre), read again whenever it changed.

#include "sim/VirtualIndicator.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace vx::sim {

struct PlatformOptions {
    double spanError = 0;  // relative: 0.001 shows 0,1 % too much
    // Digits added on the display with the load at the centre (0) and on segments 1-4.
    std::array<int, 5> eccentricity{};
    int noise = 0;          // at most this many digits either way, new every NoiseStep
    double settle = 1.0;    // seconds from a change of load until the weight is stable
    QString loadFile = {};  // read for the load when set
    static constexpr double NoiseStep = 0.05;
};

class Platform {
public:
    explicit Platform(PlatformOptions options = {}) : m_options(std::move(options)) {}

    // The load put on at `now` seconds (the time of the indicator's clock).
    void put(double kg, int segment, double now);
    // The gross weight in display digits at `now`, for a display of `decimals`.
    qint32 gross(double now, int decimals);
    bool stable(double now);
    const PlatformOptions &options() const { return m_options; }

private:
    void readLoadFile(double now);
    double shown(int decimals) const;

    PlatformOptions m_options;
    double m_kg = 0;
    int m_segment = 0;
    double m_changedAt = -1e9;
    double m_fromDigits = 0;  // what the display showed when the load changed
    int m_lastDecimals = 0;
    QByteArray m_fileText;
};

// The options of vextora-sim's command line (an empty text: the default); nothing
// with `error` set for a value out of its bounds.
std::optional<PlatformOptions> PlatformOptionsOf(const QString &loadFile, const QString &spanPercent,
                                                 const QString &eccentricity, const QString &noise,
                                                 const QString &settle, QString *error);

// Puts the platform under the indicator's weight, after the live status: the gross
// weight of register 0 (in the decimals of the division register 129 holds) and the net
// weight of register 3 (no tare) come from it, and the stable bit of register 2
// follows its settling, the other bits staying as the live status set them.
void InstallPlatform(VirtualIndicator &device, std::function<double()> seconds, std::shared_ptr<Platform> platform);

// Parses the load file's text: "150", "100 3", "100.5 0". False for anything else.
bool ParsePlatformLoad(const QByteArray &text, double &kg, int &segment);

}  // namespace vx::sim
