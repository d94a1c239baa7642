#include "engine/output.h"

#include <cerrno>
#include <cstring>

namespace engine {

namespace {
// The errno of the first failed write to standard output; 0 while none failed.
int gWriteError = 0;

void noteFailure(std::FILE* file) {
  if (file == stdout && gWriteError == 0) gWriteError = errno != 0 ? errno : EIO;
}
}  // namespace

bool writeBytes(std::FILE* file, const char* bytes, size_t count) {
  if (count == 0) return true;
  errno = 0;
  if (std::fwrite(bytes, 1, count, file) == count) return true;
  noteFailure(file);
  return false;
}

void StdoutPort::putText(const char* text) { write(text, std::strlen(text)); }

void StdoutPort::write(const char* bytes, size_t count) {
  if (count > kSize - used_) {
    flush();
    if (count > kSize) {
      writeBytes(file_, bytes, count);
      return;
    }
  }
  std::memcpy(buffer_ + used_, bytes, count);
  used_ += count;
}

void StdoutPort::flush() {
  if (used_ > 0) writeBytes(file_, buffer_, used_);
  used_ = 0;
}

int finishOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) != 0) noteFailure(stdout);
  // A stream with a sticky error lost bytes even when the last flush passed.
  if (std::ferror(stdout) && gWriteError == 0) gWriteError = EIO;
  errno = 0;
  if (std::fclose(stdout) != 0) noteFailure(stdout);
  if (gWriteError == 0) return status;
  std::fprintf(stderr, "pendcal: cannot write output: %s\n", std::strerror(gWriteError));
  std::fflush(stderr);
  return 1;
}

}  // namespace engine
