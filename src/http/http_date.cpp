// SPDX-License-Identifier: MIT
#include "http/http_date.h"

#include <cmath>
#include <cstdio>

namespace {

struct CivilDate {
  long long year;
  unsigned month, day;
};

// Days since 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
CivilDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<long long>(yoe) + era * 400 + (month <= 2), month, day};
}

}  // namespace

std::string FormatHttpDate(DateTime value) {
  static constexpr char kDays[] = "MonTueWedThuFriSatSun";
  static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  constexpr long long kDaysFrom1899To1970 = 25569;

  const auto days = static_cast<long long>(std::trunc(value));
  auto millis = static_cast<long long>(std::llround(std::fabs(value - std::trunc(value)) * 86400000.0));
  if (millis >= 86400000) millis = 86399999;  // rounding never carries into the next day
  const long long seconds = millis / 1000;
  const CivilDate date = CivilFromDays(days - kDaysFrom1899To1970);
  // Day 0 was a Saturday; a floored modulo keeps the name right before 1900 as well.
  const long long weekday = (((days - 2) % 7) + 7) % 7;

  char text[64];
  std::snprintf(text, sizeof text, "%.3s, %02u %.3s %04lld %02lld:%02lld:%02lld", kDays + 3 * weekday, date.day,
                kMonths + 3 * (date.month - 1), date.year, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}
