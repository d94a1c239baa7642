// Which entries to ask about a day. Each entry's sieve names the months,
// days of the month and weekdays it can concern; the index lists, for every
// month and day of the month, the entries whose sieves admit it (with their
// weekdays), so that a day costs work in proportion to its candidates
// rather than to the whole file.
#ifndef PENDRA_ENGINE_SCAN_INDEX_H_
#define PENDRA_ENGINE_SCAN_INDEX_H_

#include <algorithm>
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

  // Calls f(entry, matched) for every entry whose specifier matches day, in
  // file order, with the day the match succeeded on (what the specifier's
  // match would leave in matched()). Entries before the from-th (in file
  // order) are passed over unasked: a day resumed after a failing entry asks
  // nobody twice.
  // REQUIRES: day is a real date with its weekday.
  template <class F>
  void forEachMatch(const pendra::Date& day, F&& f, uint32_t from = 0) const {
    int64_t number = day.dayNumber();
    int s = slot(day.month, day.day);
    const Candidate* end = candidates_.data() + first_[s + 1];
    const Candidate* c = candidates_.data() + first_[s];
    if (from > 0)
      c = std::lower_bound(c, end, from,
                           [](const Candidate& x, uint32_t v) { return x.entry < v; });
    for (; c != end; ++c) {
      if (((c->weekdays >> day.weekday) & 1u) == 0) continue;
      Entry& e = entries_[c->entry];
      if (day.year < e.firstYear || day.year > e.lastYear) continue;
      if (c->exact) {
        f(*e.reminder, day);
      } else if (number >= e.settledFrom && number <= e.settledTo) {
        if (number >= e.firstMatch) f(*e.reminder, e.matched);
      } else {
        asking_ = e.reminder;
        bool matches = e.specifier->match(day, number);
        if (e.specifier->settledAhead(number, &e.settledTo, &e.firstMatch, &e.matched)) {
          e.settledFrom = number;
        } else {
          e.settledTo = 0;
        }
        if (matches) f(*e.reminder, e.specifier->matched());
      }
    }
  }

  // The entry whose specifier forEachMatch asked last: the one at fault
  // when a Scheme procedure fails during the scan.
  const Reminder* asking() const { return asking_; }
  // The entry is passed over from now on.
  void leaveOut(const Reminder* reminder);
  // The place of an entry in file order, for forEachMatch's from.
  uint32_t position(const Reminder* reminder) const;

 private:
  // What the scan needs of an entry. A look-ahead's answer, once settled
  // for a run of days, is kept here, next to the other entries', so that
  // those days ask nothing of the specifier.
  struct Entry {
    Specifier* specifier = nullptr;
    const Reminder* reminder = nullptr;
    uint32_t firstYear = 0, lastYear = 0;    // of the sieve
    int64_t settledFrom = 1, settledTo = 0;  // the run of days settled
    int64_t firstMatch = 0;                  // from here on in it, a match
    pendra::Date matched;                    // on that date
  };
  // One entry in one slot; small, since the entries that concern every day
  // are in every slot.
  struct Candidate {
    uint16_t entry;    // index in entries_
    uint8_t weekdays;  // of the sieve
    bool exact;        // the sieve alone decides
  };
  static constexpr int kSlots = 12 * 31;
  static int slot(int month, int day) { return (month - 1) * 31 + day - 1; }

  // The candidates of slot s are candidates_[first_[s]] up to first_[s + 1],
  // in file order.
  mutable std::vector<Entry> entries_;
  std::vector<uint32_t> first_;
  std::vector<Candidate> candidates_;
  mutable const Reminder* asking_ = nullptr;
};

}  // namespace engine

#endif  // PENDRA_ENGINE_SCAN_INDEX_H_
