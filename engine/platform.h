// What pendcal needs from the operating system besides stdio: one header,
// one implementation per platform (platform-posix.cc, platform-win32.cc).
#ifndef PENDRA_ENGINE_PLATFORM_H_
#define PENDRA_ENGINE_PLATFORM_H_

#include <string>

namespace engine {

// The absolute directory of a file, with its trailing separator. Symbolic
// links are not resolved. For a name with no file-name part, the name made
// absolute. When the current directory cannot be found (deleted), a relative
// name gives its own directory part as written ("" when it has none).
std::string fileDirectory(const char* name);

// The user's profile directory: USERPROFILE, and on POSIX HOME when that is
// not set. Null when neither is set.
const char* profileDirectory();

// The platform's path separators.
bool isPathSeparator(char c);

}  // namespace engine

#endif  // PENDRA_ENGINE_PLATFORM_H_
