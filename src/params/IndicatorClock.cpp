#include "params/IndicatorClock.h"

#include "link/Interfaces.h"
#include "link/Registers.h"
#include "link/Transaction.h"
#include "params/Catalogue.h"
#include "params/ParameterSet.h"
#include "params/Transfer.h"
#include "shell/TextService.h"

#include <QRegularExpression>

namespace vx {
namespace {
constexpr int kRowClock = 1;
}  // namespace

QDateTime ClockCellTime(const QString &cell)
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]{2})-([0-9]{2})-([0-9]{2}) \\\\ ([0-9]{2}):([0-9]{2}):([0-9]{2})"));
    const QRegularExpressionMatch m = form.match(cell);
    if (!m.hasMatch())
        return {};
    const QDate date(2000 + m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QString ClockCellText(const QDateTime &time)
{
    return time.toString(QStringLiteral("dd-MM-yy")) + QStringLiteral(" \\ ") + time.toString(QStringLiteral("HH:mm:ss"));
}

ClockReading ReadIndicatorClock(Link &link)
{
    ClockReading reading;
    link.WriteHostMode(true);
    const Answer command = link.writeAnswer(reg::Command, 2, "Lg", cmd::LoadClock, link.settings.ReadingTime);
    if (!command.missingOrRefused()) {
        const Answer answer = link.readAnswer(reg::Clock, params::AreaBytes(params::Area::Clock), link.settings.ReadingTime);
        reading.pc = link.clock().now();
        const QVariant value = link.valueOf(answer, "Tarih", reg::Clock);
        if (value.isValid()) {
            reading.answered = true;
            reading.text = value.toString();
            reading.indicator = ClockCellTime(reading.text);
        }
    }
    link.WriteHostMode(false);
    return reading;
}

ClockSetting SetIndicatorClockToPc(Link &link, const TextService &texts)
{
    ClockSetting setting;
    // The PC's time to the second, as the cell holds it.
    const QDateTime now = link.clock().now();
    setting.sent = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    ParameterSet set;
    set.setValue(kRowClock, ClockCellText(setting.sent));
    WriteGroups groups;
    groups.dateTime = true;
    const ParameterWriteResult written = ParametreHostYaz(link, set, texts, groups);
    if (written.aborted || !written.sent.dateTime)
        return setting;
    setting.readBack = ReadIndicatorClock(link);
    if (!setting.readBack.valid())
        setting.outcome = ClockSetting::Outcome::NoReadBack;
    else if (qAbs(setting.readBack.difference()) > ClockTolerance)
        setting.outcome = ClockSetting::Outcome::Disagrees;
    else
        setting.outcome = ClockSetting::Outcome::Set;
    return setting;
}

QString ClockSettingProblem(const ClockSetting &setting, const TextService &texts)
{
    switch (setting.outcome) {
    case ClockSetting::Outcome::Set: return {};
    case ClockSetting::Outcome::NotWritten: return texts.builtIn(BuiltIn::ClockNotTaken);
    case ClockSetting::Outcome::NoReadBack: return texts.builtIn(BuiltIn::ClockNoReadBack);
    case ClockSetting::Outcome::Disagrees:
        return texts.builtIn(BuiltIn::ClockDisagrees)
            .arg(setting.readBack.text)
            .arg(setting.readBack.difference())
            .arg(ClockCellText(setting.readBack.pc))
            .arg(ClockTolerance);
    }
    return {};
}

}  // namespace vx
