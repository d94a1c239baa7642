// The settings pendcal takes from its environment, read strictly: a value
// that is not what it should be is refused with one warning rather than
// half-understood. Their names and defaults are in common/bounds.h.
#ifndef PENDRA_ENGINE_SETTINGS_H_
#define PENDRA_ENGINE_SETTINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

// The interpreter's heap limit for this run: PENDCAL_HEAP_MB, a whole
// number of MiB; without it, or when it is not a positive number, the
// default.
size_t heapLimitSetting();

// The DTSTAMP of this run: SOURCE_DATE_EPOCH when set to a number of
// seconds from 0 up to lastStamp, else the current time.
int64_t stampSetting(int64_t lastStamp);

}  // namespace engine

#endif  // PENDRA_ENGINE_SETTINGS_H_
