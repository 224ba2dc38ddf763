#include "core/TimeOfDay.h"

#include <QDateTime>

namespace TimeOfDay {

long long msecsSinceMidnight()
{
    // The offset from UTC is looked up again once a minute, so a change of
    // daylight-saving time shows within that minute.
    static long long offsetMs = 0;
    static long long offsetTakenAt = -1;
    const long long now = QDateTime::currentMSecsSinceEpoch();
    if (offsetTakenAt < 0 || now - offsetTakenAt >= 60000 || now < offsetTakenAt) {
        offsetMs = (long long)QDateTime::fromMSecsSinceEpoch(now).offsetFromUtc() * 1000;
        offsetTakenAt = now;
    }
    constexpr long long day = 24LL * 3600 * 1000;
    return (((now + offsetMs) % day) + day) % day;
}

int secondsSinceMidnight()
{
    return int(msecsSinceMidnight() / 1000);
}

int elapsedSince(int start, int now)
{
    int elapsed = now - start;
    if (elapsed < 0)
        elapsed += 24 * 3600;
    return elapsed;
}

QString durationText(long seconds)
{
    const bool negative = seconds < 0;
    if (negative)
        seconds = -seconds;
    const QString text = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                             .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return negative ? QStringLiteral("-") + text : text;
}

}  // namespace TimeOfDay
