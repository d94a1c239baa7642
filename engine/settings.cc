#include "engine/settings.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/bounds.h"
#include "engine/platform.h"

namespace engine {

size_t heapLimitSetting() {
  const char* text = std::getenv(pendra::kHeapEnv);
  if (text == nullptr || *text == '\0') return pendra::kDefaultHeapBytes;
  char* end = nullptr;
  unsigned long long mb = std::strtoull(text, &end, 10);
  if (*end != '\0' || mb == 0 || text[0] == '-') return pendra::kDefaultHeapBytes;
  constexpr unsigned long long kMaxMb = SIZE_MAX >> 20;
  return static_cast<size_t>(mb < kMaxMb ? mb : kMaxMb) << 20;
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
