// The first run: where pendcal looks for the reminder file (as real paths
// for this user), where a new one goes, and what it holds to begin with.
#ifndef PENDRA_GUI_FIRST_RUN_H_
#define PENDRA_GUI_FIRST_RUN_H_

#include <string>
#include <vector>

namespace gui {

// The places pendcal searches when no -f is given, in its order, with
// pendcal's own rules: the profile directory (USERPROFILE, else HOME on
// Linux) with pendra.pnd, pendra/pendra.pnd, My Documents/pendra.pnd and
// My Documents/Pendra/pendra.pnd; on Linux then the XDG configuration
// directory's pendra/pendra.pnd. A place whose variable is unset is left
// out. UTF-8, with the platform's separators.
std::vector<std::string> reminderSearchPlaces();

// Where "Create my reminder file" writes: Linux the XDG configuration
// directory's pendra/pendra.pnd (the place desktop programs keep their
// files, and one pendcal searches), Windows %USERPROFILE%\pendra.pnd.
// Empty when no home is known.
std::string starterFilePath();

// The starter file: comments on how entries are written, and live
// examples pendcal reads without a problem: a birthday, a monthly bill
// announced three days ahead, and the last working day of every month.
// Line ends "\n" (Linux) or "\r\n" (Windows), as lineEnd says.
std::string starterFileText(const std::string& lineEnd = "\n");

}  // namespace gui

#endif  // PENDRA_GUI_FIRST_RUN_H_
