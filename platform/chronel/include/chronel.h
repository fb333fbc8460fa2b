/* Chronel: turns the 32-bit time stamps of binary session records into clock fields.
 *
 * A time stamp counts seconds since 1970-01-01 00:00:00 of the controller's own clock
 * (no time-zone shift). Nothing outside this header is part of the interface.
 * The function keeps no state and is safe to call from any thread. */
#ifndef CHRONEL_H
#define CHRONEL_H

#include <stdint.h>

#define CHRONEL_VERSION "1.0.0"
/* MAJOR * 10000 + MINOR * 100 + PATCH. */
#define CHRONEL_VERSION_NUMBER 10000

/* Number of clock fields; callers pass high = CHRONEL_FIELD_COUNT - 1. */
#define CHRONEL_FIELD_COUNT 6

#if defined(__GNUC__)
#define CHRONEL_API __attribute__((visibility("default")))
#else
#define CHRONEL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Writes the clock fields of time into buffer[0..high], in this order: year within the
 * century (0-99), month (1-12), day (1-31), hour (0-23), minute (0-59), second (0-59).
 * buffer is caller-owned and holds high + 1 bytes; fields past index 5 are not written,
 * and nothing is written when buffer is null or high < 0. */
CHRONEL_API void TimeT2Array(uint32_t time, uint8_t* buffer, int32_t high);

#ifdef __cplusplus
}
#endif

#endif /* CHRONEL_H */
