// The open alarm journal behind the exported functions: opening (with header repair
// and making the journal anew), the newest-first listing and one alarm's context.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "marnel/codec/ring_scan.h"

namespace kalmet::marnel {

// Codes passed to the notification routine.
enum Notice : int32_t {
  kNoticeHeaderNumber = 16489,  // header with a wrong record number
  kNoticeHeaderType = 16490,    // header of another journal type
  kNoticeRecordNotFound = 16495,
  kNoticeNoStartMark = 16496,
  kNoticeControlChar = 16497,  // control character inside a record
  kNoticeTooLong = 16498,      // record longer than allowed
  kNoticeCrcMismatch = 16499,
  kNoticeNoEndMark = 16500,
  kNoticeHeader1Invalid = 16501,
  kNoticeHeader2Invalid = 16502,
  kNoticeFirstUnreadable = 16503,   // first record of the listing unreadable
  kNoticeNextUnreadable = 16504,    // a later record of the listing unreadable
  kNoticeSearchUnreadable = 16505,  // record unreadable during a search
  kNoticeMadeAnew = 16512,          // journal made anew
};

class Journal {
 public:
  using Notifier = std::function<void(int32_t code)>;

  Journal() = default;
  explicit Journal(Notifier notify) : notify_(std::move(notify)) {}

  // Binds the caller's image; see _OpenJournal.
  bool Open(uint8_t* image, int32_t size);
  // See _GetJournalHeaders.
  bool Headers(char* buffer, int32_t size);
  // See _GetJournalRecordNumber.
  bool RecordContext(int32_t position, char* buffer, int32_t size);
  void Close();

  bool is_open() const { return open_; }

 private:
  void Notify(int32_t code) const {
    if (notify_) notify_(code);
  }
  void NotifyFailure(ReadFailure failure) const;
  // Reads a header and tells whether it belongs to an alarm journal; data gets its data.
  bool ReadHeader(int32_t position, uint32_t number, int32_t invalid_notice, std::string* data);
  JournalImage image() const { return JournalImage(image_, size_); }

  Notifier notify_;
  bool open_ = false;
  uint8_t* image_ = nullptr;
  int32_t size_ = 0;
  ScanResult scan_;
  std::vector<uint32_t> numbers_;  // record numbers in the order of the last listing
};

}  // namespace kalmet::marnel
