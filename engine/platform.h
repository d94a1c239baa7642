// What pendcal needs from the operating system besides stdio: one header,
// one implementation per platform (platform-posix.cc, platform-win32.cc).
#ifndef PENDRA_ENGINE_PLATFORM_H_
#define PENDRA_ENGINE_PLATFORM_H_

#include <cstdio>
#include <string>

namespace engine {

// The absolute directory of a file, with its trailing separator. Symbolic
// links are not resolved. For a name with no file-name part, the name made
// absolute.
std::string fileDirectory(const char* name);

// The user's profile directory: USERPROFILE, and on POSIX HOME when that is
// not set. Null when neither is set.
const char* profileDirectory();

// The platform's path separators.
bool isPathSeparator(char c);

// Makes file write its bytes as given: on Windows a text stream would put a
// CR before every LF, doubling the CR of a CR LF.
void setBinaryMode(std::FILE* file);

}  // namespace engine

#endif  // PENDRA_ENGINE_PLATFORM_H_
