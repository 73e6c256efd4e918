#include "sim/Platform.h"

#include <QFile>
#include <QList>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vx::sim {
namespace {

quint64 mix(quint64 a)
{
    quint64 z = a * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The decimals of a division code (3 = 0.001 ... 9 = 0.1, 12 = 1 and above: none).
int DivisionDecimals(int code)
{
    if (code < 3)
        return 3;
    return std::max(0, 3 - (code - 3) / 3);
}

}  // namespace

void InstallPlatform(VirtualIndicator &device, std::function<double()> seconds, std::shared_ptr<Platform> platform)
{
    auto clock = std::make_shared<std::function<double()>>(std::move(seconds));
    auto gross = [clock, platform](const VirtualIndicator &d) {
        return platform->gross((*clock)(), DivisionDecimals(d.reg(129) & 0xFF));
    };
    device.onRead(0, [gross](VirtualIndicator &d, int, int) { d.setLong(0, gross(d)); });
    device.onRead(3, [gross](VirtualIndicator &d, int, int) { d.setLong(3, gross(d)); });
    device.onRead(2, [clock, platform](VirtualIndicator &d, int, int) {
        const quint16 others = quint16(d.reg(2) & ~0x0001);
        d.setReg(2, quint16(others | (platform->stable((*clock)()) ? 0x0001 : 0x0000)));
    });
}

bool ParsePlatformLoad(const QByteArray &text, double &kg, int &segment)
{
    const QList<QByteArray> fields = text.simplified().split(' ');
    if (fields.isEmpty() || fields.size() > 2 || fields.first().isEmpty())
        return false;
    bool ok = false;
    const double load = QLocale::c().toDouble(QString::fromLatin1(fields.first()), &ok);
    if (!ok || !std::isfinite(load) || std::abs(load) > 1e6)
        return false;
    int where = 0;
    if (fields.size() == 2) {
        where = fields.at(1).toInt(&ok);
        if (!ok || where < 0 || where > 4)
            return false;
    }
    kg = load;
    segment = where;
    return true;
}

std::optional<PlatformOptions> PlatformOptionsOf(const QString &loadFile, const QString &spanPercent,
                                                 const QString &eccentricity, const QString &noise,
                                                 const QString &settle, QString *error)
{
    auto fail = [error](const QString &why) {
        *error = why;
        return std::nullopt;
    };
    PlatformOptions o;
    o.loadFile = loadFile;
    if (loadFile.isEmpty())
        return fail(QStringLiteral("--platform-file needs a file name"));
    bool ok = true;
    if (!spanPercent.isEmpty()) {
        const double percent = QLocale::c().toDouble(spanPercent.trimmed(), &ok);
        if (!ok || !(std::abs(percent) <= 50))
            return fail(QStringLiteral("bad --span-error \"%1\": expected percent from -50 to 50").arg(spanPercent));
        o.spanError = percent / 100.0;
    }
    if (!eccentricity.isEmpty()) {
        const QStringList fields = eccentricity.split(QLatin1Char(','));
        if (fields.size() != 5)
            return fail(QStringLiteral("bad --eccentricity \"%1\": expected five numbers of digits").arg(eccentricity));
        for (int i = 0; i < 5; ++i) {
            const int digits = fields.at(i).trimmed().toInt(&ok);
            if (!ok || std::abs(digits) > 100000)
                return fail(QStringLiteral("bad --eccentricity \"%1\": expected five numbers of digits")
                                .arg(eccentricity));
            o.eccentricity[std::size_t(i)] = digits;
        }
    }
    if (!noise.isEmpty()) {
        o.noise = noise.trimmed().toInt(&ok);
        if (!ok || o.noise < 0 || o.noise > 100000)
            return fail(QStringLiteral("bad --noise \"%1\": expected digits from 0 to 100000").arg(noise));
    }
    if (!settle.isEmpty()) {
        o.settle = QLocale::c().toDouble(settle.trimmed(), &ok);
        if (!ok || !(o.settle >= 0) || o.settle > 3600)
            return fail(QStringLiteral("bad --settle \"%1\": expected seconds from 0 to 3600").arg(settle));
    }
    return o;
}

void Platform::put(double kg, int segment, double now)
{
    if (kg == m_kg && segment == m_segment)
        return;
    m_fromDigits = shown(m_lastDecimals);
    m_kg = kg;
    m_segment = segment;
    m_changedAt = now;
}

void Platform::readLoadFile(double now)
{
    if (m_options.loadFile.isEmpty())
        return;
    QFile file(m_options.loadFile);
    if (!file.open(QIODevice::ReadOnly))
        return;  // no file yet: the platform keeps its load
    const QByteArray text = file.read(256);
    if (text == m_fileText)
        return;
    double kg = 0;
    int segment = 0;
    // A file caught half written is read again on the next read of the weight.
    if (ParsePlatformLoad(text, kg, segment)) {
        m_fileText = text;
        put(kg, segment, now);
    }
}

double Platform::shown(int decimals) const
{
    const double scale = std::pow(10.0, decimals);
    const std::size_t position = std::size_t(std::clamp(m_segment, 0, 4));
    return m_kg * (1.0 + m_options.spanError) * scale + m_options.eccentricity[position];
}

qint32 Platform::gross(double now, int decimals)
{
    readLoadFile(now);
    m_lastDecimals = decimals;
    const double target = shown(decimals);
    double digits = target;
    const double since = now - m_changedAt;
    if (m_options.settle > 0 && since < m_options.settle)
        digits = m_fromDigits + (target - m_fromDigits) * std::max(0.0, since) / m_options.settle;
    if (m_options.noise > 0) {
        const auto step = quint64(std::floor(std::max(0.0, now) / PlatformOptions::NoiseStep));
        digits += double(qint64(mix(step) % quint64(2 * m_options.noise + 1)) - m_options.noise);
    }
    return qint32(std::llround(digits));
}

bool Platform::stable(double now)
{
    readLoadFile(now);
    return now - m_changedAt >= m_options.settle;
}

}  // namespace vx::sim
