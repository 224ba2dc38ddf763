#pragma once

// The local time of day, read cheaply: the loops read it once per row, and
// asking the C library for local time looks at the zone file every time.
namespace TimeOfDay {
// Milliseconds since local midnight.
long long msecsSinceMidnight();
// Whole seconds since local midnight.
int secondsSinceMidnight();
}  // namespace TimeOfDay
