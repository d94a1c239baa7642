// The calendar window, its month grid and its day list, driven as a user
// would, with a stand-in pendcal that prints listing records.
#include "gui/qt/calendar_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "gui/qt/day_list.h"
#include "gui/qt/month_grid.h"
#include "stand_in_engines.h"

namespace {

using pendra::Date;

Date day(int d, int m, int y) {
  return Date(static_cast<uint8_t>(d), static_cast<uint8_t>(m), static_cast<uint32_t>(y));
}

// Writes its arguments, one run a line, to ARGS beside it; lists four
// reminders in December 2026, one of them announced three days ahead and
// one of two lines; for -i prints a calendar of two events.
std::string listingEngine(StandInEngines& engines, const std::string& extra = "") {
  return engines.write(
      "pendcal", "echo \"$*\" >> \"$(dirname \"$0\")/ARGS\"\n" + extra +
                     "if [ \"$2\" = -i ]; then\n"
                     "  printf 'BEGIN:VCALENDAR\\r\\nBEGIN:VEVENT\\r\\nEND:VEVENT\\r\\n"
                     "BEGIN:VEVENT\\r\\nEND:VEVENT\\r\\nEND:VCALENDAR\\r\\n'; exit 0\n"
                     "fi\n"
                     "printf 'file\\tpendra.pnd\\n'\n"
                     "printf '2026-12-08\\t2026-12-08\\tpendra.pnd\\t1\\tDentist\\n'\n"
                     "printf '2026-12-08\\t2026-12-11\\tpendra.pnd\\t2\\tMarket day\\n'\n"
                     "printf '2026-12-09\\t2026-12-09\\tpendra.pnd\\t4\\tList:\\\\n- milk\\n'\n"
                     "printf '2026-12-11\\t2026-12-11\\tpendra.pnd\\t2\\tMarket day\\n'\n"
                     "printf '2026-12-11\\t2026-12-11\\tpendra.pnd\\t3\\tPay day\\n'\n");
}

QStringList runs(const StandInEngines& engines) {
  QStringList lines;
  std::ifstream in(engines.directory() + "ARGS");
  for (std::string line; std::getline(in, line);) lines << QString::fromStdString(line);
  return lines;
}

struct Row {
  QString text;
  int kind;
};
QList<Row> rows(const gui::CalendarWindow& window) {
  QList<Row> result;
  gui::DayList* list = window.dayList();
  for (int i = 0; i < list->count(); ++i) {
    result.append({list->item(i)->text(), list->item(i)->data(gui::DayList::kKindRole).toInt()});
  }
  return result;
}

bool settle(const gui::CalendarWindow& window) {
  return QTest::qWaitFor([&] { return !window.busy(); }, 10000);
}

QString status(const gui::CalendarWindow& window) {
  return window.findChild<QLabel*>(QStringLiteral("status"))->text();
}

}  // namespace

class CalendarWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir settingsDir_;
  QString settingsFile() const { return settingsDir_.filePath(QStringLiteral("pendra.ini")); }

 private slots:
  void init() { QFile::remove(settingsFile()); }

  void monthStepsKeepTheDayWhereTheMonthHasIt_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("count");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("next") << QDate(2026, 12, 8) << 1 << QDate(2027, 1, 8);
    QTest::newRow("into a short month") << QDate(2027, 1, 31) << 1 << QDate(2027, 2, 28);
    QTest::newRow("into a leap February") << QDate(2028, 3, 31) << -1 << QDate(2028, 2, 29);
    QTest::newRow("back over a year") << QDate(2026, 1, 15) << -1 << QDate(2025, 12, 15);
    QTest::newRow("a year on") << QDate(2026, 5, 31) << 12 << QDate(2027, 5, 31);
  }
  void monthStepsKeepTheDayWhereTheMonthHasIt() {
    QFETCH(QDate, from);
    QFETCH(int, count);
    QFETCH(QDate, expected);
    Date stepped = gui::stepMonths(day(from.day(), from.month(), from.year()), count);
    QCOMPARE(QDate(static_cast<int>(stepped.year), stepped.month, stepped.day), expected);
  }

  void gridCellsSayTheirDayAndReminders_data() {
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<QDate>("firstCell");
    QTest::addColumn<QDate>("probe");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("name");
    // December 2026 starts on a Tuesday; February 2027 on a Monday.
    QTest::newRow("two") << QDate(2026, 12, 8) << QDate(2026, 11, 30) << QDate(2026, 12, 9) << 2
                         << "9 December, 2 reminders";
    QTest::newRow("one") << QDate(2026, 12, 8) << QDate(2026, 11, 30) << QDate(2026, 12, 31) << 1
                         << "31 December, 1 reminder";
    QTest::newRow("none") << QDate(2026, 12, 8) << QDate(2026, 11, 30) << QDate(2026, 12, 10) << 0
                          << "10 December";
    QTest::newRow("monday first") << QDate(2027, 2, 14) << QDate(2027, 2, 1) << QDate(2027, 3, 1)
                                  << 3 << "1 March, 3 reminders";
  }
  void gridCellsSayTheirDayAndReminders() {
    QFETCH(QDate, picked);
    QFETCH(QDate, firstCell);
    QFETCH(QDate, probe);
    QFETCH(int, count);
    QFETCH(QString, name);
    gui::MonthGrid grid;
    grid.setDates(day(picked.day(), picked.month(), picked.year()), day(8, 12, 2026));
    Date probed = day(probe.day(), probe.month(), probe.year());
    if (count > 0) grid.setCounts({{probed.dayNumber(), count}});
    const gui::MonthModel& model = grid.monthModel();
    Date first = model.dateAt(model.index(0, 0));
    QCOMPARE(QDate(static_cast<int>(first.year), first.month, first.day), firstCell);
    QModelIndex cell = model.indexOf(probed);
    QVERIFY(cell.isValid());
    QCOMPARE(cell.data(Qt::DisplayRole).toInt(), probe.day());
    QCOMPARE(cell.data(Qt::AccessibleTextRole).toString(), name);
    QCOMPARE(cell.data(Qt::FontRole).value<QFont>().bold(), count > 0);
    // The picked day is the one selected.
    QModelIndexList selected = grid.selectionModel()->selectedIndexes();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected[0], model.indexOf(day(picked.day(), picked.month(), picked.year())));
    // Today is set apart, and says so.
    QModelIndex today = model.indexOf(day(8, 12, 2026));
    if (today.isValid()) {
      QVERIFY(today.data(Qt::BackgroundRole).isValid());
      QCOMPARE(today.data(Qt::AccessibleDescriptionRole).toString(), QStringLiteral("today"));
    }
  }

  void listGroupsDaysAndWrapsWithoutCutting() {
    gui::DayList list;
    list.resize(220, 400);
    QString longText;
    for (int i = 0; i < 20; ++i) longText += QStringLiteral("word%1 ").arg(i);
    std::vector<gui::ListedDay> days = {
        {day(8, 12, 2026),
         QStringLiteral("Today"),
         {{QStringLiteral("Dentist"), false, QStringLiteral("a.pnd"), 1, day(8, 12, 2026)},
          {QStringLiteral("Fri 11 Dec: Market day"), true, QStringLiteral("a.pnd"), 2,
           day(11, 12, 2026)},
          {QStringLiteral("List:\n- milk\n- bread"), false, QStringLiteral("a.pnd"), 4,
           day(8, 12, 2026)},
          {longText, false, QStringLiteral("a.pnd"), 5, day(8, 12, 2026)}}},
        {day(11, 12, 2026),
         QStringLiteral("Fri 11 Dec"),
         {{QStringLiteral("Market day"), false, QStringLiteral("a.pnd"), 2, day(11, 12, 2026)}}}};
    list.fill(days, QStringLiteral("nothing"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.count(), 7);
    QCOMPARE(list.item(0)->data(gui::DayList::kKindRole).toInt(), gui::DayList::Heading);
    QVERIFY(!(list.item(0)->flags() & Qt::ItemIsSelectable));
    QCOMPARE(list.item(2)->data(gui::DayList::kKindRole).toInt(), gui::DayList::LookAhead);
    QVERIFY(list.item(2)->font().italic());
    QVERIFY(!list.item(1)->font().italic());
    QCOMPARE(list.item(3)->data(gui::DayList::kLineRole).toInt(), 4);
    // The three-line text is one row three lines high; the long one wraps
    // inside the list's width.
    int one = list.visualItemRect(list.item(1)).height();
    QVERIFY(list.visualItemRect(list.item(3)).height() >= 3 * one - 2);
    QRect wrapped = list.visualItemRect(list.item(4));
    QVERIFY(wrapped.height() >= 2 * one);
    QVERIFY(wrapped.right() <= list.viewport()->width());
    QVERIFY(!list.horizontalScrollBar()->isVisible());
    QCOMPARE(list.headingRowFor(day(9, 12, 2026)), 5);
    QCOMPARE(list.headingRowFor(day(12, 12, 2026)), -1);
    // No days: the note alone.
    list.fill({}, QStringLiteral("nothing"));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.item(0)->text(), QStringLiteral("nothing"));
  }

  void listingRunsCoverTheViewAndTheMonth_data() {
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("texts");
    QStringList all = {"Tue 8 Dec",  "Dentist",       "Fri 11 Dec: Market day",
                       "Wed 9 Dec",  "List:\n- milk", "Fri 11 Dec",
                       "Market day", "Pay day"};
    // Picked on 2 December: the view's days and the whole month, in one run.
    QTest::newRow("window") << int(gui::View::Window) << "-k -l -b 7 -a 29 2 dec 2026" << all;
    QTest::newRow("week") << int(gui::View::Week) << "-k -l -b 2 -a 29 2 dec 2026"
                          << QStringList({"No reminders from Mon 30 Nov 2026 to Sun 6 Dec 2026"});
    QTest::newRow("month") << int(gui::View::Month) << "-k -l -b 1 -a 29 2 dec 2026" << all;
  }
  void listingRunsCoverTheViewAndTheMonth() {
    QFETCH(int, view);
    QFETCH(QString, arguments);
    QFETCH(QStringList, texts);
    StandInEngines engines;
    {
      QSettings settings(settingsFile(), QSettings::IniFormat);
      settings.setValue(QStringLiteral("window/view"),
                        QString::fromLatin1(gui::viewName(static_cast<gui::View>(view))));
    }
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(2, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QCOMPARE(runs(engines), QStringList({arguments}));
    QStringList shown;
    for (const Row& row : rows(window)) shown << row.text;
    QCOMPARE(shown, texts);
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("view"))->currentIndex(), view);
    // The grid marks the days the reminders fall on, not the announcing day.
    const gui::MonthModel& model = window.monthGrid()->monthModel();
    QCOMPARE(model.countOn(day(8, 12, 2026)), 1);
    QCOMPARE(model.countOn(day(9, 12, 2026)), 1);
    QCOMPARE(model.countOn(day(11, 12, 2026)), 2);
    QCOMPARE(model.countOn(day(10, 12, 2026)), 0);
    QCOMPARE(status(window).startsWith(QStringLiteral("4 reminders from ")),
             view != int(gui::View::Week));
  }

  void keysMoveTheDate_data() {
    QTest::addColumn<QString>("target");  // the widget with focus
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QDate>("expected");
    const int alt = Qt::AltModifier, ctrl = Qt::ControlModifier, none = Qt::NoModifier;
    QTest::newRow("alt+right") << "list" << int(Qt::Key_Right) << alt << QDate(2026, 12, 9);
    QTest::newRow("alt+left") << "list" << int(Qt::Key_Left) << alt << QDate(2026, 12, 7);
    QTest::newRow("ctrl+right") << "list" << int(Qt::Key_Right) << ctrl << QDate(2027, 1, 8);
    QTest::newRow("ctrl+left in the date")
        << "date" << int(Qt::Key_Left) << ctrl << QDate(2026, 11, 8);
    QTest::newRow("page down in the date")
        << "date" << int(Qt::Key_PageDown) << none << QDate(2027, 1, 8);
    QTest::newRow("page up in the grid")
        << "grid" << int(Qt::Key_PageUp) << none << QDate(2026, 11, 8);
    QTest::newRow("down in the grid") << "grid" << int(Qt::Key_Down) << none << QDate(2026, 12, 15);
    QTest::newRow("left in the grid") << "grid" << int(Qt::Key_Left) << none << QDate(2026, 12, 7);
    QTest::newRow("alt+home") << "grid" << int(Qt::Key_Home) << alt << QDate(2026, 12, 1);
  }
  void keysMoveTheDate() {
    QFETCH(QString, target);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QDate, expected);
    StandInEngines engines;
    // "Today" is the first; the date starts on the 8th.
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(1, 12, 2026); }, settingsFile());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.setPickedDate(day(8, 12, 2026));
    QVERIFY(settle(window));
    QWidget* focus = window.findChild<QWidget*>(target);
    focus->setFocus();
    QTest::keyClick(focus, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(settle(window));
    Date picked = window.pickedDate();
    QCOMPARE(QDate(static_cast<int>(picked.year), picked.month, picked.day), expected);
    QCOMPARE(window.findChild<QDateEdit*>(QStringLiteral("date"))->date(), expected);
  }

  void movingInsideTheListedDaysRunsNothingButF5Does() {
    StandInEngines engines;
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(settle(window));
    window.stepDays(1);  // still December: the run covered it
    QVERIFY(settle(window));
    QCOMPARE(runs(engines).size(), 1);
    QCOMPARE(rows(window).first().text, QStringLiteral("Today"));
    QTest::keyClick(&window, Qt::Key_F5);
    QVERIFY(settle(window));
    QCOMPARE(runs(engines).size(), 2);
    QCOMPARE(runs(engines).last(), QStringLiteral("-k -l -b 8 -a 22 9 dec 2026"));
    window.stepMonths(1);  // January needs a run of its own
    QVERIFY(settle(window));
    QCOMPARE(runs(engines).last(), QStringLiteral("-k -l -b 8 -a 22 9 jan 2027"));
  }

  void theReminderFileFromTheSettingsGoesToPendcal() {
    StandInEngines engines;
    {
      QFile ini(settingsFile());  // written by hand: a comma, no quotes
      QVERIFY(ini.open(QIODevice::WriteOnly));
      ini.write("[file]\nreminders=/home/kim/a, b.pnd\n");
    }
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QCOMPARE(runs(engines), QStringList({"-k -l -f /home/kim/a, b.pnd -b 7 -a 23 8 dec 2026"}));
  }

  void aWindowOffEveryScreenComesBack() {
    StandInEngines engines;
    {
      QSettings settings(settingsFile(), QSettings::IniFormat);
      settings.setValue(QStringLiteral("window/x"), 5000);  // a monitor that has gone
      settings.setValue(QStringLiteral("window/y"), 4000);
      settings.setValue(QStringLiteral("window/width"), 600);
      settings.setValue(QStringLiteral("window/height"), 400);
    }
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.size(), QSize(600, 400));
    QVERIFY2(screen.contains(window.geometry()),
             qPrintable(QStringLiteral("%1,%2").arg(window.x()).arg(window.y())));
  }

  void exportWritesBesideAndRenamesOnlyAfterSuccess_data() {
    QTest::addColumn<QString>("extra");  // shell lines run before the engine's own
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("message");
    QByteArray calendar =
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    QTest::newRow("written") << "" << calendar
                             << QString::fromUtf8("Exported 2 reminders to …/out.ics");
    QTest::newRow("whole, with a problem")
        << "[ \"$2\" = -i ] && { echo 'pendra.pnd(3): error: not an action' >&2; printf "
           "'BEGIN:VCALENDAR\\r\\nBEGIN:VEVENT\\r\\nEND:VEVENT\\r\\nEND:VCALENDAR\\r\\n'; exit 1; "
           "}\n"
        << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
        << QString::fromUtf8("Exported 1 reminder to …/out.ics; 1 problem");
    QTest::newRow("problem") << "[ \"$2\" = -i ] && { echo 'pendra.pnd(3): error: not an "
                                "action' >&2; echo 'BEGIN:VCAL'; exit 1; }\n"
                             << QByteArray("old calendar")
                             << QString::fromUtf8(
                                    "Export failed: pendra.pnd(3): error: not an action; nothing "
                                    "written to …/out.ics");
  }
  void exportWritesBesideAndRenamesOnlyAfterSuccess() {
    QFETCH(QString, extra);
    QFETCH(QByteArray, expected);
    QFETCH(QString, message);
    StandInEngines engines;
    QString out = QString::fromStdString(engines.directory()) + QStringLiteral("out.ics");
    {
      QFile old(out);
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("old calendar");
    }
    gui::CalendarWindow window(
        listingEngine(engines, extra.toStdString()), [] { return day(8, 12, 2026); },
        settingsFile());
    QVERIFY(settle(window));
    QStringList before;
    for (const Row& row : rows(window)) before << row.text;
    window.setExportChooser([&] {
      return std::optional<gui::CalendarWindow::ExportTarget>(
          {gui::ExportChoice::Month, out.chopped(4)});
    });
    window.exportCalendar();
    QVERIFY(settle(window));
    QCOMPARE(runs(engines).last(), QStringLiteral("-k -i -b 7 -a 23 8 dec 2026"));
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY(!QFile::exists(out + QStringLiteral(".new")));
    QCOMPARE(status(window), message);
    QStringList after;
    for (const Row& row : rows(window)) after << row.text;
    QCOMPARE(after, before);
  }

  void updateDuringAnExportWaitsForIt() {
    StandInEngines engines;
    std::string gate = engines.directory() + "go";
    // The export waits until the test lets it go.
    std::string engine = listingEngine(
        engines, "[ \"$2\" = -i ] && while [ ! -e \"" + gate + "\" ]; do sleep 0.02; done\n");
    QString out = QString::fromStdString(engines.directory()) + QStringLiteral("cal.ics");
    gui::CalendarWindow window(
        engine, [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    window.setExportChooser([&] {
      return std::optional<gui::CalendarWindow::ExportTarget>({gui::ExportChoice::Shown, out});
    });
    window.exportCalendar();
    QVERIFY(window.busy());
    window.refresh();
    QVERIFY(status(window).contains(QStringLiteral("when the export has ended")));
    QVERIFY(QTest::qWaitFor([&] { return runs(engines).size() == 2; }, 10000));
    QVERIFY(window.busy());
    std::ofstream{gate};
    QVERIFY(QTest::qWaitFor([&] { return runs(engines).size() == 3 && !window.busy(); }, 10000));
    QVERIFY(QFile::exists(out));
    QVERIFY(runs(engines).last().startsWith(QStringLiteral("-k -l ")));
  }

  void anExportAskedForDuringARunFollowsIt() {
    StandInEngines engines;
    std::string gate = engines.directory() + "go";
    // Listing runs wait until the test lets them go.
    std::string engine = listingEngine(
        engines, "[ \"$2\" = -l ] && while [ ! -e \"" + gate + "\" ]; do sleep 0.02; done\n");
    QString out = QString::fromStdString(engines.directory()) + QStringLiteral("cal.ics");
    gui::CalendarWindow window(
        engine, [] { return day(8, 12, 2026); }, settingsFile());
    window.setExportChooser([&] {
      return std::optional<gui::CalendarWindow::ExportTarget>({gui::ExportChoice::Shown, out});
    });
    window.exportCalendar();
    window.stepMonths(1);  // a new listing run replaces the first; the export still waits
    std::ofstream{gate};
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(out) && !window.busy(); }, 10000));
    QVERIFY(runs(engines).last().startsWith(QStringLiteral("-k -i ")));
    QVERIFY(status(window).startsWith(QStringLiteral("Exported 2 reminders")));
  }

  void realEngineListsByDayAndNamesTheProblem() {
    StandInEngines files;  // only for its directory
    std::string reminders = files.directory() + "r.pnd";
    std::ofstream(reminders) << "dec 8 remind [Dentist].\n"
                             << "dec 11 previous 2 days remind [Market day].\n"
                             << "dec 9 rmind [Oops].\n";
    QSettings(settingsFile(), QSettings::IniFormat)
        .setValue(QStringLiteral("file/reminders"), QString::fromStdString(reminders));
    gui::CalendarWindow window(
        PENDCAL_PATH, [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QStringList shown;
    for (const Row& row : rows(window)) shown << row.text;
    QCOMPARE(shown,
             QStringList({"Today", "Dentist", "Tomorrow", "Fri 11 Dec: Market day", "Thu 10 Dec",
                          "Fri 11 Dec: Market day", "Fri 11 Dec", "Market day"}));
    const gui::MonthModel& model = window.monthGrid()->monthModel();
    QCOMPARE(model.countOn(day(11, 12, 2026)), 1);
    QCOMPARE(model.countOn(day(9, 12, 2026)), 0);
    QString expected = QString::fromStdString(reminders) + QStringLiteral("(3): error: ");
    QVERIFY2(status(window).contains(expected), qPrintable(status(window)));
  }

  void missingEngineSaysSo() {
    StandInEngines engines;
    gui::CalendarWindow window(
        engines.missing(), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QVERIFY(status(window).contains(QStringLiteral("Error executing pendcal")));
    QCOMPARE(window.lastResult().problems.size(), size_t{1});
  }

  void thePickedDaysGroupIsScrolledIntoView() {
    gui::DayList list;
    list.resize(300, 120);
    std::vector<gui::ListedDay> days;
    for (int d = 1; d <= 20; ++d) {
      days.push_back({day(d, 12, 2026), QStringLiteral("Day %1").arg(d), {}});
      days.back().items.push_back({QStringLiteral("Reminder %1").arg(d), false,
                                   QStringLiteral("a.pnd"), d, day(d, 12, 2026)});
    }
    list.fill(days, QString());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.scrollToDay(day(15, 12, 2026));
    QCOMPARE(list.indexAt(QPoint(5, 1)).row(), 28);  // the heading "Day 15"
    list.scrollToDay(day(3, 12, 2026));
    QCOMPARE(list.indexAt(QPoint(5, 1)).row(), 4);
  }

  void tabOrderFollowsTheLayout() {
    StandInEngines engines;
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QStringList order;
    QWidget* widget = window.findChild<QWidget*>(QStringLiteral("today"));
    for (int i = 0; i < 9; ++i) {
      order << widget->objectName();
      do {
        widget = widget->nextInFocusChain();
      } while (!(widget->focusPolicy() & Qt::TabFocus) || widget->objectName().isEmpty() ||
               widget->objectName().startsWith(QStringLiteral("qt_")));
    }
    QCOMPARE(order, QStringList({"today", "back", "date", "forward", "update", "export", "grid",
                                 "view", "list"}));
  }

  void theWindowHasPendrasIcon() {
    StandInEngines engines;
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    QList<QSize> sizes = window.windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(256, 256)));
    // Drawn from the SVG: the calendar page's blue band is at the top.
    QImage image = window.windowIcon().pixmap(QSize(64, 64)).toImage();
    QColor band = image.pixelColor(32, 16);
    QVERIFY2(band.blue() > band.red() + 60, qPrintable(band.name()));
  }

  void everyButtonHasAMnemonic() {
    StandInEngines engines;
    gui::CalendarWindow window(
        listingEngine(engines), [] { return day(8, 12, 2026); }, settingsFile());
    QVERIFY(settle(window));
    const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
    QVERIFY(buttons.size() >= 5);
    QSet<QChar> keys;
    for (QPushButton* button : buttons) {
      qsizetype at = button->text().indexOf(QLatin1Char('&'));
      QVERIFY2(at >= 0 && at + 1 < button->text().size(), qPrintable(button->text()));
      QChar key = button->text().at(at + 1).toLower();
      QVERIFY2(!keys.contains(key), qPrintable(button->text()));
      keys.insert(key);
    }
  }
};

QTEST_MAIN(CalendarWindowTest)
#include "calendar_window_test.moc"
