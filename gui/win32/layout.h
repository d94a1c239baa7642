// Where the Windows reminder window puts its controls for a given client
// size. Plain arithmetic on pixels, with no Windows types, so it can be
// tested anywhere; the window measures its controls and calls it on WM_SIZE.
#ifndef PENDRA_GUI_WIN32_LAYOUT_H_
#define PENDRA_GUI_WIN32_LAYOUT_H_

namespace gui {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
};

// Sizes in pixels, measured at the window's DPI and font.
struct LayoutMetrics {
  int margin = 0;          // around the edge
  int gap = 0;             // between neighbours
  int rowHeight = 0;       // buttons, picker, combo box
  int buttonWidth = 0;     // Today, Back, Next, Update, Export
  int pickerWidth = 0;     // the date picker
  int calendarWidth = 0;   // the month grid's own smallest size
  int calendarHeight = 0;  //
  int viewLabelWidth = 0;  // "View:"
  int textHeight = 0;      // one line of the label and the status line
  int minListWidth = 0;    // the list is never narrower or lower than this
  int minListHeight = 0;
};

struct WindowLayout {
  Box today, back, picker, forward, update, exportButton;  // the top row
  Box calendar, viewLabel, view;                           // the left column
  Box label, list;                                         // the right side
  Box status;                                              // the bottom line
};

struct ClientSize {
  int width = 0, height = 0;
};

// The smallest client area in which nothing overlaps or is cut.
ClientSize minimumClientSize(const LayoutMetrics& metrics);

// The controls' places in a client area of the given size: the top row
// with Update and Export at the right, the grid and the view choice at the
// left, the list taking all the rest, the status line across the bottom.
// A size below the minimum is laid out as the minimum.
WindowLayout layoutWindow(const LayoutMetrics& metrics, ClientSize client);

}  // namespace gui

#endif  // PENDRA_GUI_WIN32_LAYOUT_H_
