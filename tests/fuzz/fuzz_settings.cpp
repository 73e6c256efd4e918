// Rooms: link
// The settings reader: an ini file as a user or another program may leave it
// (~/.config/Kormel/Vextora.ini or --settings FILE), read by RegOku and the COM
// port map, and each of its lines as a typed reading time, line settings text,
// drain mode and address.
//
// Rules checked: the reading time is a number from 0 to 60 seconds; the port and
// line settings are never empty; a line settings text that parses gives a positive
// character time; what the connection panel stores is read back the same.

#include "FuzzInput.h"

#include "link/Codec.h"
#include "link/SerialPort.h"
#include "link/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

using namespace vx;

namespace {

bool readingTimeInRange(double seconds)
{
    return std::isfinite(seconds) && seconds >= 0.0 && seconds <= 60.0;
}

void checkLine(const QString &text)
{
    FUZZ_CHECK(readingTimeInRange(ParseReadingTime(text)));
    if (const std::optional<LineSettings> line = ParseLineSettings(text)) {
        const double seconds = CharacterSeconds(*line);
        FUZZ_CHECK(std::isfinite(seconds) && seconds > 0.0);
    }
    ParseDrainMode(text);
    FUZZ_CHECK(AddressValue(text) >= 0 && AddressValue(text) <= 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static unsigned serial = 0;
    FUZZ_CHECK(dir.isValid());
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // A new file name every time: the ini reader keeps files it has read.
    const QString path = dir.filePath(QStringLiteral("%1.ini").arg(++serial));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    LinkSettings settings;
    {
        const SettingsStore store(path);
        settings = RegOku(store);
        const ComPortMap map(store);
    }
    QFile::remove(path);
    FUZZ_CHECK(readingTimeInRange(settings.ReadingTime));
    FUZZ_CHECK(!settings.PortNumber.isEmpty());
    FUZZ_CHECK(!settings.PortSettings.isEmpty());
    FUZZ_CHECK(!settings.LanguageFileName.isEmpty());

    const QString stored = dir.filePath(QStringLiteral("%1.ini").arg(++serial));
    {
        SettingsStore store(stored);
        StoreConnectionSettings(store, settings);
    }
    {
        const LinkSettings again = RegOku(SettingsStore(stored));
        FUZZ_CHECK(again.PortNumber == settings.PortNumber);
        FUZZ_CHECK(again.PortSettings == settings.PortSettings);
        FUZZ_CHECK(again.DeviceAddress == settings.DeviceAddress);
        FUZZ_CHECK(again.ChecksumEnabled == settings.ChecksumEnabled);
        FUZZ_CHECK(again.drainMode == settings.drainMode);
    }
    QFile::remove(stored);

    for (const QByteArray &line : bytes.split('\n'))
        checkLine(QString::fromUtf8(line));
    return 0;
}
