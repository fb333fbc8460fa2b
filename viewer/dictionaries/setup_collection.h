// The setup pages of a controller software version: the setup file "KSU_<major>.<minor>.xml"
// lists, page by page, the variables to show; values are taken while a session is parsed
// and rendered into rows of two cells that a grid displays.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/conversions.h"
#include "session/host.h"

namespace kalmet {

class TDictionary;
class TVocFormat;

// One element of the setup file.
struct TSetupRow {
  int32_t VariableId = 0;  // 0: a heading
  int32_t SubId = 0;
  std::string Caption;  // at most 255 characters
  bool HasValue = false;
  bool IsText = false;
  uint32_t Value = 0;  // up to four value bytes, lowest first
  std::string Text;    // the value of a T_STRING variable
};

// One written grid row: the two cells and the marker (1 for a heading).
struct TSetupGridRow {
  std::string Name;
  std::string Value;
  int Marker = 0;
};

class TSetup {
 public:
  static constexpr const char* kNameHeader = "Название переменной";
  static constexpr const char* kValueHeader = "Значение";
  static constexpr size_t kMaxCaption = 255;

  // slot: the tab sheet the page uses, 1 to 12.
  TSetup(std::string title, int slot);

  const std::string& Title() const { return title_; }
  int Slot() const { return slot_; }
  const std::vector<TSetupRow>& Rows() const { return rows_; }
  // The grid's rows below the header; after GridClear one empty row.
  const std::vector<TSetupGridRow>& Grid() const { return grid_; }

  void AddIndex(int32_t variableId, int32_t subId, const std::string& caption);
  bool Parsing(int32_t variableId, int32_t subId, const TData& value,
               const TDictionary* dictionary);
  void GridFill(const TDictionary* dictionary, const TVocFormat* formats,
                const std::string& softwareVersion, const THost* host);
  void GridClear();
  void ClearValues();

 private:
  std::string title_;
  int slot_;
  std::vector<TSetupRow> rows_;
  std::vector<TSetupGridRow> grid_;
};

class TSetupCollection {
 public:
  static constexpr int kMaxPages = 12;

  // dictPath: the dictionary folder ("<program folder>/Dictionary/").
  TSetupCollection(std::string dictPath, const TDictionary* dictionary, const TVocFormat* formats,
                   const THost* host);
  TSetupCollection(const TSetupCollection&) = delete;
  TSetupCollection& operator=(const TSetupCollection&) = delete;

  void SetVersion(int32_t major, int32_t minor);
  // Offers a variable's value to the pages, last to first; true when one took it.
  bool Parsing(int32_t variableId, int32_t subId, const TData& value);
  void FillGrids(const std::string& softwareVersion);
  // The setup file for the version asked for last, or empty (logged).
  std::string GetFileName() const;
  void LoadXML();
  void ClearValues();
  void Clear();

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TSetup* Page(int i) const {
    return i >= 0 && i < PageCount() ? pages_[static_cast<size_t>(i)].get() : nullptr;
  }
  // The placeholder page is shown while no setup file is loaded.
  bool PlaceholderVisible() const { return pages_.empty(); }
  const std::string& FileName() const { return fileName_; }
  int32_t VersionMajor() const { return major_; }
  int32_t VersionMinor() const { return minor_; }

  // Called after the pages were rebuilt or refilled, so that a front end redraws them.
  std::function<void()> OnChanged;

 private:
  void Changed() const {
    if (OnChanged) OnChanged();
  }

  std::string dictPath_;
  const TDictionary* dictionary_;
  const TVocFormat* formats_;
  const THost* host_;
  std::vector<std::unique_ptr<TSetup>> pages_;
  int32_t major_ = -1;
  int32_t minor_ = -1;
  std::string fileName_;
};

}  // namespace kalmet
