#include "session/file_log.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "session/delphi_text.h"

namespace fs = std::filesystem;

namespace kalmet {
namespace {

std::tm LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

std::unique_ptr<TFileLog>& LogInstance() {
  static std::unique_ptr<TFileLog> instance;
  return instance;
}

std::function<void(std::string_view)>& Observer() {
  static std::function<void(std::string_view)> observer;
  return observer;
}

bool Writable(const fs::path& folder) {
  std::error_code ec;
  const fs::path logs = folder / "Logs";
  if (fs::exists(logs, ec)) return access(logs.c_str(), W_OK) == 0;
  return access(folder.c_str(), W_OK) == 0;
}

fs::path UserConfigFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return fs::path(xdg) / "Kalmet";
  if (const char* home = std::getenv("HOME"); home && *home) {
    return fs::path(home) / ".config" / "Kalmet";
  }
  return fs::temp_directory_path() / "Kalmet";
}

}  // namespace

TFileLog::TFileLog(fs::path folder, std::string tag, std::function<std::tm()> now)
    : folder_(std::move(folder)), tag_(std::move(tag)), now_(now ? std::move(now) : LocalNow) {}

std::string TFileLog::GetFileName() {
  const std::tm tm = now_();
  const std::string name = (folder_ / Format("%04d_%02d_%02d_%s.log", tm.tm_year + 1900,
                                             tm.tm_mon + 1, tm.tm_mday, tag_.c_str()))
                               .string();
  if (!SameText(name, current_file_name_)) current_file_name_ = name;
  std::error_code ec;
  const fs::path dir = fs::path(current_file_name_).parent_path();
  if (!fs::exists(dir, ec)) {
    fs::create_directories(dir, ec);
    if (ec) return {};
  }
  return current_file_name_;
}

int64_t TFileLog::ScanFolder(const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return 0;
  files_.clear();
  int64_t total = 0;
  const std::string suffix = tag_ + ".log";
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() < suffix.size() ||
        !SameText(std::string_view(name).substr(name.size() - suffix.size()), suffix)) {
      continue;
    }
    std::error_code size_ec;
    const auto size = fs::file_size(it->path(), size_ec);
    if (size_ec) continue;
    files_.push_back({name, static_cast<int64_t>(size)});
    total += static_cast<int64_t>(size);
  }
  std::sort(files_.begin(), files_.end(),
            [](const FileEntry& a, const FileEntry& b) { return CompareText(a.name, b.name) < 0; });
  return total;
}

int64_t TFileLog::TotalSize() const {
  int64_t total = 0;
  for (const auto& f : files_) total += f.size;
  return total;
}

void TFileLog::Purge() {
  const fs::path dir = fs::path(current_file_name_).parent_path();
  while (!files_.empty() && TotalSize() >= kSizeLimit) {
    std::error_code ec;
    if (!fs::remove(dir / files_.front().name, ec) || ec) return;
    files_.erase(files_.begin());
  }
}

bool TFileLog::Write(std::string_view text) {
  std::lock_guard<std::mutex> guard(lock_);
  try {
    const std::string file = GetFileName();
    if (file.empty()) return false;
    {
      std::ofstream out(file, std::ios::binary | std::ios::app);
      if (!out) return false;
      const std::tm tm = now_();
      out << Format("%02d:%02d:%02d ", tm.tm_hour, tm.tm_min, tm.tm_sec) << text << "\r\n";
      out.flush();
      if (!out) return false;
    }
    if (ScanFolder(fs::path(file).parent_path()) > kSizeLimit) Purge();
    return true;
  } catch (...) {
    return false;
  }
}

std::string LogTag(std::string_view programFileName) {
  std::string tag(programFileName);
  std::replace(tag.begin(), tag.end(), '.', '_');
  return tag;
}

void InitLog(const fs::path& programPath) {
  try {
    fs::path folder = programPath.parent_path();
    if (!Writable(folder)) folder = UserConfigFolder();
    InitLog(folder / "Logs", LogTag(programPath.filename().string()));
  } catch (...) {
    LogInstance().reset();
  }
}

void InitLog(const fs::path& folder, std::string_view tag) {
  LogInstance() = std::make_unique<TFileLog>(folder, std::string(tag));
}

void ShutdownLog() {
  LogInstance().reset();
}

TFileLog* FileLog() {
  return LogInstance().get();
}

bool WriteLog(std::string_view text) {
  try {
    if (Observer()) Observer()(text);
    if (!LogInstance()) return false;
    return LogInstance()->Write(text);
  } catch (...) {
    return false;
  }
}

void SetLogObserver(std::function<void(std::string_view)> observer) {
  Observer() = std::move(observer);
}

}  // namespace kalmet
