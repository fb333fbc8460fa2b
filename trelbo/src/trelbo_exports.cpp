// The library's exported functions: thin wrappers over the one journal it holds.
#include "trelbo.h"
#include "trelbo/journal.h"

#define TRELBO_EXPORT __attribute__((visibility("default")))

namespace {

// The one journal of the loaded library, made when the library is loaded.
kalmet::trelbo::Journal theJournal;

kalmet::trelbo::Journal& journal() {
  return theJournal;
}

}  // namespace

extern "C" {

TRELBO_EXPORT int32_t Create(uint8_t** blocks, uint16_t* lengths, uint32_t count, int16_t* error) {
  return journal().create(blocks, lengths, count, error);
}

TRELBO_EXPORT int32_t Open(TrelboFilter filter, int16_t* error) {
  return journal().open(filter, error);
}

TRELBO_EXPORT void Close(void) {
  journal().close();
}

TRELBO_EXPORT int32_t ReadFirst(uint32_t label[2], uint16_t* code, uint8_t* buffer,
                                uint16_t* length) {
  return journal().readFirst(label, code, buffer, length);
}

TRELBO_EXPORT int32_t ReadNext(uint32_t label[2], uint16_t* code, uint8_t* buffer,
                               uint16_t* length) {
  return journal().readNext(label, code, buffer, length);
}

TRELBO_EXPORT int32_t Write(uint32_t label[2], uint32_t code, const uint8_t* data, uint32_t length,
                            int16_t* error) {
  return journal().write(label, code, data, length, error);
}

TRELBO_EXPORT void Destroy(void) {
  journal().destroy();
}

}  // extern "C"
