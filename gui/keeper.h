// The rules for keeping the reminder file from a window, shared by the
// toolkits: which file Add may write to, which folders to watch for
// changes, and what a new day does to the window.
#ifndef PENDRA_GUI_KEEPER_H_
#define PENDRA_GUI_KEEPER_H_

#include <string>
#include <vector>

#include "common/date.h"

namespace gui {

// Whether two paths name one file as the system compares them: on Windows
// without regard to case and with either separator, elsewhere byte for byte.
bool samePath(const std::string& a, const std::string& b);

// Why Add must not write to file, or "" when it may: a file that another
// listed file includes ("work.pnd is included by pendra.pnd; add entries
// to that file instead."), or a read-only one ("pendra.pnd is read-only;
// entries cannot be added to it."). listedFiles are the listing's file
// records, the reminder file first.
std::string addRefusal(const std::string& file, const std::vector<std::string>& listedFiles,
                       bool readOnly);

// The folders that hold files, each once, in the order first named. A
// folder is watched rather than the file, so that an editor that saves by
// renaming a new file over the old one is still seen.
std::vector<std::string> watchedDirectories(const std::vector<std::string>& files);

// What the window does when the local date has moved from previousToday to
// today: nothing when it has not; move the picked date along when it was
// on the old today; else run again, so "Today" and "Tomorrow" move.
enum class NewDay { Nothing, MoveToToday, Refresh };
NewDay newDayAction(const pendra::Date& previousToday, const pendra::Date& today,
                    const pendra::Date& picked);

}  // namespace gui

#endif  // PENDRA_GUI_KEEPER_H_
