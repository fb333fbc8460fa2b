// The binding to the journal unpacking library: loads "libtrelbo.so" from the program
// folder, resolves its seven functions and wraps the calls the version-2 parser makes.
#pragma once

#include <cstdint>
#include <string>

namespace kalmet {

class TTrelbo {
 public:
  // The library's file name in the program folder.
  static constexpr const char* kFileName = "libtrelbo.so";
  // The largest data length of one record, and so the read buffer the parser needs.
  static constexpr uint16_t kMaxRecordLength = 65535;

  using CreateFn = int32_t (*)(uint8_t** blocks, uint16_t* lengths, uint32_t count, int16_t* error);
  using FilterFn = uint8_t (*)(uint32_t labelHigh, uint16_t code);
  using OpenFn = int32_t (*)(FilterFn filter, int16_t* error);
  using CloseFn = void (*)();
  using ReadFn = int32_t (*)(uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length);
  using WriteFn = int32_t (*)(uint32_t label[2], uint32_t code, const uint8_t* data,
                              uint32_t length, int16_t* error);
  using DestroyFn = void (*)();

  // The seven entry points.
  struct TEntryPoints {
    CreateFn Create = nullptr;
    OpenFn Open = nullptr;
    CloseFn Close = nullptr;
    ReadFn ReadFirst = nullptr;
    ReadFn ReadNext = nullptr;
    WriteFn Write = nullptr;
    DestroyFn Destroy = nullptr;
  };

  TTrelbo() = default;
  ~TTrelbo();
  TTrelbo(const TTrelbo&) = delete;
  TTrelbo& operator=(const TTrelbo&) = delete;

  // Loads the library at libraryPath (the program folder's kFileName) and resolves its
  // functions. On failure logs the cause under "[TTrelbo.Create] ", leaves the binding
  // unloaded and sets error to the text the user must see; it ends in
  // "Продлжение работы невозможно!" and goes with the caption kErrorCaption.
  bool Load(const std::string& libraryPath, std::string& error);
  bool Loaded() const { return loaded_; }
  // Binds a journal linked into the program instead of the library file (the fuzz
  // targets do, where the shared library cannot be built); false when one is missing.
  bool Attach(const TEntryPoints& functions);
  static constexpr const char* kErrorCaption = "Ошибка!";

  // The library's calls; -1 (or nothing) when the library is not loaded.
  int32_t JournalCreate(uint8_t** blocks, uint16_t* lengths, uint32_t count, int16_t* error);
  int32_t JournalOpen(FilterFn filter);
  void JournalClose();
  int32_t JournalReadFirst(uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length);
  int32_t JournalReadNext(uint32_t label[2], uint16_t* code, uint8_t* buffer, uint16_t* length);
  int32_t JournalWrite(uint32_t label[2], uint32_t code, const uint8_t* data, uint32_t length,
                       int16_t* error);

  // The error word of the last JournalOpen.
  int16_t OpenError() const { return open_error_; }

 private:
  void Unload();

  bool loaded_ = false;
  int16_t open_error_ = 0;
  void* handle_ = nullptr;
  TEntryPoints fn_;
};

}  // namespace kalmet
