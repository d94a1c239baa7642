// The settings pendcal takes from its environment, read strictly: a value
// that is not what it should be is refused with one warning rather than
// half-understood. Their names and defaults are in common/bounds.h.
#ifndef PENDRA_ENGINE_SETTINGS_H_
#define PENDRA_ENGINE_SETTINGS_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

// A heap limit in bytes from PENDCAL_HEAP_MB's text (null or empty:
// unset): digits only, blanks (space, tab) around them allowed, at least 1;
// a larger number than the machine's memory (machineBytes; 0 when not
// known) is held to it. Anything else gives the default, and *warning the
// text to show; *warning is empty otherwise.
size_t parseHeapLimit(const char* text, uint64_t machineBytes, std::string* warning);

// The interpreter's heap limit for this run, from the environment; prints
// the warning, if any, on standard error.
size_t heapLimitSetting();

// The DTSTAMP of this run: SOURCE_DATE_EPOCH when set to a number of
// seconds from 0 up to lastStamp, else the current time.
int64_t stampSetting(int64_t lastStamp);

}  // namespace engine

#endif  // PENDRA_ENGINE_SETTINGS_H_
