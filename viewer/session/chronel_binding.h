// The time-conversion library Chronel, bound by path for one binary load.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kalmet {

class SessionContext;

// The signature of Chronel's TimeT2Array: time stamp into six clock fields Y-M-D-h-m-s.
using TimeT2ArrayFn = void (*)(uint32_t time, uint8_t* buffer, int32_t high);

class TChronelBinding {
 public:
  // The library's file name in the program folder.
  static constexpr const char* kFileName = "libchrn.so";

  // Loads ctx.sAppPath + kFileName and finds TimeT2Array. On failure logs the cause,
  // shows the message through ctx.Host.Report with the caption "Ошибка!" and raises
  // TFatalError with that message: the program cannot go on.
  static std::unique_ptr<TChronelBinding> Bind(const SessionContext& ctx);

  ~TChronelBinding();
  TChronelBinding(const TChronelBinding&) = delete;
  TChronelBinding& operator=(const TChronelBinding&) = delete;

  TimeT2ArrayFn TimeT2Array() const { return fn_; }

 private:
  TChronelBinding(void* handle, TimeT2ArrayFn fn) : handle_(handle), fn_(fn) {}

  void* handle_;
  TimeT2ArrayFn fn_;
};

}  // namespace kalmet
