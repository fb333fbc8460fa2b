/* The measurement section reader behind the exported functions, on an open stdio file
 * (kept apart so that the fuzz target can run it over memory). */
#ifndef QUORVO_SLICE_READER_H
#define QUORVO_SLICE_READER_H

#include <stdint.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct QvSliceReader {
  FILE* file;          /* owned once QvReaderOpen succeeded */
  uint64_t slicesLeft; /* whole slices not yet read */
} QvSliceReader;

/* Finds the measurement section of the container in file and positions the reader at
 * its first slice. On success the reader owns file; on failure the caller keeps it.
 * Returns QV_OK or QV_E_FORMAT (QV_E_OPEN when the file cannot be sought or read). */
int32_t QvReaderOpen(QvSliceReader* reader, FILE* file);

/* The next slice into slice96: QV_OK, QV_END or QV_E_READ. */
int32_t QvReaderNext(QvSliceReader* reader, uint8_t* slice96);

/* Closes the file, if any. */
void QvReaderClose(QvSliceReader* reader);

#ifdef __cplusplus
}
#endif

#endif /* QUORVO_SLICE_READER_H */
