#include "engine/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/bounds.h"
#include "engine/platform.h"

namespace engine {

size_t parseHeapLimit(const char* text, uint64_t machineBytes, std::string* warning) {
  warning->clear();
  // Set to nothing counts as unset, as for the profile variables.
  if (text == nullptr || *text == '\0') return pendra::kDefaultHeapBytes;
  uint64_t maxMb = (machineBytes != 0 ? machineBytes : SIZE_MAX) >> 20;
  if (maxMb > (SIZE_MAX >> 20)) maxMb = SIZE_MAX >> 20;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  uint64_t mb = 0;
  bool digits = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    digits = true;
    // Held at the machine's memory as it grows, so it cannot wrap.
    mb = std::min<uint64_t>(mb * 10 + static_cast<uint64_t>(*p - '0'), maxMb);
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (digits && *p == '\0' && mb >= 1) return static_cast<size_t>(mb) << 20;
  *warning = std::string("pendcal: warning: ") + pendra::kHeapEnv + "=\"" + text +
             "\" is not a whole number of MiB; the heap limit stays " +
             std::to_string(pendra::kDefaultHeapBytes >> 20) + " MiB";
  return pendra::kDefaultHeapBytes;
}

size_t heapLimitSetting() {
  std::string warning;
  size_t bytes = parseHeapLimit(std::getenv(pendra::kHeapEnv), physicalMemory(), &warning);
  if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  return bytes;
}

int64_t stampSetting(int64_t lastStamp) {
  if (const char* fixed = std::getenv(pendra::kStampEnv)) {
    char* end = nullptr;
    long long v = std::strtoll(fixed, &end, 10);
    if (*fixed != '\0' && *end == '\0' && v >= 0 && v <= lastStamp) return v;
  }
  return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace engine
