// The Windows window's layout: every control inside the client area, none
// overlapping another, and the list taking what the window gains.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/win32/layout.h"

namespace gui {
namespace {

// Roughly what "MS Shell Dlg 2" at 8 points gives at 96 and 192 DPI.
LayoutMetrics metricsAt(int scale) {
  LayoutMetrics m;
  m.margin = 9 * scale;
  m.gap = 6 * scale;
  m.rowHeight = 23 * scale;
  m.buttonWidth = 66 * scale;
  m.pickerWidth = 100 * scale;
  m.calendarWidth = 178 * scale;
  m.calendarHeight = 160 * scale;
  m.viewLabelWidth = 36 * scale;
  m.textHeight = 16 * scale;
  m.minListWidth = 220 * scale;
  m.minListHeight = 120 * scale;
  return m;
}

std::vector<std::pair<std::string, Box>> boxes(const WindowLayout& l) {
  return {{"today", l.today},       {"back", l.back},           {"picker", l.picker},
          {"forward", l.forward},   {"update", l.update},       {"export", l.exportButton},
          {"calendar", l.calendar}, {"viewLabel", l.viewLabel}, {"view", l.view},
          {"label", l.label},       {"list", l.list},           {"status", l.status}};
}

bool overlap(const Box& a, const Box& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

TEST(Win32Layout, ControlsStayInsideAndApartAtEverySize) {
  struct Case {
    int scale;
    ClientSize client;
  } cases[] = {
      {1, {0, 0}},  // below the minimum: laid out as the minimum
      {1, {640, 480}}, {1, {1920, 1080}}, {1, {700, 300}}, {2, {1280, 960}}, {2, {3840, 2160}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.scale) + "x " + std::to_string(c.client.width) + "x" +
                 std::to_string(c.client.height));
    LayoutMetrics m = metricsAt(c.scale);
    ClientSize least = minimumClientSize(m);
    int width = std::max(c.client.width, least.width);
    int height = std::max(c.client.height, least.height);
    auto all = boxes(layoutWindow(m, c.client));
    for (size_t i = 0; i < all.size(); ++i) {
      const auto& [name, box] = all[i];
      EXPECT_GE(box.x, m.margin) << name;
      EXPECT_GE(box.y, m.margin) << name;
      EXPECT_LE(box.right(), width - m.margin) << name;
      EXPECT_LE(box.bottom(), height - m.margin) << name;
      EXPECT_GT(box.width, 0) << name;
      EXPECT_GT(box.height, 0) << name;
      for (size_t j = i + 1; j < all.size(); ++j)
        EXPECT_FALSE(overlap(box, all[j].second)) << name << " and " << all[j].first;
    }
  }
}

TEST(Win32Layout, TheListTakesWhatTheWindowGains) {
  LayoutMetrics m = metricsAt(1);
  ClientSize least = minimumClientSize(m);
  WindowLayout small = layoutWindow(m, least);
  EXPECT_GE(small.list.width, m.minListWidth);
  EXPECT_GE(small.list.height, m.minListHeight);
  WindowLayout large = layoutWindow(m, {least.width + 300, least.height + 200});
  EXPECT_EQ(large.list.width, small.list.width + 300);
  EXPECT_EQ(large.list.height, small.list.height + 200);
  // The grid keeps its own size and place; Export stays at the right edge.
  EXPECT_EQ(large.calendar.width, small.calendar.width);
  EXPECT_EQ(large.calendar.y, small.calendar.y);
  EXPECT_EQ(large.exportButton.right(), least.width + 300 - m.margin);
  EXPECT_EQ(large.status.bottom(), least.height + 200 - m.margin);
}

}  // namespace
}  // namespace gui
