// Safe writing with POSIX calls: write beside, fsync, link the backup,
// rename over.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "gui/safe_write.h"

namespace gui {

namespace {

std::string errorText(int error) { return std::strerror(error); }

FileStamp stampOf(const struct stat& info) {
  return FileStamp{true, static_cast<uint64_t>(info.st_size),
                   static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// Writes bytes to a new file at temp with the given permissions and makes
// sure they are on the disk. On failure nothing is left at temp.
WriteResult writeTemporary(const std::string& temp, std::string_view bytes, mode_t mode) {
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return {false, errorText(errno)};
  size_t done = 0;
  int error = 0;
  while (done < bytes.size() && error == 0) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return {false, errorText(error)};
  }
  return {true, ""};
}

// The rename itself is on the disk only when the directory is.
void syncDirectory(const std::string& path) {
  std::string directory = parentDirectory(path);
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a symbolic link leads to, so that the link itself stays.
std::string resolved(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string target = real;
  ::free(real);
  return target;
}

// The old file as the backup: a hard link costs nothing and keeps the old
// bytes whatever happens next; where links are not possible, a copy.
bool keepBackup(const std::string& path, std::string* reason) {
  std::string backup = backupPath(path);
  ::unlink(backup.c_str());
  if (::link(path.c_str(), backup.c_str()) == 0) return true;
  std::string bytes;
  FileStamp stamp;
  if (!readFile(path, &bytes, &stamp, reason)) return false;
  struct stat info;
  mode_t mode = ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0600;
  WriteResult copy = writeTemporary(backup, bytes, mode);
  if (!copy.ok) *reason = copy.reason;
  return copy.ok;
}

}  // namespace

bool fileStamp(const std::string& path, FileStamp* stamp, std::string* reason) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) {
      *stamp = FileStamp{};
      return true;
    }
    *reason = errorText(errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    *reason = errorText(EISDIR);
    return false;
  }
  *stamp = stampOf(info);
  return true;
}

bool readFile(const std::string& path, std::string* bytes, FileStamp* stamp, std::string* reason) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *reason = errorText(errno);
    return false;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    *reason = errorText(S_ISDIR(info.st_mode) ? EISDIR : errno);
    ::close(fd);
    return false;
  }
  *stamp = stampOf(info);
  bytes->clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      *reason = errorText(errno);
      ::close(fd);
      return false;
    }
    bytes->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

WriteResult replaceFile(const std::string& path, const FileStamp& expected,
                        std::string_view bytes) {
  std::string target = resolved(path);
  struct stat info;
  if (::stat(target.c_str(), &info) != 0) {
    if (errno == ENOENT && expected.exists) return {false, kChangedSinceRead};
    if (errno != ENOENT) return {false, errorText(errno)};
  } else if (S_ISDIR(info.st_mode)) {
    return {false, errorText(EISDIR)};
  } else {
    if (!(stampOf(info) == expected)) return {false, kChangedSinceRead};
    // The permission bits say read-only even to root, whom access() lets by.
    if ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
      return {false, kReadOnlyFile};
  }
  bool existed = expected.exists;
  std::string temp = target + ".new";
  WriteResult written = writeTemporary(temp, bytes, existed ? (info.st_mode & 07777) : 0644);
  if (!written.ok) return written;
  std::string reason;
  if (existed) {
    FileStamp now;
    if (!fileStamp(target, &now, &reason) || !(now == expected)) {
      ::unlink(temp.c_str());
      return {false, reason.empty() ? kChangedSinceRead : reason};
    }
    if (!keepBackup(target, &reason)) {
      ::unlink(temp.c_str());
      return {false, reason};
    }
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    return {false, errorText(error)};
  }
  syncDirectory(target);
  return {true, ""};
}

WriteResult createFile(const std::string& path, std::string_view bytes, Existing existing) {
  std::string target = resolved(path);
  struct stat info;
  bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) return {false, errorText(EISDIR)};
  if (exists && existing == Existing::Refuse) return {false, kFileExists};
  std::string temp = target + ".new";
  WriteResult written = writeTemporary(temp, bytes, exists ? (info.st_mode & 07777) : 0644);
  if (!written.ok) return written;
  int result = 0;
  if (existing == Existing::Refuse) {
    // link() fails when the name was taken meanwhile; rename() would not.
    // Where a file system has no hard links, a last look has to do.
    result = ::link(temp.c_str(), target.c_str());
    int error = errno;
    if (result != 0 && error != EEXIST && ::stat(target.c_str(), &info) != 0 &&
        ::rename(temp.c_str(), target.c_str()) == 0) {
      syncDirectory(target);
      return {true, ""};
    }
    ::unlink(temp.c_str());
    if (result != 0) return {false, error == EEXIST ? kFileExists : errorText(error)};
  } else if (::rename(temp.c_str(), target.c_str()) != 0) {
    int error = errno;
    ::unlink(temp.c_str());
    return {false, errorText(error)};
  }
  syncDirectory(target);
  return {true, ""};
}

bool makeDirectories(const std::string& directory, std::string* reason) {
  for (size_t end = 1; end <= directory.size(); ++end) {
    if (end < directory.size() && directory[end] != '/') continue;
    std::string part = directory.substr(0, end);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      *reason = errorText(errno);
      return false;
    }
  }
  struct stat info;
  if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    *reason = errorText(ENOTDIR);
    return false;
  }
  return true;
}

}  // namespace gui
