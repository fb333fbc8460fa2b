// Writes small dictionary files the way the shipped ones are stored: Windows-1251 with
// the XML declaration, from UTF-8 text in the test.
#pragma once

#include <string>

#include "session/cp1251.h"
#include "session/host.h"
#include "session/tests/log_recorder.h"
#include "session/tests/temp_dir.h"

namespace kalmet::testing {

inline std::string WriteDict(const TempDir& dir, const std::string& name, const std::string& body) {
  return dir.Write(name,
                   Utf8ToCp1251("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n" + body));
}

// A host that records the message boxes.
struct ReportRecorder {
  struct Box {
    std::string text, caption;
  };
  std::vector<Box> boxes;
  THost host;
  ReportRecorder() {
    host.ReportToUser = [this](const std::string& t, const std::string& c) {
      boxes.push_back({t, c});
    };
  }
};

}  // namespace kalmet::testing

namespace kalmet {
// The helpers under short names, for the dictionary tests.
using testing::LogRecorder;
using testing::ReportRecorder;
using testing::TempDir;
using testing::WriteDict;
}  // namespace kalmet
