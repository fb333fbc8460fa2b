// Walking the record ring: finding the oldest and newest record and visiting records in
// ring order. Every walk is bounded by the ring's length, whatever the image holds.
#pragma once

#include <cstdint>
#include <string>

#include "marnel/codec/journal_image.h"

namespace kalmet::marnel {

// Where the journal's records lie.
struct ScanResult {
  bool ok = true;     // false: a ring record carries a header's number
  int32_t count = 0;  // records seen by the walk
  int32_t oldest_position = 0;
  int32_t newest_position = 0;
  int32_t newest_end = 0;  // position after the newest record
  uint32_t oldest_number = 0;
  uint32_t newest_number = 0;
};

// Visits the valid records from the ring's start in ring order (data only checked).
// A byte that does not start a valid record is skipped; a record that runs past the
// ring's end is the last one of the walk, and one more record is tried where the walk
// stops. visit(const Record&) returns false to stop; failed(position, ReadFailure) is
// told about each start mark that does not begin a valid record.
template <typename Visit, typename Failed>
void WalkRing(const JournalImage& image, Visit&& visit, Failed&& failed) {
  const uint32_t max_data = image.max_record_data();
  auto try_read = [&](int32_t p, Record* record) {
    if (image.at(p) != kStartMark) return false;
    const ReadFailure failure = image.Read(p, max_data, record, nullptr);
    if (failure != kReadOk) failed(p, failure);
    return failure == kReadOk;
  };
  const int32_t last = image.ring_end() - 1;
  int32_t p = image.ring_start();
  Record record;
  while (p < last) {
    if (!try_read(p, &record)) {
      p = image.Next(p);
      continue;
    }
    if (!visit(record)) return;
    p = record.end;
    if (record.wrapped) break;
  }
  if (try_read(p, &record)) visit(record);
}

// Finds the oldest and the newest record. Record numbers climb by one and restart at 1
// after 0xFFFFFFFE; the first fall in numbers along the ring marks the oldest record,
// and a larger fall later on moves it.
ScanResult ScanRing(const JournalImage& image);

// Steps from one record number to the next along the ring, in 32-bit wrap-around
// arithmetic; 0xFFFFFFFE to 1 counts as 1.
int64_t NumberStep(uint32_t previous, uint32_t current);

// Visits the records from the oldest to the newest found by scan, reading their data.
// visit(const Record&, const std::string& data); failed(position, ReadFailure, first)
// is told about each start mark that does not begin a valid record, and about the
// oldest position when no record reads there (first is true then).
template <typename Visit, typename Failed>
void WalkOldestToNewest(const JournalImage& image, const ScanResult& scan, Visit&& visit,
                        Failed&& failed) {
  if (scan.count == 0) return;
  const uint32_t max_data = image.max_record_data();
  int64_t budget = image.ring_length();
  int32_t p = scan.oldest_position;
  bool first = true;
  Record record;
  std::string data;
  while (budget > 0) {
    const ReadFailure failure = image.Read(p, max_data, &record, &data);
    if (failure == kReadOk) {
      visit(static_cast<const Record&>(record), static_cast<const std::string&>(data));
      if (record.position == scan.newest_position) return;
      budget -= static_cast<int64_t>(record.length) + kFrameLength;
      p = record.end;
    } else {
      if (first || failure != kNoStartMark) failed(p, failure, first);
      --budget;
      p = image.Next(p);
    }
    first = false;
  }
}

}  // namespace kalmet::marnel
