#include "link/Traffic.h"

#include "link/Cp1254.h"
#include "link/NumberTexts.h"
#include "link/Registers.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vx {

namespace {

struct Named {
    int number;
    const char *name;
};

// The registers a sequence names, as the monitor spells them.
constexpr Named RegisterNames[] = {
    {reg::GrossWeight, "gross weight"},
    {reg::OperatingStatus, "operating status"},
    {reg::NetWeight, "net weight"},
    {reg::TareWeight, "tare weight"},
    {reg::StatusAcknowledge, "status acknowledge"},
    {reg::Setpoint1Value, "setpoint 1"},
    {reg::Setpoint2Value, "setpoint 2"},
    {reg::Setpoint3Value, "setpoint 3"},
    {reg::Command, "command"},
    {reg::TestWeight, "test weight"},
    {reg::CalibrationStep, "calibration step"},
    {reg::CalibrationStatus, "calibration status"},
    {reg::AnalogAdjust, "analog adjustment"},
    {reg::HardwareStatus, "hardware status"},
    {reg::TicketHeader1, "header 1"},
    {reg::TicketHeader2, "header 2"},
    {reg::TicketHeader3, "header 3"},
    {reg::TicketHeader4, "header 4"},
    {reg::TicketFootnote1, "footnote 1"},
    {reg::TicketFootnote2, "footnote 2"},
    {reg::IdRecord, "ID record"},
    {reg::SetpointRecord, "setpoint record"},
    {reg::Clock, "date and time"},
    {reg::CalibrationBlock, "calibration block"},
    {reg::Range1, "range 1"},
    {reg::Range2, "range 2"},
    {reg::CalibrationUnlock, "calibration unlock"},
    {reg::Seal, "seal"},
    {reg::ConfigurationBlock, "configuration block"},
    {reg::MetrologyBytes, "metrology"},
    {reg::AnalogZeroValue, "analog zero"},
    {reg::AnalogSpanValue, "analog span"},
    {reg::AnalogOutputType, "analog output type"},
    {reg::Version, "version"},
    {reg::SecondText, "second text"},
    {reg::IdHeader, "ID header"},
    {reg::EplText, "EPL text"},
};

// The codes written to the command register.
constexpr Named CommandNames[] = {
    {cmd::LoadSetpoint, "load setpoint"},
    {cmd::StoreSetpoint, "store setpoint"},
    {cmd::LoadTicketLines, "load header and footnote"},
    {cmd::StoreTicketLines, "store header and footnote"},
    {cmd::LoadClock, "load date and time"},
    {cmd::StoreClock, "store date and time"},
    {cmd::LoadConfiguration, "load configuration"},
    {cmd::StoreConfiguration, "store configuration"},
    {cmd::StoreConfigurationHead, "store configuration head"},
    {cmd::LoadIdRecord, "load ID record"},
    {cmd::StoreIdRecord, "store ID record"},
    {cmd::LoadCalibration, "load calibration"},
    {cmd::StoreCalibration, "store calibration"},
    {cmd::LoadIdHeader, "load ID header"},
    {cmd::StoreIdHeader, "store ID header"},
    {cmd::HostOn, "host on"},
    {cmd::HostOff, "host off"},
    {cmd::StoreEplText, "store EPL text"},
};

QString quoted(const QString &text) { return QLatin1Char('"') + PrintableFrame(text) + QLatin1Char('"'); }

QString timeOfDay(double seconds)
{
    qint64 ms = std::llround(seconds * 1000.0);
    if (ms < 0)
        ms = 0;
    ms %= 86400000;
    const auto two = [](qint64 n) { return PadLeftZeros(n, 2); };
    return two(ms / 3600000) + QLatin1Char(':') + two(ms / 60000 % 60) + QLatin1Char(':') + two(ms / 1000 % 60)
           + QLatin1Char('.') + PadLeftZeros(ms % 1000, 3);
}

}  // namespace

QString TrafficRegisterName(int number)
{
    for (const Named &r : RegisterNames)
        if (r.number == number)
            return QString::fromUtf8(r.name);
    return {};
}

QString TrafficOutcomeWord(AnswerOutcome outcome)
{
    switch (outcome) {
    case AnswerOutcome::Whole: return QStringLiteral("whole");
    case AnswerOutcome::Missing: return QStringLiteral("no answer");
    case AnswerOutcome::CutOff: return QStringLiteral("cut off");
    case AnswerOutcome::Refused: return QStringLiteral("refused");
    case AnswerOutcome::Busy: return QStringLiteral("busy");
    case AnswerOutcome::OtherFrame: return QStringLiteral("other frame");
    case AnswerOutcome::ChecksumMismatch: return QStringLiteral("checksum mismatch");
    }
    return {};
}

QString TrafficReadRequestValue(int byteCount)
{
    return QStringLiteral("read %1 bytes").arg(byteCount);
}

QString TrafficWriteValue(int number, int byteCount, WriteTag tag, const QVariant &data)
{
    QString value;
    switch (tag.kind()) {
    case WriteKind::LG: {
        value = data.toString();
        if (number == reg::Command) {
            bool isNumber = false;
            const int code = data.toInt(&isNumber);
            for (const Named &c : CommandNames)
                if (isNumber && c.number == code)
                    value += QStringLiteral(" (") + QString::fromUtf8(c.name) + QLatin1Char(')');
        }
        break;
    }
    case WriteKind::BY: value = data.toString(); break;
    case WriteKind::TX:
    case WriteKind::ID:
    case WriteKind::IDH:
    case WriteKind::SPT: value = quoted(data.toString()); break;
    }
    return QStringLiteral("write %1 bytes = %2").arg(byteCount).arg(value);
}

QString TrafficReadValue(const QString &data)
{
    if (data.isEmpty())
        return {};
    if (data.size() <= 8) {
        bool ok = false;
        const qulonglong number = data.toULongLong(&ok, 16);
        return ok ? QStringLiteral("= %1 (%2)").arg(data).arg(number) : QStringLiteral("= ") + data;
    }
    QString text = cp1254::decode(QByteArray::fromHex(data.toLatin1()));
    while (text.endsWith(QChar(0)))
        text.chop(1);
    const bool printable = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar ch) {
        return ch.unicode() >= 0x20 && ch.unicode() != 0x7F && !(ch.unicode() >= 0x80 && ch.unicode() < 0xA0);
    });
    return QStringLiteral("= ") + (printable ? quoted(text) : data);
}

QString FormatTrafficLine(const TrafficEvent &e)
{
    const QString time = timeOfDay(e.time);
    if (e.direction == TrafficDirection::Log)
        return time + (e.logged ? QStringLiteral(" * ZRxLog: ") : QStringLiteral(" ! ZRxLog, not written: ")) + e.frame;

    QStringList parts;
    QString head = time + (e.direction == TrafficDirection::Out ? QStringLiteral(" >") : QStringLiteral(" <"));
    if (e.reg) {
        head += QStringLiteral(" %1").arg(*e.reg, 3, 10, QLatin1Char('0'));
        const QString name = TrafficRegisterName(*e.reg);
        if (!name.isEmpty())
            head += QLatin1Char(' ') + name;
        if (!e.value.isEmpty())
            head += QStringLiteral(": ") + e.value;
    } else if (!e.value.isEmpty()) {
        head += QLatin1Char(' ') + e.value;
    }
    parts << head;
    if (e.answerSeconds)
        parts << QString::number(std::llround(*e.answerSeconds * 1000.0)) + QStringLiteral(" ms");
    if (e.outcome)
        parts << TrafficOutcomeWord(*e.outcome);
    if (!e.frame.isEmpty())
        parts << PrintableFrame(e.frame);
    return parts.join(QStringLiteral("  "));
}

}  // namespace vx
