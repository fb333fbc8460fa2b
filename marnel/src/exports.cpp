// The exported C functions: one process-wide journal, no exception crosses the border.
#include "marnel.h"
#include "src/journal.h"

namespace {

// The maker's notification routine does nothing with its codes; neither does ours.
// The journal is never destroyed: a caller may close it from its own exit-time
// destructors, which can run after this library's static objects are gone.
kalmet::marnel::Journal& OpenJournalState() {
  static kalmet::marnel::Journal* journal = new kalmet::marnel::Journal;
  return *journal;
}

}  // namespace

extern "C" {

MARNEL_API uint8_t _OpenJournal(uint8_t* image, int32_t size) {
  try {
    return OpenJournalState().Open(image, size) ? MARNEL_SUCCESS : MARNEL_FAILURE;
  } catch (...) {
    return MARNEL_FAILURE;
  }
}

MARNEL_API int32_t _GetJournalHeaders(char* buffer, int32_t size) {
  try {
    return OpenJournalState().Headers(buffer, size) ? MARNEL_SUCCESS : MARNEL_FAILURE;
  } catch (...) {
    if (buffer != nullptr && size > 0) buffer[0] = 0;
    return MARNEL_FAILURE;
  }
}

MARNEL_API int32_t _GetJournalRecordNumber(int32_t position, char* buffer, int32_t size) {
  try {
    return OpenJournalState().RecordContext(position, buffer, size) ? MARNEL_SUCCESS
                                                                    : MARNEL_FAILURE;
  } catch (...) {
    if (buffer != nullptr && size >= 0) buffer[0] = 0;
    return MARNEL_FAILURE;
  }
}

MARNEL_API void _CloseJournal(void) {
  OpenJournalState().Close();
}

}  // extern "C"
