#include "engine/scan_index.h"

namespace engine {

ScanIndex::ScanIndex(const std::vector<std::unique_ptr<Reminder>>& entries)
    : first_(kSlots + 1, 0) {
  std::vector<Sieve> sieves;
  sieves.reserve(entries.size());
  for (const auto& entry : entries) sieves.push_back(entry->specifier->sieve());

  // Two passes: count each slot's candidates, then place them.
  auto forEachSlot = [&](const Sieve& s, auto&& visit) {
    if (s.weekdays == 0) return;
    for (int m = 1; m <= 12; ++m) {
      if (((s.months >> m) & 1u) == 0) continue;
      for (int d = 1; d <= 31; ++d) {
        if (((s.days >> d) & 1u) != 0) visit(slot(m, d));
      }
    }
  };
  for (const Sieve& s : sieves) forEachSlot(s, [&](int slot) { ++first_[slot + 1]; });
  for (int s = 0; s < kSlots; ++s) first_[s + 1] += first_[s];
  candidates_.resize(first_[kSlots]);
  std::vector<uint32_t> next(first_.begin(), first_.end() - 1);
  entries_.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Specifier* specifier = entries[i]->specifier.get();
    const Sieve& s = sieves[i];
    Entry e;
    e.specifier = specifier;
    e.reminder = entries[i].get();
    e.firstYear = s.firstYear;
    e.lastYear = s.lastYear;
    entries_.push_back(e);
    Candidate c{static_cast<uint16_t>(i), s.weekdays, specifier->sieveIsExact()};
    forEachSlot(s, [&](int slot) { candidates_[next[slot]++] = c; });
  }
}

void ScanIndex::leaveOut(const Reminder* reminder) {
  for (Entry& e : entries_) {
    if (e.reminder != reminder) continue;
    // No year passes the sieve's year range now.
    e.firstYear = UINT32_MAX;
    e.lastYear = 0;
  }
}

uint32_t ScanIndex::position(const Reminder* reminder) const {
  uint32_t i = 0;
  while (i < entries_.size() && entries_[i].reminder != reminder) ++i;
  return i;
}

}  // namespace engine
