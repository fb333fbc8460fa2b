#include "marnel/codec/ring_scan.h"

#include <cstdlib>

namespace kalmet::marnel {

int64_t NumberStep(uint32_t previous, uint32_t current) {
  if (previous == kLastRecordNumber && current == 1) return 1;
  return static_cast<int32_t>(current - previous);
}

ScanResult ScanRing(const JournalImage& image) {
  ScanResult scan;
  scan.oldest_position = scan.newest_position = scan.newest_end = image.ring_start();
  bool fallen = false;
  int64_t drop = 0;
  uint32_t previous = 0;
  auto make_oldest = [&](const Record& r) {
    scan.oldest_position = r.position;
    scan.oldest_number = r.number;
  };
  auto make_newest = [&](const Record& r) {
    scan.newest_position = r.position;
    scan.newest_end = r.end;
    scan.newest_number = r.number;
  };
  WalkRing(
      image,
      [&](const Record& r) {
        if (r.number == kFirstHeaderNumber || r.number == kSecondHeaderNumber) {
          scan.ok = false;
          return false;
        }
        if (scan.count++ == 0) {
          make_oldest(r);
          make_newest(r);
        } else {
          const int64_t step = NumberStep(previous, r.number);
          if (!fallen) {
            if (step >= 0) {
              make_newest(r);
            } else {
              make_oldest(r);
              drop = step;
              fallen = true;
            }
          } else if (step == drop) {
            make_newest(r);
          } else if (std::llabs(step) > std::llabs(drop)) {
            make_oldest(r);
            drop = step;
          }
        }
        previous = r.number;
        return true;
      },
      [](int32_t, ReadFailure) {});
  return scan;
}

}  // namespace kalmet::marnel
