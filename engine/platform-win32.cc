#include <fcntl.h>
#include <io.h>
#include <windows.h>

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

const char* profileDirectory() { return std::getenv("USERPROFILE"); }

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

void setBinaryMode(std::FILE* file) {
  std::fflush(file);
  _setmode(_fileno(file), _O_BINARY);
}

}  // namespace engine
