// Errors that leave the session readers on purpose, for the caller to show.
#pragma once

#include <stdexcept>

namespace kalmet {

// A file that cannot be opened or a damaged container: the open-session method ends
// and the user sees the message in the standard error box.
class TSessionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A missing outside library: the message was shown to the user already (Host.Report)
// and the program ends.
class TFatalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kalmet
