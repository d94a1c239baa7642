#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "gui/tray_check.h"

namespace gui {

StateLock::StateLock(const std::string& statePath) {
  if (statePath.empty()) return;
  int fd = open((statePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  int status;
  while ((status = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (status != 0) {
    close(fd);
    return;
  }
  handle_ = fd;
}

StateLock::~StateLock() {
  if (handle_ != kNone) close(static_cast<int>(handle_));
}

}  // namespace gui
