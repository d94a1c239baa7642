#include "engine/output.h"

#include <cerrno>
#include <cstring>

#include "scheme/interpreter.h"

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

bool StdoutPort::capturing() const { return capture_ != nullptr && in_->reportingError(); }

void StdoutPort::write(const char* bytes, size_t count) {
  if (capturing()) {
    capture_->append(bytes, count);
    return;
  }
  if (count > kSize - used_) {
    flush();
    if (count > kSize) {
      if (file_ == stderr && count > 0) midLine_ = bytes[count - 1] != '\n';
      writeBytes(file_, bytes, count);
      return;
    }
  }
  std::memcpy(buffer_ + used_, bytes, count);
  used_ += count;
}

void StdoutPort::flush() {
  if (used_ > 0) {
    if (file_ == stderr) midLine_ = buffer_[used_ - 1] != '\n';
    writeBytes(file_, buffer_, used_);
  }
  used_ = 0;
}

void StdoutPort::endLineBefore(std::FILE* out) {
  flush();
  if (out != stderr) return;
  if (midLine_) std::fputc('\n', out);
  midLine_ = false;
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
