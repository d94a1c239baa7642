// What pendcal needs from the operating system besides stdio: one header,
// one implementation per platform (platform-posix.cc, platform-win32.cc).
#ifndef PENDRA_ENGINE_PLATFORM_H_
#define PENDRA_ENGINE_PLATFORM_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace engine {

// The absolute directory of a file, with its trailing separator. Symbolic
// links are not resolved. For a name with no file-name part, the name made
// absolute. When the current directory cannot be found (deleted), a relative
// name gives its own directory part as written ("" when it has none).
std::string fileDirectory(const char* name);

// The user's profile directory: USERPROFILE, and on POSIX HOME when that is
// not set. A variable set to an empty value counts as unset. Null when
// neither is set.
const char* profileDirectory();

// The places under the profile directory searched for the reminder file,
// in order.
inline constexpr const char* kProfilePlaces[] = {
    "pendra.pnd", "pendra/pendra.pnd", "My Documents/pendra.pnd", "My Documents/Pendra/pendra.pnd"};

// One place the default search looks for the reminder file: the form the
// usage text shows, and the path opened (empty: not searched, for want of
// the variable it starts from).
struct SearchPlace {
  std::string shown;
  std::string path;
};
// The places in search order.
std::vector<SearchPlace> searchPlaces();

// Opens a file for reading, in binary: on Windows a Ctrl-Z byte is then
// text like any other (the lexer takes CR LF line ends itself). A directory
// is refused (errno EISDIR), as if it could not be opened. Null on failure,
// with errno set.
std::FILE* openForReading(const char* name);
// Names the file behind an open stream so that two streams on the same file
// give the same text; empty when the system cannot tell.
std::string fileIdentity(std::FILE* file);
// Whether a name is absolute, so that no directory may be put before it.
bool isAbsolutePath(const char* name);

// Bytes of physical memory in this machine; 0 when the system cannot tell.
uint64_t physicalMemory();

// The platform's path separators.
bool isPathSeparator(char c);

// Makes file write its bytes as given: on Windows a text stream would put a
// CR before every LF, doubling the CR of a CR LF.
void setBinaryMode(std::FILE* file);

}  // namespace engine

#endif  // PENDRA_ENGINE_PLATFORM_H_
