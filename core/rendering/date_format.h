// The date, time and calendar-name print formats for FormatRender: DATE,
// ADATE, EDATE, JDATE, SDATE, QYR, MOYR, WKYR, DATETIME, YMDHMS, TIME,
// MTIME, DTIME, WKDAY and MONTH.
#pragma once

#include "core/rendering/print_format.h"

namespace lv::detail {

// Exactly format.width bytes into buf (kMaxNumberText); returns the length.
// epoch: the first year a two-digit year stands for.
int RenderDateFormat(const PrintFormat& format, char decimal, int epoch, double value, char* buf);
int RenderWeekday(const PrintFormat& format, double value, char* buf);
int RenderMonth(const PrintFormat& format, double value, char* buf);

// The template of a date or time format at its width (the longer one
// where the width holds it): d day, ddd day of year, mm month, mmm its
// abbreviation, yy / yyyy year, q quarter, ww week, D days, HH hours, MM
// minutes (the seconds follow as the width allows); other letters stand
// for themselves.
const char* DateTemplate(const PrintFormat& format);

}  // namespace lv::detail
