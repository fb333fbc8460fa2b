#include <sys/stat.h>

#include "quorvo.h"
#include "slice_reader.h"

/* The one journal open in this process. */
static QvSliceReader g_reader;
static int g_open;

int32_t QV_Create(const char* fileName) {
  QV_Close();
  if (fileName == 0) return QV_E_ARGUMENT;
  FILE* file = fopen(fileName, "rb");
  if (file == 0) return QV_E_OPEN;
  struct stat st;
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    fclose(file);
    return QV_E_OPEN;
  }
  const int32_t rc = QvReaderOpen(&g_reader, file);
  if (rc != QV_OK) {
    fclose(file);
    return rc;
  }
  g_open = 1;
  return QV_OK;
}

int32_t QV_ReadNextSlice(uint8_t* slice96) {
  if (slice96 == 0) return QV_E_ARGUMENT;
  if (!g_open) return QV_E_NOT_OPEN;
  return QvReaderNext(&g_reader, slice96);
}

void QV_Close(void) {
  if (g_open) QvReaderClose(&g_reader);
  g_open = 0;
}
