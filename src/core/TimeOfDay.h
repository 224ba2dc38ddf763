#pragma once

// The local time of day, read cheaply: the loops read it once per row, and
// asking the C library for local time looks at the zone file every time.
#include <QString>

namespace TimeOfDay {
// Milliseconds since local midnight.
long long msecsSinceMidnight();
// Whole seconds since local midnight.
int secondsSinceMidnight();
// Seconds from `start` to `now`, both times of day, counted across midnight.
int elapsedSince(int start, int now);
// "hh:mm:ss"; durations of a day or more keep counting the hours.
QString durationText(long seconds);
}  // namespace TimeOfDay
