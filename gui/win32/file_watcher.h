// Watches the folders of the reminder file and its includes on a thread of
// its own and posts a message to a window at every change in them. Folders
// rather than files, so that an editor that saves by renaming a new file
// over the old one is seen too; the window checks which file changed.
#ifndef PENDRA_GUI_WIN32_FILE_WATCHER_H_
#define PENDRA_GUI_WIN32_FILE_WATCHER_H_

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace gui {

class FileWatcher {
 public:
  FileWatcher(HWND window, UINT message) : window_(window), message_(message) {}
  ~FileWatcher() { stop(); }
  FileWatcher(const FileWatcher&) = delete;
  FileWatcher& operator=(const FileWatcher&) = delete;

  // Watches these folders (UTF-8) from now on, in place of the ones before;
  // nothing is done when they are the same.
  void watch(const std::vector<std::string>& folders);
  void stop();

 private:
  void run(std::vector<HANDLE> handles);

  HWND window_;
  UINT message_;
  std::vector<std::string> folders_;
  HANDLE stop_ = nullptr;
  std::thread thread_;
};

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_FILE_WATCHER_H_
