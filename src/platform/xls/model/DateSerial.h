#pragma once

#include "platform/xls/Result.h"

namespace tavorin::xls {

// The two date systems a workbook can use (DATE1904 record).
enum class DateSystem {
    Date1900, // serial 1 = 1900-01-01; counts Excel's fictitious 1900-02-29 as serial 60
    Date1904, // serial 0 = 1904-01-01
};

// A date and time of day as a workbook stores it: whole days since the system's origin plus
// the fraction of the day. Days from 1900-03-01 on count from 1899-12-30 in the 1900 system,
// so they match every other program; days before that are one less, as Excel numbers them.
// Fails for an impossible date or time, or a date before the system's first day or after
// 9999-12-31. The 1900 system accepts 1900-02-29 as serial 60, the day Excel invented.
Result<double> dateSerial(int year, int month, int day, int hour, int minute, int second, int millisecond,
                          DateSystem system);

} // namespace tavorin::xls
