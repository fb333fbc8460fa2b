#include "chronel.h"

/* Days since 1970-01-01 to year, month and day of the proleptic Gregorian calendar
 * (the civil-from-days method: shift to 0000-03-01 so that leap days come last). */
static void CivilFromDays(uint32_t days, uint32_t* year, uint32_t* month, uint32_t* day) {
  const uint32_t z = days + 719468u;
  const uint32_t era = z / 146097u;
  const uint32_t doe = z - era * 146097u;
  const uint32_t yoe = (doe - doe / 1460u + doe / 36524u - doe / 146096u) / 365u;
  const uint32_t doy = doe - (365u * yoe + yoe / 4u - yoe / 100u);
  const uint32_t mp = (5u * doy + 2u) / 153u;
  *day = doy - (153u * mp + 2u) / 5u + 1u;
  *month = mp < 10u ? mp + 3u : mp - 9u;
  *year = yoe + era * 400u + (*month <= 2u ? 1u : 0u);
}

void TimeT2Array(uint32_t time, uint8_t* buffer, int32_t high) {
  if (buffer == 0 || high < 0) return;
  uint32_t year, month, day;
  CivilFromDays(time / 86400u, &year, &month, &day);
  const uint32_t secs = time % 86400u;
  const uint8_t fields[CHRONEL_FIELD_COUNT] = {
      (uint8_t)(year % 100u),      (uint8_t)month,       (uint8_t)day, (uint8_t)(secs / 3600u),
      (uint8_t)(secs / 60u % 60u), (uint8_t)(secs % 60u)};
  const int32_t last = high < CHRONEL_FIELD_COUNT - 1 ? high : CHRONEL_FIELD_COUNT - 1;
  for (int32_t i = 0; i <= last; ++i) buffer[i] = fields[i];
}
