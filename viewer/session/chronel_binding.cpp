#include "session/chronel_binding.h"

#include <dlfcn.h>

#include <filesystem>

#include "session/file_log.h"
#include "session/session_context.h"
#include "session/session_error.h"

namespace kalmet {
namespace {

constexpr const char* kCaption = "Ошибка!";
constexpr const char* kCannotGoOn = "Продлжение работы невозможно!";

std::string DlError() {
  const char* e = dlerror();
  return e ? e : "";
}

[[noreturn]] void Fail(const SessionContext& ctx, const std::string& message) {
  ctx.Host.Report(message, kCaption);
  throw TFatalError(message);
}

}  // namespace

std::unique_ptr<TChronelBinding> TChronelBinding::Bind(const SessionContext& ctx) {
  const std::string path = ctx.sAppPath + kFileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    WriteLog("Библиотека " + path + " не найдена.");
    Fail(ctx, std::string("Библиотека ") + kFileName + " не найдена.\r" + kCannotGoOn);
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const std::string error = DlError();
    WriteLog("LoadLibrary error: " + error);
    Fail(ctx, "LoadLibrary error: " + error + "\r" + kCannotGoOn);
  }
  dlerror();
  auto fn = reinterpret_cast<TimeT2ArrayFn>(dlsym(handle, "TimeT2Array"));
  if (!fn) {
    const std::string error = DlError();
    WriteLog("Load TimeT2Array() error: " + error);
    dlclose(handle);
    Fail(ctx, "Load TimeT2Array() error: " + error + "\r" + kCannotGoOn);
  }
  return std::unique_ptr<TChronelBinding>(new TChronelBinding(handle, fn));
}

TChronelBinding::~TChronelBinding() {
  dlclose(handle_);
}

}  // namespace kalmet
