#include "engine/scan_index.h"

namespace engine {

ScanIndex::ScanIndex(const std::vector<std::unique_ptr<Reminder>>& entries)
    : entries_(entries), candidates_(7 * 12 * 31) {
  sieves_.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Sieve s = entries[i]->specifier->sieve();
    sieves_.push_back(s);
    for (int w = 1; w <= 7; ++w) {
      if (((s.weekdays >> w) & 1u) == 0) continue;
      for (int m = 1; m <= 12; ++m) {
        if (((s.months >> m) & 1u) == 0) continue;
        for (int d = 1; d <= 31; ++d) {
          if (((s.days >> d) & 1u) != 0)
            candidates_[slot(w, m, d)].push_back(static_cast<uint16_t>(i));
        }
      }
    }
  }
}

}  // namespace engine
