#include "gui/settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Settings, Numbers) {
  struct Case {
    const char* text;
    int expected;
  };
  // fallback 7, range -10..10
  const Case cases[] = {{"3", 3},
                        {" -4 ", -4},
                        {"+5", 5},
                        {"11", 10},
                        {"-99", -10},
                        {"", 7},
                        {"3x", 7},
                        {"x", 7},
                        {"99999999999999999999", 10},
                        {"-99999999999999999999", -10},
                        {"1.5", 7}};
  for (const Case& c : cases) EXPECT_EQ(c.expected, gui::parseInt(c.text, 7, -10, 10)) << c.text;
  EXPECT_TRUE(gui::parseBool(" True", false));
  EXPECT_FALSE(gui::parseBool("off", true));
  EXPECT_TRUE(gui::parseBool("maybe", true));
}

TEST(Settings, KeepsTheWindowOnAScreen) {
  const std::vector<gui::Rect> two = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const std::vector<gui::Rect> one = {{0, 0, 1920, 1080}};
  struct Case {
    gui::Rect saved;
    std::vector<gui::Rect> screens;
    gui::Rect expected;
  };
  const Case cases[] = {
      // On a screen: kept as it was.
      {{100, 100, 800, 600}, two, {100, 100, 800, 600}},
      {{2000, 50, 800, 600}, two, {2000, 50, 800, 600}},
      // The second monitor went away: moved onto the first, inside it.
      {{2000, 50, 800, 600}, one, {1120, 50, 800, 600}},
      // Title bar above the screen's top.
      {{100, -500, 800, 600}, one, {100, 0, 800, 600}},
      // Too small, too large.
      {{10, 10, 50, 20}, one, {10, 10, gui::kMinWidth, gui::kMinHeight}},
      {{-10000, 0, 5000, 5000}, one, {0, 0, 1920, 1080}},
      // No screens known: only the size is checked.
      {{-3000, -3000, 100, 100}, {}, {-3000, -3000, gui::kMinWidth, gui::kMinHeight}},
  };
  for (const Case& c : cases) {
    gui::Rect kept = gui::keepOnScreen(c.saved, c.screens);
    EXPECT_EQ(c.expected, kept) << kept.x << "," << kept.y << " " << kept.width << "x"
                                << kept.height;
  }
}

TEST(Settings, ReadsCheckedValues) {
  struct Case {
    const char* ini;
    bool hasGeometry;
    gui::Rect geometry;
    bool maximized;
    gui::View view;
    const char* file;
  };
  const Case cases[] = {
      {"[window]\nx=-20\ny=30\nwidth=800\nheight=600\nmaximized=true\nview=week\n"
       "[file]\nreminders = /home/a/my file.pnd \n",
       true,
       {-20, 30, 800, 600},
       true,
       gui::View::Week,
       "/home/a/my file.pnd"},
      // Damage: a missing or broken number drops the geometry, not the rest.
      {"[window]\nx=1\ny=2\nwidth=0\nheight=600\nview=month\n",
       false,
       {},
       false,
       gui::View::Month,
       ""},
      {"[window]\nx=1\ny=oops\nwidth=800\nheight=600\nview=year\nmaximized=2\n",
       false,
       {},
       false,
       gui::View::Window,
       ""},
      {"garbage\n[window\nx=5\n", false, {}, false, gui::View::Window, ""},
  };
  for (const Case& c : cases) {
    gui::Ini ini = gui::Ini::parse(c.ini);
    gui::Settings settings = gui::readSettings(&gui::Ini::lookup, &ini);
    EXPECT_EQ(c.hasGeometry, settings.hasGeometry) << c.ini;
    if (c.hasGeometry) {
      EXPECT_EQ(c.geometry, settings.geometry) << c.ini;
    }
    EXPECT_EQ(c.maximized, settings.maximized) << c.ini;
    EXPECT_EQ(c.view, settings.view) << c.ini;
    EXPECT_EQ(c.file, settings.reminderFile) << c.ini;
  }
}

}  // namespace
