// The program's log: one daily file per program in the folder "Logs", lines prefixed with
// the local time, the folder kept under a size limit by deleting the oldest days.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kalmet {

class TFileLog {
 public:
  static constexpr int64_t kSizeLimit = 1000000;

  // folder: the log folder; tag: the program file's name with "." replaced by "_".
  // now: the local clock (tests pass their own).
  TFileLog(std::filesystem::path folder, std::string tag, std::function<std::tm()> now = nullptr);

  // Appends "HH:NN:SS text" and CR LF to the day's file, then purges the folder when the
  // program's files exceed the limit. False when the line could not be written.
  bool Write(std::string_view text);

  // The day's file name; creates the folder when missing. Empty on failure.
  std::string GetFileName();
  // Rebuilds the file list from the folder (only this program's files); the total bytes.
  int64_t ScanFolder(const std::filesystem::path& folder);
  int64_t TotalSize() const;
  // Deletes the oldest files until the total is below the limit.
  void Purge();

  const std::string& Tag() const { return tag_; }
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  struct FileEntry {
    std::string name;
    int64_t size;
  };

  std::filesystem::path folder_;
  std::string tag_;
  std::function<std::tm()> now_;
  std::string current_file_name_;
  std::vector<FileEntry> files_;
  std::mutex lock_;
};

// The tag of a program file name: "Kalmet.exe" gives "Kalmet_exe".
std::string LogTag(std::string_view programFileName);

// Creates the process-wide log for the program at programPath (its folder receives
// "Logs"; when that folder is not writable, the user's configuration folder serves).
void InitLog(const std::filesystem::path& programPath);
void InitLog(const std::filesystem::path& folder, std::string_view tag);
void ShutdownLog();
TFileLog* FileLog();

// The one logging function: writes one line when the log exists; never throws.
bool WriteLog(std::string_view text);

// Every line passed to WriteLog is also handed to the observer, when one is set
// (tests record the log this way; the CLI may echo errors).
void SetLogObserver(std::function<void(std::string_view)> observer);

}  // namespace kalmet
