#include <windows.h>

#include "gui/tray_check.h"
#include "gui/win32/wide.h"

namespace gui {

StateLock::StateLock(const std::string& statePath) {
  if (statePath.empty()) return;
  HANDLE file = CreateFileW(widen(statePath + ".lock").c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED start = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &start)) {
    CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
}

StateLock::~StateLock() {
  // Closing the handle drops the lock.
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace gui
