// Safe writing with Win32 calls: write beside, FlushFileBuffers, copy the
// backup, MoveFileExW with MOVEFILE_WRITE_THROUGH over the old file.
#include <windows.h>

#include <algorithm>

#include "gui/safe_write.h"
#include "gui/win32/wide.h"

namespace gui {

namespace {

FileStamp stampOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
  return FileStamp{true, (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                   static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                        data.ftLastWriteTime.dwLowDateTime)};
}

bool attributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA* data) {
  return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, data) != 0;
}

bool missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Writes bytes to temp and makes sure they are on the disk. On failure
// nothing is left at temp.
WriteResult writeTemporary(const std::wstring& temp, std::string_view bytes) {
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {false, systemErrorText(GetLastError())};
  DWORD error = 0;
  size_t done = 0;
  while (done < bytes.size() && error == 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
      error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    done += written;
  }
  if (error == 0 && !FlushFileBuffers(file)) error = GetLastError();
  CloseHandle(file);
  if (error != 0) {
    DeleteFileW(temp.c_str());
    return {false, systemErrorText(error)};
  }
  return {true, ""};
}

WriteResult moveOver(const std::wstring& temp, const std::wstring& target) {
  if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return {true, ""};
  DWORD error = GetLastError();
  DeleteFileW(temp.c_str());
  return {false, systemErrorText(error)};
}

}  // namespace

bool fileStamp(const std::string& path, FileStamp* stamp, std::string* reason) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!attributes(widen(path), &data)) {
    DWORD error = GetLastError();
    if (missing(error)) {
      *stamp = FileStamp{};
      return true;
    }
    *reason = systemErrorText(error);
    return false;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *reason = systemErrorText(ERROR_DIRECTORY);
    return false;
  }
  *stamp = stampOf(data);
  return true;
}

bool readFile(const std::string& path, std::string* bytes, FileStamp* stamp, std::string* reason) {
  std::wstring wide = widen(path);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = systemErrorText(GetLastError());
    return false;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!attributes(wide, &data)) {
    *reason = systemErrorText(GetLastError());
    CloseHandle(file);
    return false;
  }
  *stamp = stampOf(data);
  bytes->clear();
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
      *reason = systemErrorText(GetLastError());
      CloseHandle(file);
      return false;
    }
    if (n == 0) break;
    bytes->append(buffer, n);
  }
  CloseHandle(file);
  return true;
}

WriteResult replaceFile(const std::string& path, const FileStamp& expected,
                        std::string_view bytes) {
  std::wstring target = widen(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!attributes(target, &data)) {
    DWORD error = GetLastError();
    if (!missing(error)) return {false, systemErrorText(error)};
    if (expected.exists) return {false, kChangedSinceRead};
  } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return {false, systemErrorText(ERROR_DIRECTORY)};
  } else {
    if (!(stampOf(data) == expected)) return {false, kChangedSinceRead};
    if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return {false, kReadOnlyFile};
  }
  std::wstring temp = target + L".new";
  WriteResult written = writeTemporary(temp, bytes);
  if (!written.ok) return written;
  if (expected.exists) {
    if (!attributes(target, &data) || !(stampOf(data) == expected)) {
      DeleteFileW(temp.c_str());
      return {false, kChangedSinceRead};
    }
    if (!CopyFileW(target.c_str(), widen(backupPath(path)).c_str(), FALSE)) {
      DWORD error = GetLastError();
      DeleteFileW(temp.c_str());
      return {false, systemErrorText(error)};
    }
  }
  return moveOver(temp, target);
}

WriteResult createFile(const std::string& path, std::string_view bytes, Existing existing) {
  std::wstring target = widen(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  bool exists = attributes(target, &data);
  if (exists && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return {false, systemErrorText(ERROR_DIRECTORY)};
  if (exists && existing == Existing::Refuse) return {false, kFileExists};
  std::wstring temp = target + L".new";
  WriteResult written = writeTemporary(temp, bytes);
  if (!written.ok) return written;
  if (existing == Existing::Refuse) {
    // Without MOVEFILE_REPLACE_EXISTING a name taken meanwhile is kept.
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return {true, ""};
    DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    bool taken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    return {false, taken ? kFileExists : systemErrorText(error)};
  }
  return moveOver(temp, target);
}

bool makeDirectories(const std::string& directory, std::string* reason) {
  std::wstring wide = widen(directory);
  for (size_t end = 1; end <= wide.size(); ++end) {
    if (end < wide.size() && wide[end] != L'\\' && wide[end] != L'/') continue;
    std::wstring part = wide.substr(0, end);
    if (part.size() == 2 && part[1] == L':') continue;  // the drive
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
        GetLastError() != ERROR_ACCESS_DENIED) {
      *reason = systemErrorText(GetLastError());
      return false;
    }
  }
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *reason = systemErrorText(ERROR_PATH_NOT_FOUND);
    return false;
  }
  return true;
}

}  // namespace gui
