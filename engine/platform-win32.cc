#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "engine/platform.h"

namespace engine {

std::string fileDirectory(const char* name) {
  DWORD needed = GetFullPathNameA(name, 0, nullptr, nullptr);
  if (needed == 0) return std::string();
  std::string buffer(needed, '\0');
  char* filePart = nullptr;
  DWORD length = GetFullPathNameA(name, needed, buffer.data(), &filePart);
  if (length == 0 || length >= needed) return std::string();
  buffer.resize(filePart != nullptr ? static_cast<size_t>(filePart - buffer.data()) : length);
  return buffer;
}

const char* profileDirectory() {
  const char* p = std::getenv("USERPROFILE");
  return p != nullptr && p[0] != '\0' ? p : nullptr;
}

std::vector<SearchPlace> searchPlaces() {
  static const char* const kShown[] = {
      "%USERPROFILE%\\pendra.pnd", "%USERPROFILE%\\pendra\\pendra.pnd", "My Documents\\pendra.pnd",
      "My Documents\\Pendra\\pendra.pnd"};
  std::vector<SearchPlace> places;
  const char* profile = profileDirectory();
  for (int i = 0; i < 4; ++i)
    places.push_back(
        {kShown[i], profile != nullptr ? profile + std::string("/") + kProfilePlaces[i] : ""});
  return places;
}

std::FILE* openForReading(const char* name) {
  std::FILE* file = std::fopen(name, "rb");
  struct _stat64 info;
  if (file != nullptr && _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFDIR) != 0) {
    std::fclose(file);
    errno = EISDIR;
    return nullptr;
  }
  return file;
}

std::string fileIdentity(std::FILE* file) {
  BY_HANDLE_FILE_INFORMATION info;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
    return std::string();
  return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) +
         ":" + std::to_string(info.nFileIndexLow);
}

bool isAbsolutePath(const char* name) {
  return isPathSeparator(name[0]) || (name[0] != '\0' && name[1] == ':');
}

uint64_t physicalMemory() {
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys;
}

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

void setBinaryMode(std::FILE* file) {
  std::fflush(file);
  _setmode(_fileno(file), _O_BINARY);
}

}  // namespace engine
