// The reminder window's list on Windows: an owner-drawn list box that shows
// a heading row per day and under it one item per reminder, each item as
// many lines high as its text needs at the list's width, so that texts wrap
// and nothing scrolls sideways.
#ifndef PENDRA_GUI_WIN32_DAY_LIST_H_
#define PENDRA_GUI_WIN32_DAY_LIST_H_

#include <windows.h>

#include <string>
#include <vector>

#include "common/date.h"
#include "gui/list_rows.h"

namespace gui {

// Owns the rows and the fonts the list box draws with. The list box must
// have LBS_OWNERDRAWVARIABLE and LBS_HASSTRINGS (so its items still carry
// their text for screen readers and probes); its parent passes on
// WM_MEASUREITEM and WM_DRAWITEM for it.
class DayList {
 public:
  explicit DayList(HWND list);
  ~DayList();
  DayList(const DayList&) = delete;
  DayList& operator=(const DayList&) = delete;

  // Replaces the items with the rows in one batch, with redraw off.
  void fill(std::vector<ListRow> rows);
  const std::vector<ListRow>& rows() const { return rows_; }

  // Call after the list's width or font changed: measures every item again.
  void remeasure();
  // Scrolls the heading of day, or of the first day after it, to the top.
  void scrollTo(const pendra::Date& day);

  void measure(MEASUREITEMSTRUCT* item);
  void draw(const DRAWITEMSTRUCT* item);

 private:
  void makeFonts();
  void deleteFonts();
  HFONT fontFor(ListRow::Kind kind) const;
  int heightOf(HDC dc, size_t index, int width) const;
  RECT textRect(size_t index, RECT item) const;

  HWND list_;
  std::vector<ListRow> rows_;
  std::vector<std::wstring> texts_;  // rows_[i].text as UTF-16
  HFONT baseFont_ = nullptr;         // the list's own; not ours to delete
  HFONT bold_ = nullptr;
  HFONT italic_ = nullptr;
  int padding_ = 2;  // around a text, in pixels; half the font's average character
};

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_DAY_LIST_H_
