#include "gui/win32/file_watcher.h"

#include "gui/win32/wide.h"

namespace gui {

void FileWatcher::watch(const std::vector<std::string>& folders) {
  if (thread_.joinable() && folders == folders_) return;
  stop();
  folders_ = folders;
  std::vector<HANDLE> handles;
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stop_ == nullptr) return;
  handles.push_back(stop_);
  constexpr DWORD kChanges =
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
  for (const std::string& folder : folders) {
    if (handles.size() == MAXIMUM_WAIT_OBJECTS) break;  // more includes than that go unwatched
    HANDLE handle = FindFirstChangeNotificationW(widen(folder).c_str(), FALSE, kChanges);
    if (handle != INVALID_HANDLE_VALUE) handles.push_back(handle);
  }
  thread_ = std::thread([this, handles] { run(handles); });
}

void FileWatcher::run(std::vector<HANDLE> handles) {
  DWORD count = static_cast<DWORD>(handles.size());
  for (;;) {
    DWORD which = WaitForMultipleObjects(count, handles.data(), FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 || which >= WAIT_OBJECT_0 + count) break;  // stop, or a failure
    PostMessageW(window_, message_, 0, 0);
    if (!FindNextChangeNotification(handles[which - WAIT_OBJECT_0])) break;
  }
  for (size_t i = 1; i < handles.size(); ++i) FindCloseChangeNotification(handles[i]);
}

void FileWatcher::stop() {
  if (thread_.joinable()) {
    SetEvent(stop_);
    thread_.join();
  }
  if (stop_ != nullptr) CloseHandle(stop_);
  stop_ = nullptr;
  folders_.clear();
}

}  // namespace gui
