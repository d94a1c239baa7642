#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "engine/platform.h"

namespace engine {

std::string fileDirectory(const char* name) {
  std::string path;
  if (name[0] != '/') {
    // Grow only while the buffer is too small; any other failure (a deleted
    // or unreadable current directory) leaves the name relative, which
    // still finds its neighbours since the process never changes directory.
    std::string cwd(256, '\0');
    while (getcwd(cwd.data(), cwd.size()) == nullptr) {
      if (errno != ERANGE) {
        cwd.clear();
        break;
      }
      cwd.resize(cwd.size() * 2);
    }
    path.assign(cwd.c_str());
    if (!path.empty() && path.back() != '/') path += '/';
  }
  path += name;
  return path.substr(0, path.find_last_of('/') + 1);
}

namespace {

// The variable's value; null when it is unset or empty.
const char* variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

}  // namespace

const char* profileDirectory() {
  if (const char* p = variable("USERPROFILE")) return p;
  return variable("HOME");
}

std::vector<SearchPlace> searchPlaces() {
  std::vector<SearchPlace> places;
  const char* profile = profileDirectory();
  const char* shownProfile = variable("USERPROFILE") != nullptr ? "$USERPROFILE/" : "$HOME/";
  for (const char* place : kProfilePlaces)
    places.push_back({shownProfile + std::string(place),
                      profile != nullptr ? profile + std::string("/") + place : ""});
  // The XDG configuration directory; a relative value is ignored, as the
  // XDG rules ask.
  const char* config = variable("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    places.push_back(
        {"$XDG_CONFIG_HOME/pendra/pendra.pnd", config + std::string("/pendra/pendra.pnd")});
  } else {
    const char* home = variable("HOME");
    places.push_back({"$HOME/.config/pendra/pendra.pnd",
                      home != nullptr ? home + std::string("/.config/pendra/pendra.pnd") : ""});
  }
  return places;
}

std::FILE* openForReading(const char* name) {
  std::FILE* file = std::fopen(name, "rb");
  struct stat info;
  if (file != nullptr && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    errno = EISDIR;
    return nullptr;
  }
  return file;
}

std::string fileIdentity(std::FILE* file) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return std::string();
  return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

bool isAbsolutePath(const char* name) { return name[0] == '/'; }

uint64_t physicalMemory() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return 0;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(size);
}

bool isPathSeparator(char c) { return c == '/'; }

void setBinaryMode(std::FILE*) {}

}  // namespace engine
