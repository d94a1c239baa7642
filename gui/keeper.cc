#include "gui/keeper.h"

#include "gui/safe_write.h"

namespace gui {

namespace {

#ifdef _WIN32
constexpr bool kFoldCase = true;
#else
constexpr bool kFoldCase = false;
#endif

char folded(char c) {
  if (!kFoldCase) return c;
  if (c == '/') return '\\';
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

}  // namespace

bool samePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (folded(a[i]) != folded(b[i])) return false;
  return true;
}

std::string addRefusal(const std::string& file, const std::vector<std::string>& listedFiles,
                       bool readOnly) {
  std::string refusal = fileNameOf(file);
  bool main = !listedFiles.empty() && samePath(listedFiles[0], file);
  for (size_t i = 1; i < listedFiles.size() && !main; ++i) {
    if (!samePath(listedFiles[i], file)) continue;
    refusal.append(" is included by ");
    refusal.append(fileNameOf(listedFiles[0]));
    refusal.append("; add entries to that file instead.");
    return refusal;
  }
  if (!readOnly) return {};
  refusal.append(" is read-only; entries cannot be added to it.");
  return refusal;
}

std::vector<std::string> watchedDirectories(const std::vector<std::string>& files) {
  std::vector<std::string> directories;
  for (const std::string& file : files) {
    std::string directory = parentDirectory(file);
    if (directory.empty()) directory.push_back('.');  // (= "." gives GCC 12 a false warning)
    bool known = false;
    for (const std::string& seen : directories) known = known || samePath(seen, directory);
    if (!known) directories.push_back(directory);
  }
  return directories;
}

NewDay newDayAction(const pendra::Date& previousToday, const pendra::Date& today,
                    const pendra::Date& picked) {
  if (today.sameDay(previousToday)) return NewDay::Nothing;
  return picked.sameDay(previousToday) ? NewDay::MoveToToday : NewDay::Refresh;
}

}  // namespace gui
