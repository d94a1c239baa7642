#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/platform.h"

namespace engine {

std::string fileDirectory(const char* name) {
  std::string path;
  if (name[0] != '/') {
    std::string cwd(256, '\0');
    while (getcwd(cwd.data(), cwd.size()) == nullptr) cwd.resize(cwd.size() * 2);
    path.assign(cwd.c_str());
    if (path.empty() || path.back() != '/') path += '/';
  }
  path += name;
  return path.substr(0, path.find_last_of('/') + 1);
}

const char* profileDirectory() {
  if (const char* p = std::getenv("USERPROFILE")) return p;
  return std::getenv("HOME");
}

bool isPathSeparator(char c) { return c == '/'; }

void setBinaryMode(std::FILE*) {}

}  // namespace engine
