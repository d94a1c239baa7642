#include <windows.h>

#include "common/date.h"

namespace pendra {

Date today() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return Date(static_cast<uint8_t>(st.wDay), static_cast<uint8_t>(st.wMonth), st.wYear);
}

}  // namespace pendra
