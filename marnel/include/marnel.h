/* Marnel: reads a pump controller's alarm journal image in place and answers with
 * Windows-1251 text lines of the form "name=value", separated by CR LF.
 *
 * The library keeps one open journal per process; it is not thread-safe. Nothing
 * outside this header is part of the interface.
 *
 * Calling order: _OpenJournal, then _GetJournalHeaders (which fixes the positions
 * that _GetJournalRecordNumber takes), then any number of _GetJournalRecordNumber,
 * then _CloseJournal. */
#ifndef MARNEL_H
#define MARNEL_H

#include <stdint.h>

#define MARNEL_VERSION "1.0.0"
/* MAJOR * 10000 + MINOR * 100 + PATCH. */
#define MARNEL_VERSION_NUMBER 10000

/* Results of the functions below. Callers treat any other value as failure. */
#define MARNEL_FAILURE 0 /* nothing done; any text written is empty */
#define MARNEL_SUCCESS 1 /* the journal is open, or the text was written */

/* Smallest image _OpenJournal accepts (two 108-byte headers and a 40-byte ring). */
#define MARNEL_MIN_IMAGE_SIZE 256
/* Image size the controller uses. */
#define MARNEL_IMAGE_SIZE 16384
/* Text size the viewer passes; a record context needs MARNEL_TEXT_SIZE + 1 bytes. */
#define MARNEL_TEXT_SIZE 16384

#if defined(__GNUC__)
#define MARNEL_API __attribute__((visibility("default")))
#else
#define MARNEL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the journal held in image (size bytes, at least MARNEL_MIN_IMAGE_SIZE).
 * The image stays owned by the caller, is not copied and must stay alive and
 * unchanged until _CloseJournal. Opening may write into it: a damaged header is
 * repaired from its twin, and an image without a usable journal is overwritten with
 * an empty one (then the result is still MARNEL_SUCCESS).
 * Returns MARNEL_SUCCESS, or MARNEL_FAILURE when a journal is already open (nothing
 * changes), the image is null or too small, or memory runs out. */
MARNEL_API uint8_t _OpenJournal(uint8_t* image, int32_t size);

/* Writes the alarms as "name=time" lines, newest first, into buffer (size bytes,
 * caller-owned): at most size - 1 characters, the rest of the size bytes zero.
 * Row i of this listing is position i for _GetJournalRecordNumber.
 * Returns MARNEL_SUCCESS (an empty journal gives an empty text), or MARNEL_FAILURE
 * when no journal is open or size <= 0 (a buffer of size <= 0 is not touched). */
MARNEL_API int32_t _GetJournalHeaders(char* buffer, int32_t size);

/* Writes the context of the alarm at row position (0-based) of the last listing as
 * "parameter=value" lines into buffer: at most size characters followed by a zero, so
 * the caller provides size + 1 bytes. A group gives a line "group=" followed by the
 * lines of its parameters.
 * Returns MARNEL_SUCCESS, or MARNEL_FAILURE (empty text) when size <= 0, no journal is
 * open, position is outside the last listing, or the record is gone or damaged.
 * A buffer with size < 0 is not touched. */
MARNEL_API int32_t _GetJournalRecordNumber(int32_t position, char* buffer, int32_t size);

/* Closes the open journal and forgets the image; closing twice is harmless. */
MARNEL_API void _CloseJournal(void);

#ifdef __cplusplus
}
#endif

#endif /* MARNEL_H */
