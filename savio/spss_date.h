// Calendar dates of the format's date values: seconds since the start of
// 14 October 1582, in the proleptic Gregorian calendar.
#pragma once

namespace savio {

// False (and zeros) for values that are not finite or too far from the
// epoch to be a date.
bool DateFromSeconds(double seconds, int* day, int* month, int* year);

}  // namespace savio
