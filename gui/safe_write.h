// Writing a user's files without ever losing one: a replace that refuses a
// file changed since it was read and keeps the old one as a backup, and a
// create that writes beside the target and renames. Nothing is left half
// written; a failure leaves the file as it was and says why.
// safe_write-posix.cc and safe_write-win32.cc implement it.
#ifndef PENDRA_GUI_SAFE_WRITE_H_
#define PENDRA_GUI_SAFE_WRITE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace gui {

// What a file looked like when it was read.
struct FileStamp {
  bool exists = false;
  uint64_t size = 0;
  int64_t modified = 0;  // modification time, nanoseconds (POSIX) or 100 ns (Windows)
  bool operator==(const FileStamp& other) const = default;
};

// The outcome of a write: ok, or the reason in words.
struct WriteResult {
  bool ok = false;
  std::string reason;  // empty when ok: "No space left on device"
};

// The messages of the refusals (other reasons are the system's own texts).
inline constexpr char kChangedSinceRead[] = "The file changed on disk since it was read";
inline constexpr char kReadOnlyFile[] = "The file is read-only";
inline constexpr char kFileExists[] = "The file already exists";

// The file's stamp; exists false when there is no file. False (with the
// reason) when it cannot be examined for another reason, or is a directory.
bool fileStamp(const std::string& path, FileStamp* stamp, std::string* reason);

// Reads a whole file in binary with its stamp taken before the read.
bool readFile(const std::string& path, std::string* bytes, FileStamp* stamp, std::string* reason);

// The backup's name: path followed by "~".
std::string backupPath(const std::string& path);

// Replaces the file at path (UTF-8) with bytes: refuses when its stamp is
// not expected (kChangedSinceRead) or it is read-only (kReadOnlyFile);
// writes path + ".new" beside it, flushes it to the disk, copies the old
// file to backupPath(path) (replacing an older backup), then renames the
// new file over the old one. Symbolic links are followed: the link stays.
WriteResult replaceFile(const std::string& path, const FileStamp& expected, std::string_view bytes);

// Whether createFile may replace a file that is there.
enum class Existing { Refuse, Replace };
// Writes a file whole: a temporary beside it, flushed, then renamed over
// path. With Existing::Refuse an existing file is left alone (kFileExists).
// The directory must exist (see makeDirectories).
WriteResult createFile(const std::string& path, std::string_view bytes,
                       Existing existing = Existing::Replace);

// Makes the directory and the ones above it that are missing.
bool makeDirectories(const std::string& directory, std::string* reason);

// The directory part of a path, without its final separator ("" for none).
std::string parentDirectory(const std::string& path);
// The file-name part: "pendra.pnd" for "/home/a/pendra.pnd" (both separators
// on Windows).
std::string fileNameOf(const std::string& path);

}  // namespace gui

#endif  // PENDRA_GUI_SAFE_WRITE_H_
