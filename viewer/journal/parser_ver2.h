// The protocol-2 parser: joins the pieces of the controller's journal image named by the
// descriptor variable, has the journal library read the records out of it, orders them
// by label across the wrap of the controller's record counter and hands each one to the
// version-2 decoder. Keeps the data of the diagnostic pages "Unpacked" and "Заворот".
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "journal/journal2.h"
#include "session/conversions.h"

namespace kalmet {

class SessionContext;
class TTrelbo;
struct TDictionaries;

// One record as the library delivered it.
struct TJournalData {
  uint32_t Label[2] = {0, 0};  // low word (record counter), high word (seconds since 1970)
  uint16_t Code = 0;
  TData Data;
  uint16_t Len = 0;
};

class TParserVer2 {
 public:
  // The variable that names the pieces of the journal image.
  static constexpr int32_t kDescriptorId = 16380;
  // The library takes at most this many blocks of at most 65535 bytes each.
  static constexpr size_t kMaxBlocks = 255;
  static constexpr size_t kMaxBlockLength = 65535;
  static constexpr std::array<const char*, 6> kUnpackedColumns = {
      "N п/п", "Label", "DateTime", "Code", "Size", "Array of data"};

  TParserVer2(TDictionaries& dicts, TTrelbo& trelbo);
  ~TParserVer2();

  // Decodes the journal of a protocol-2 session; always true.
  bool Parsing(SessionContext& ctx);

  // The steps of Parsing; each is true on success.
  void Clear();
  bool GetDescriptor(SessionContext& ctx);
  bool LoadJournal(SessionContext& ctx);
  bool UnpackJournal(SessionContext& ctx);
  void SortRecords();
  bool CorrectLabel();
  bool ParseJournal(SessionContext& ctx);
  // Fills the missing (infinite) channel values of the slGraph samples.
  static bool FillValues(SessionContext& ctx);

  // The descriptor list: "%5.5u" of the element's array index and the piece's variable.
  const std::vector<std::pair<std::string, int32_t>>& Descriptors() const { return descriptors_; }
  // The image pieces in descriptor order (empty for a piece that was not found).
  const std::vector<TData>& Blocks() const { return blocks_; }

  // The record list, in its current order.
  int RecordCount() const { return static_cast<int>(records_.size()); }
  std::string RecordKeyAt(int i) const;
  const TJournalData* Record(int i) const;

  // Page "Unpacked": one row per record in the order the library delivered them, with
  // the columns kUnpackedColumns.
  int UnpackedCount() const { return static_cast<int>(unpacked_.size()); }
  std::array<std::string, 6> UnpackedRow(int i) const;
  // Page "Заворот", filled when the record counter wrapped: per position, the key and
  // label before the correction, after re-sorting, and after rebasing the labels.
  int WrapCount() const { return static_cast<int>(wrap_.size()); }
  std::array<std::string, 6> WrapRow(int i) const;

 private:
  struct TRecord {
    uint64_t key;  // the key's number: the label's low word, plus 2^32 before a wrap
    std::unique_ptr<TJournalData> data;
  };
  struct TUnpacked {
    uint32_t label[2];
    const TJournalData* record;
  };
  struct TWrapRow {
    uint64_t key[3];
    uint32_t label[3];
  };

  void AddDescriptor(std::string key, int32_t variable);

  TDictionaries& dicts_;
  TTrelbo& trelbo_;
  TJournal2 journal2_;
  std::vector<std::pair<std::string, int32_t>> descriptors_;
  std::vector<TData> blocks_;
  std::vector<TRecord> records_;
  std::vector<TUnpacked> unpacked_;
  std::vector<TWrapRow> wrap_;
};

}  // namespace kalmet
