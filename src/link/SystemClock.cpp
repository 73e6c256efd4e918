#include "link/SystemClock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace vx {

double SystemClock::secondsSinceMidnight() const
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::idle(double maxSeconds, bool pumpEvents)
{
    if (pumpEvents && QCoreApplication::instance())
        QCoreApplication::processEvents(m_userInputHolds > 0 ? QEventLoop::ExcludeUserInputEvents
                                                             : QEventLoop::AllEvents);
    if (!(maxSeconds > 0))  // also NaN
        return;
    const double slice = std::min(maxSeconds, 0.001);
    const auto micros = static_cast<unsigned long>(std::lround(slice * 1e6));
    if (micros > 0)
        QThread::usleep(micros);
}

void SystemClock::callAfter(double seconds, std::function<void()> fn)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || !fn)
        return;
    const double ms = seconds > 0 && std::isfinite(seconds) ? std::min(seconds * 1000.0, 2.0e9) : 0.0;
    QTimer::singleShot(int(std::lround(ms)), app, std::move(fn));
}

}  // namespace vx
