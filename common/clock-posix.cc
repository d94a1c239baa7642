#include <ctime>

#include "common/date.h"

namespace pendra {

Date today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date(static_cast<uint8_t>(local.tm_mday), static_cast<uint8_t>(local.tm_mon + 1),
              static_cast<uint32_t>(local.tm_year + 1900));
}

}  // namespace pendra
