/* Quorvo: reads the measurement journal of a ".Z5K" session file slice by slice.
 *
 * The journal is the body of the container's first section of type 2
 * (QUORVO_SECTION_TYPE): a sequence of QUORVO_SLICE_SIZE-byte slices in slice order.
 * The container is an 80-byte header followed by sections of a 1-byte type, a 4-byte
 * little-endian body size and the body. A file without such a section has an empty
 * journal.
 *
 * The library keeps one open journal per process; it is not thread-safe. Nothing
 * outside this header is part of the interface.
 *
 * Calling order: QV_Create, then QV_ReadNextSlice until it returns non-zero, then
 * QV_Close. */
#ifndef QUORVO_H
#define QUORVO_H

#include <stdint.h>

#define QUORVO_VERSION "1.0.0"
/* MAJOR * 10000 + MINOR * 100 + PATCH. */
#define QUORVO_VERSION_NUMBER 10000

/* Size of one slice in bytes. */
#define QUORVO_SLICE_SIZE 96
/* Container section type that holds the measurement journal. */
#define QUORVO_SECTION_TYPE 2

/* Results. Values are never renumbered; callers treat unknown values as failure. */
#define QV_OK 0         /* success: the journal is open, or the buffer holds a slice */
#define QV_END 1        /* no slice left */
#define QV_E_ARGUMENT 2 /* a null pointer was passed */
#define QV_E_OPEN 3     /* the file cannot be opened or read */
#define QV_E_FORMAT 4   /* the container is damaged before its measurement section ends */
#define QV_E_NOT_OPEN 5 /* no journal is open */
#define QV_E_READ 6     /* the file could not be read any more (changed or truncated) */

#if defined(__GNUC__)
#define QUORVO_API __attribute__((visibility("default")))
#else
#define QUORVO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the measurement journal of the file named by fileName (a zero-terminated path
 * in the file system's encoding; the library does not keep the pointer). A journal
 * opened before is closed first. Trailing bytes of the section that do not make a whole
 * slice are ignored. Returns QV_OK, QV_E_ARGUMENT, QV_E_OPEN or QV_E_FORMAT. */
QUORVO_API int32_t QV_Create(const char* fileName);

/* Copies the next slice into slice96 (caller-owned, QUORVO_SLICE_SIZE bytes).
 * Returns QV_OK, QV_END when every slice was read, QV_E_ARGUMENT, QV_E_NOT_OPEN or
 * QV_E_READ; on any non-zero result slice96 is not written. */
QUORVO_API int32_t QV_ReadNextSlice(uint8_t* slice96);

/* Ends the reading and closes the file; closing twice is harmless. */
QUORVO_API void QV_Close(void);

#ifdef __cplusplus
}
#endif

#endif /* QUORVO_H */
