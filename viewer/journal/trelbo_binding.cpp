#include "journal/trelbo_binding.h"

#include <dlfcn.h>

#include <filesystem>

#include "session/file_log.h"

namespace kalmet {
namespace {

constexpr const char* kPrefix = "[TTrelbo.Create] ";
constexpr const char* kCannotGoOn = "Продлжение работы невозможно!";

std::string DlError() {
  const char* e = dlerror();
  return e ? e : "";
}

// Resolves one function; on failure logs and sets the user's message.
template <typename Fn>
bool Resolve(void* handle, const char* name, const char* failureText, Fn& fn, std::string& error) {
  dlerror();
  fn = reinterpret_cast<Fn>(dlsym(handle, name));
  if (fn) return true;
  const std::string text = failureText + DlError();
  WriteLog(kPrefix + text);
  error = text + "\r" + kCannotGoOn;
  return false;
}

}  // namespace

TTrelbo::~TTrelbo() {
  Unload();
}

void TTrelbo::Unload() {
  if (loaded_) fn_.Destroy();
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  loaded_ = false;
  fn_ = TEntryPoints();
}

bool TTrelbo::Attach(const TEntryPoints& functions) {
  Unload();
  if (!functions.Create || !functions.Open || !functions.Close || !functions.ReadFirst ||
      !functions.ReadNext || !functions.Write || !functions.Destroy) {
    return false;
  }
  fn_ = functions;
  loaded_ = true;
  return true;
}

bool TTrelbo::Load(const std::string& libraryPath, std::string& error) {
  Unload();
  error.clear();
  try {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(libraryPath, ec)) {
      WriteLog(std::string(kPrefix) + "Библиотека " + libraryPath + " не найдена.");
      const std::string name = std::filesystem::path(libraryPath).filename().string();
      error = "Библиотека " + name + " не найдена.\r" + kCannotGoOn;
      return false;
    }
    // The file checked above is the one loaded, not a namesake in the current folder.
    void* handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const std::string text = "LoadLibrary error: " + DlError();
      WriteLog(kPrefix + text);
      error = text + "\r" + kCannotGoOn;
      return false;
    }
    handle_ = handle;
    const bool all =
        Resolve(handle, "Create", "Load JournalCreate() error: ", fn_.Create, error) &&
        Resolve(handle, "Open", "Load JournalOpen() error: ", fn_.Open, error) &&
        Resolve(handle, "Close", "Load JournalClose() error: ", fn_.Close, error) &&
        Resolve(handle, "ReadFirst", "Load FJournalReadFirst() error: ", fn_.ReadFirst, error) &&
        Resolve(handle, "ReadNext", "Load FJournalReadNext() error: ", fn_.ReadNext, error) &&
        Resolve(handle, "Write", "Load JournalWrite() error: ", fn_.Write, error) &&
        Resolve(handle, "Destroy", "Load JournalDestroy() error: ", fn_.Destroy, error);
    if (!all) {
      Unload();
      return false;
    }
    loaded_ = true;
    return true;
  } catch (const std::exception& e) {
    WriteLog(std::string(kPrefix) + "Exception: " + e.what());
    Unload();
    error = std::string("Exception: ") + e.what() + "\r" + kCannotGoOn;
    return false;
  }
}

int32_t TTrelbo::JournalCreate(uint8_t** blocks, uint16_t* lengths, uint32_t count,
                               int16_t* error) {
  return loaded_ ? fn_.Create(blocks, lengths, count, error) : -1;
}

int32_t TTrelbo::JournalOpen(FilterFn filter) {
  return loaded_ ? fn_.Open(filter, &open_error_) : -1;
}

void TTrelbo::JournalClose() {
  if (loaded_) fn_.Close();
}

int32_t TTrelbo::JournalReadFirst(uint32_t label[2], uint16_t* code, uint8_t* buffer,
                                  uint16_t* length) {
  return loaded_ ? fn_.ReadFirst(label, code, buffer, length) : -1;
}

int32_t TTrelbo::JournalReadNext(uint32_t label[2], uint16_t* code, uint8_t* buffer,
                                 uint16_t* length) {
  return loaded_ ? fn_.ReadNext(label, code, buffer, length) : -1;
}

int32_t TTrelbo::JournalWrite(uint32_t label[2], uint32_t code, const uint8_t* data,
                              uint32_t length, int16_t* error) {
  return loaded_ ? fn_.Write(label, code, data, length, error) : -1;
}

}  // namespace kalmet
