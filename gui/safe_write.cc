// The parts of safe writing that are the same on every system.
#include "gui/safe_write.h"

namespace gui {

namespace {

bool isSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

size_t lastSeparator(const std::string& path) {
  for (size_t i = path.size(); i > 0; --i)
    if (isSeparator(path[i - 1])) return i - 1;
  return std::string::npos;
}

}  // namespace

std::string backupPath(const std::string& path) { return path + "~"; }

std::string parentDirectory(const std::string& path) {
  size_t separator = lastSeparator(path);
  if (separator == std::string::npos) return std::string();
  // The root keeps its separator: "/" and "C:\".
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

std::string fileNameOf(const std::string& path) {
  size_t separator = lastSeparator(path);
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace gui
