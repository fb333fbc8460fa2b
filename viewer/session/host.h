// How the engine reaches its front end: the window implements these with
// processEvents, the status panel and message boxes; the CLI with no-ops and stderr.
#pragma once

#include <functional>
#include <string>

namespace kalmet {

struct THost {
  // Lets the front end process pending messages during long loops.
  std::function<void()> ProcessMessages;
  // Shows a text in the status panel (empty clears it).
  std::function<void(const std::string&)> SetStatus;
  // Sets the main window's title.
  std::function<void(const std::string&)> SetTitle;
  // Reports a message to the user (a message box in the window).
  std::function<void(const std::string& text, const std::string& caption)> ReportToUser;

  void Pump() const {
    if (ProcessMessages) ProcessMessages();
  }
  void Status(const std::string& text) const {
    if (SetStatus) SetStatus(text);
  }
  void Title(const std::string& text) const {
    if (SetTitle) SetTitle(text);
  }
  void Report(const std::string& text, const std::string& caption) const {
    if (ReportToUser) ReportToUser(text, caption);
  }
};

}  // namespace kalmet
