// Which entries to ask about a day. Each entry's sieve names the weekdays,
// months and days of the month it can concern; the index lists, for every
// combination, the entries whose sieves admit it, so that a day costs work
// in proportion to its candidates rather than to the whole file.
#ifndef PENDRA_ENGINE_SCAN_INDEX_H_
#define PENDRA_ENGINE_SCAN_INDEX_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "common/date.h"
#include "engine/reminder.h"
#include "engine/specifier.h"

namespace engine {

class ScanIndex {
 public:
  // REQUIRES: at most 65536 entries; they outlive the index.
  explicit ScanIndex(const std::vector<std::unique_ptr<Reminder>>& entries);

  // Calls f(entry) for every entry whose specifier matches day, in file
  // order; the specifier's matched() is current during the call.
  // REQUIRES: day is a real date with its weekday.
  template <class F>
  void forEachMatch(const pendra::Date& day, F&& f) const {
    for (uint16_t i : candidates_[slot(day.weekday, day.month, day.day)]) {
      const Sieve& s = sieves_[i];
      if (day.year < s.firstYear || day.year > s.lastYear) continue;
      if (entries_[i]->specifier->match(day)) f(*entries_[i]);
    }
  }

 private:
  static int slot(int weekday, int month, int day) {
    return ((weekday - 1) * 12 + month - 1) * 31 + day - 1;
  }

  const std::vector<std::unique_ptr<Reminder>>& entries_;
  std::vector<Sieve> sieves_;
  std::vector<std::vector<uint16_t>> candidates_;  // by slot, in file order
};

}  // namespace engine

#endif  // PENDRA_ENGINE_SCAN_INDEX_H_
