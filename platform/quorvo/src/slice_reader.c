#define _FILE_OFFSET_BITS 64
#include "slice_reader.h"

#include <sys/types.h>

#include "quorvo.h"

enum { kHeaderSize = 80, kSectionHeaderSize = 5 };

static uint32_t ReadU32(const uint8_t* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

int32_t QvReaderOpen(QvSliceReader* reader, FILE* file) {
  reader->file = 0;
  reader->slicesLeft = 0;
  if (fseeko(file, 0, SEEK_END) != 0) return QV_E_OPEN;
  const off_t end = ftello(file);
  if (end < 0) return QV_E_OPEN;
  const uint64_t size = (uint64_t)end;
  if (size < kHeaderSize) return QV_E_FORMAT;
  uint64_t pos = kHeaderSize;
  uint64_t slices = 0;
  /* Walk the sections; a body of another type is passed over as a whole. */
  while (pos < size) {
    uint8_t head[kSectionHeaderSize];
    if (size - pos < kSectionHeaderSize) return QV_E_FORMAT;
    if (fseeko(file, (off_t)pos, SEEK_SET) != 0 ||
        fread(head, 1, sizeof head, file) != sizeof head) {
      return QV_E_OPEN;
    }
    pos += kSectionHeaderSize;
    const uint64_t bodySize = ReadU32(head + 1);
    if (bodySize > size - pos) return QV_E_FORMAT;
    if (head[0] == QUORVO_SECTION_TYPE) {
      slices = bodySize / QUORVO_SLICE_SIZE;
      break;
    }
    pos += bodySize;
  }
  if (slices > 0 && fseeko(file, (off_t)pos, SEEK_SET) != 0) return QV_E_OPEN;
  reader->file = file;
  reader->slicesLeft = slices;
  return QV_OK;
}

int32_t QvReaderNext(QvSliceReader* reader, uint8_t* slice96) {
  if (reader->slicesLeft == 0) return QV_END;
  uint8_t slice[QUORVO_SLICE_SIZE];
  if (fread(slice, 1, sizeof slice, reader->file) != sizeof slice) {
    reader->slicesLeft = 0;
    return QV_E_READ;
  }
  --reader->slicesLeft;
  for (int i = 0; i < QUORVO_SLICE_SIZE; ++i) slice96[i] = slice[i];
  return QV_OK;
}

void QvReaderClose(QvSliceReader* reader) {
  if (reader->file) fclose(reader->file);
  reader->file = 0;
  reader->slicesLeft = 0;
}
