/*
 * Trelbo: journal unpacking library.
 *
 * Builds one journal at a time from a packed journal image (a ring of 16-byte
 * cells behind a 4-byte header), delivers its records newest first and can
 * append records to the image it holds. The library never touches files.
 *
 * Anything not declared in this header is not part of the interface.
 * Integers keep their stated widths; pointers are native; C linkage.
 */
#ifndef TRELBO_H
#define TRELBO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Interface version: major * 10000 + minor * 100 + patch. */
#define TRELBO_VERSION_NUMBER 10000
#define TRELBO_VERSION "1.0.0"

/* Results of the int32_t functions. */
#define TRELBO_OK 0        /* the call succeeded */
#define TRELBO_FAILED (-1) /* the call failed; see the error word where there is one */

/* Values written to the int16_t error words. Callers treat unknown values as failure. */
#define TRELBO_ERROR_NONE 0         /* no error */
#define TRELBO_ERROR_NO_MEMORY 1    /* Create: the image could not be allocated or a block copied */
#define TRELBO_ERROR_ALREADY_OPEN 1 /* Open: the journal was already open; nothing was reset */
#define TRELBO_ERROR_WRITE 1        /* Write: the record could not be written (missing argument) */
#define TRELBO_ERROR_OUTSIDE_IMAGE (-1) /* Write: a cell lies outside the image (none usable) */

/* Largest number of data bytes in one record, and so the largest useful read buffer. */
#define TRELBO_MAX_RECORD_LENGTH 65535

/* Read filter: called with a record's label high word and code; a record is
 * delivered only when it returns non-zero. It runs while the library holds its
 * image lock and must not call back into the library. */
typedef uint8_t (*TrelboFilter)(uint32_t labelHigh, uint16_t code);

/*
 * Builds and analyses the journal from `count` blocks joined in order.
 * blocks[i] points at lengths[i] bytes (a block of length 0 may be null).
 * Only the low 8 bits of count are used. The library copies the blocks; the
 * caller keeps ownership and may free them when Create returns. A second
 * Create replaces the journal and ends any reading in progress. An image that
 * is too small or has a foreign header is formatted in the copy and is empty.
 * Returns TRELBO_OK with *error = TRELBO_ERROR_NONE, or TRELBO_FAILED with
 * *error = TRELBO_ERROR_NO_MEMORY (no journal is held afterwards).
 * error may be null.
 */
int32_t Create(uint8_t** blocks, uint16_t* lengths, uint32_t count, int16_t* error);

/*
 * Prepares reading from the newest record backwards with an optional filter
 * (null delivers every record). The filter is borrowed until Close.
 * Returns TRELBO_OK; *error = TRELBO_ERROR_NONE, or TRELBO_ERROR_ALREADY_OPEN
 * when the journal was open (nothing is reset then). error may be null.
 */
int32_t Open(TrelboFilter filter, int16_t* error);

/* Ends reading. Harmless when not open. */
void Close(void);

/*
 * Delivers the newest record that passes the filter.
 * label (out): [0] low word (record counter), [1] high word (seconds since 1970).
 * code (out): record code. buffer (out): data bytes, *length bytes of room.
 * length (in: buffer size; out: data length).
 * Returns TRELBO_OK, or TRELBO_FAILED with:
 *   *length unchanged when not open or the record exceeds the buffer;
 *   *length = 0 when there is no record.
 */
int32_t ReadFirst(uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length);

/* Delivers the next older record that passes the filter; results as ReadFirst.
 * When no record is left the read position stays where it was. */
int32_t ReadNext(uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length);

/*
 * Appends one record (the low 16 bits of code and of length are used; data
 * holds length bytes and may be null when length is 0), overwriting the
 * oldest cells when the ring is full. label (out) receives the record's label.
 * Returns TRELBO_OK with *error = TRELBO_ERROR_NONE, or TRELBO_FAILED with
 * *error = TRELBO_ERROR_OUTSIDE_IMAGE or TRELBO_ERROR_WRITE. error may be null.
 */
int32_t Write(uint32_t label[2], uint32_t code, const uint8_t* data, uint32_t length,
              int16_t* error);

/* Closes the journal when it is open; call before unloading the library. */
void Destroy(void);

#ifdef __cplusplus
}
#endif

#endif /* TRELBO_H */
