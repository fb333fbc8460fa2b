// Records the lines written through WriteLog while it lives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/file_log.h"

namespace kalmet::testing {

class LogRecorder {
 public:
  LogRecorder() {
    SetLogObserver([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~LogRecorder() { SetLogObserver(nullptr); }
  LogRecorder(const LogRecorder&) = delete;
  LogRecorder& operator=(const LogRecorder&) = delete;

  bool Contains(std::string_view text) const {
    for (const auto& l : lines) {
      if (l.find(text) != std::string::npos) return true;
    }
    return false;
  }

  std::vector<std::string> lines;
};

}  // namespace kalmet::testing
