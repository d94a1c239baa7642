#include "gui/win32/layout.h"

#include <algorithm>

namespace gui {

namespace {

int topRowWidth(const LayoutMetrics& m) {
  // Today, Back, the picker, Next; a gap; Update, Export.
  return 5 * m.buttonWidth + m.pickerWidth + 5 * m.gap + m.gap;
}

int leftColumnHeight(const LayoutMetrics& m) { return m.calendarHeight + m.gap + m.rowHeight; }

}  // namespace

ClientSize minimumClientSize(const LayoutMetrics& m) {
  int width = std::max(topRowWidth(m), m.calendarWidth + m.gap + m.minListWidth);
  int right = m.textHeight + m.gap + m.minListHeight;
  int height = m.rowHeight + m.gap + std::max(leftColumnHeight(m), right) + m.gap + m.textHeight;
  return {width + 2 * m.margin, height + 2 * m.margin};
}

WindowLayout layoutWindow(const LayoutMetrics& m, ClientSize client) {
  ClientSize least = minimumClientSize(m);
  int width = std::max(client.width, least.width);
  int height = std::max(client.height, least.height);
  WindowLayout l;
  int x = m.margin, y = m.margin;
  l.today = {x, y, m.buttonWidth, m.rowHeight};
  l.back = {l.today.right() + m.gap, y, m.buttonWidth, m.rowHeight};
  l.picker = {l.back.right() + m.gap, y, m.pickerWidth, m.rowHeight};
  l.forward = {l.picker.right() + m.gap, y, m.buttonWidth, m.rowHeight};
  l.exportButton = {width - m.margin - m.buttonWidth, y, m.buttonWidth, m.rowHeight};
  l.update = {l.exportButton.x - m.gap - m.buttonWidth, y, m.buttonWidth, m.rowHeight};

  l.status = {x, height - m.margin - m.textHeight, width - 2 * m.margin, m.textHeight};
  int top = y + m.rowHeight + m.gap;
  int bottom = l.status.y - m.gap;

  l.calendar = {x, top, m.calendarWidth, m.calendarHeight};
  int viewY = l.calendar.bottom() + m.gap;
  l.viewLabel = {x, viewY, m.viewLabelWidth, m.rowHeight};
  l.view = {l.viewLabel.right() + m.gap, viewY, m.calendarWidth - m.viewLabelWidth - m.gap,
            m.rowHeight};

  int right = l.calendar.right() + m.gap;
  l.label = {right, top, width - m.margin - right, m.textHeight};
  int listY = l.label.bottom() + m.gap;
  l.list = {right, listY, l.label.width, bottom - listY};
  return l;
}

}  // namespace gui
