// The Qt reminder window driven as a user would, with stand-in engines.
#include "gui/qt/reminder_dialog.h"

#include <errno.h>
#include <signal.h>

#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QtTest>
#include <fstream>
#include <memory>

#include "stand_in_engines.h"

namespace {

// Prints its arguments on the first line, then a report line.
const char kEchoEngine[] = "echo \"$@\"\nprintf '  ---today---  : Birthday\\r\\n'\n";

QStringList items(const gui::ReminderDialog& dialog) {
  QStringList lines;
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("list"));
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

QString label(const gui::ReminderDialog& dialog) {
  return dialog.findChild<QLabel*>(QStringLiteral("label"))->text();
}

QDate picked(const gui::ReminderDialog& dialog) {
  return dialog.findChild<QDateEdit*>(QStringLiteral("date"))->date();
}

void click(const gui::ReminderDialog& dialog, const char* button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

// Waits until the run in progress has shown its result.
bool settle(const gui::ReminderDialog& dialog) {
  return QTest::qWaitFor([&] { return !dialog.busy(); }, 10000);
}

// The process ids a stand-in engine wrote, one a line, to the file.
std::vector<pid_t> pidsIn(const std::string& file) {
  std::vector<pid_t> pids;
  std::ifstream in(file);
  for (pid_t pid; in >> pid;) pids.push_back(pid);
  return pids;
}

bool running(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

gui::ReminderDialog::Clock fixedClock(int day, int month, int year) {
  pendra::Date date(static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                    static_cast<uint32_t>(year));
  return [date] { return date; };
}

}  // namespace

class ReminderDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initialUpdateStartsWithTheWindow() {
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", kEchoEngine), fixedClock(7, 7, 2005));
    QVERIFY(!dialog.isVisible());
    QVERIFY(settle(dialog));
    QCOMPARE(picked(dialog), QDate(2005, 7, 7));
    QCOMPARE(label(dialog), QStringLiteral("Thursday 7 July 2005"));
    QCOMPARE(items(dialog), QStringList({"-b 7 -a 14 7 jul 2005", "  ---today---  : Birthday"}));
  }

  void controlsAsInTheTemplate() {
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", ""), fixedClock(7, 7, 2005));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Pendra"));
    const QStringList names = {"today",  "back",   "date", "forward",
                               "update", "export", "list", "label"};
    const QStringList texts = {"Today", "<", "", ">", "Update", "Export", "", ""};
    QWidgetList children;
    for (QObject* child : dialog.children()) {
      if (child->isWidgetType()) children << static_cast<QWidget*>(child);
    }
    QCOMPARE(children.size(), names.size());
    for (int i = 0; i < names.size(); ++i) {
      QCOMPARE(children[i]->objectName(), names[i]);
      if (auto* button = qobject_cast<QPushButton*>(children[i])) {
        QCOMPARE(button->text(), texts[i]);
      }
    }
    auto* date = dialog.findChild<QDateEdit*>(QStringLiteral("date"));
    QVERIFY(!date->calendarPopup());
    QCOMPARE(date->buttonSymbols(), QAbstractSpinBox::UpDownArrows);
    // The buttons stand in one row, left to right; the label is between the
    // row and the list, and the list takes most of the window.
    QWidget* row[] = {children[0], children[1], children[2], children[3], children[4]};
    for (int i = 1; i < 5; ++i) {
      QCOMPARE(row[i]->y(), row[0]->y());
      QVERIFY(row[i]->x() > row[i - 1]->x() + row[i - 1]->width());
    }
    QWidget* exportButton = children[5];
    QWidget* list = children[6];
    QWidget* labelWidget = children[7];
    QVERIFY(labelWidget->y() >= row[0]->y() + row[0]->height());
    QVERIFY(list->y() >= labelWidget->y() + labelWidget->height());
    // Export stands under Update, beside the label, above the list.
    QCOMPARE(exportButton->x(), row[4]->x());
    QCOMPARE(exportButton->width(), row[4]->width());
    QVERIFY(exportButton->y() >= row[4]->y() + row[4]->height());
    QVERIFY(list->y() >= exportButton->y() + exportButton->height());
    QVERIFY(labelWidget->x() + labelWidget->width() < exportButton->x());
    QVERIFY(list->height() > dialog.height() * 3 / 4);
    // Growing the window grows the list, not the buttons.
    dialog.show();
    QSize listBefore = list->size();
    QRect updateBefore = row[4]->geometry();
    dialog.resize(dialog.width() + 50, dialog.height() + 40);
    QCOMPARE(list->size(), listBefore + QSize(50, 40));
    QCOMPARE(row[4]->geometry(), updateBefore);
    // The desktop's font, not the Windows template's.
    QCOMPARE(dialog.font(), QApplication::font());
  }

  void datesMoveWithoutRefreshingTheList_data() {
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("three days ahead") << QDate(2005, 7, 7) << ">>>" << QDate(2005, 7, 10);
    QTest::newRow("back into a leap day") << QDate(2004, 3, 1) << "<" << QDate(2004, 2, 29);
    QTest::newRow("back past a leap day") << QDate(2004, 3, 1) << "<<" << QDate(2004, 2, 28);
    QTest::newRow("no leap day in 1900") << QDate(1900, 3, 1) << "<" << QDate(1900, 2, 28);
    QTest::newRow("into the next year") << QDate(2005, 12, 31) << ">" << QDate(2006, 1, 1);
    QTest::newRow("into the last year") << QDate(2006, 1, 1) << "<" << QDate(2005, 12, 31);
    QTest::newRow("there and back") << QDate(2005, 1, 31) << "><" << QDate(2005, 1, 31);
    QTest::newRow("today") << QDate(2005, 7, 7) << ">>T" << QDate(2005, 7, 7);
    QTest::newRow("today then on") << QDate(2005, 7, 7) << "<T>" << QDate(2005, 7, 8);
  }
  void datesMoveWithoutRefreshingTheList() {
    QFETCH(QDate, start);
    QFETCH(QString, buttons);
    QFETCH(QDate, expected);
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", kEchoEngine),
                               fixedClock(start.day(), start.month(), start.year()));
    dialog.show();
    QVERIFY(settle(dialog));
    QStringList before = items(dialog);
    QString labelBefore = label(dialog);
    for (QChar c : buttons) click(dialog, c == '<' ? "back" : c == '>' ? "forward" : "today");
    QCOMPARE(picked(dialog), expected);
    QCOMPARE(items(dialog), before);
    QCOMPARE(label(dialog), labelBefore);
  }

  void updateShowsTheDateThreeDaysAhead() {
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", kEchoEngine), fixedClock(7, 7, 2005));
    dialog.show();
    for (int i = 0; i < 3; ++i) click(dialog, "forward");
    click(dialog, "update");
    QVERIFY(settle(dialog));
    QCOMPARE(picked(dialog), QDate(2005, 7, 10));
    QCOMPARE(label(dialog), QStringLiteral("Sunday 10 July 2005"));
    QCOMPARE(items(dialog), QStringList({"-b 7 -a 14 10 jul 2005", "  ---today---  : Birthday"}));
  }

  void enterRunsUpdateAndEscapeKeepsTheWindow() {
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", kEchoEngine), fixedClock(28, 2, 2004));
    dialog.show();
    click(dialog, "forward");
    QTest::keyClick(dialog.findChild<QDateEdit*>(QStringLiteral("date")), Qt::Key_Return);
    QVERIFY(settle(dialog));
    QCOMPARE(label(dialog), QStringLiteral("Sunday 29 February 2004"));
    QCOMPARE(items(dialog).value(0), QStringLiteral("-b 7 -a 14 29 feb 2004"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
  }

  void missingEngineShowsTheTwoErrorLines() {
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.missing(), fixedClock(7, 7, 2005));
    QVERIFY(settle(dialog));
    QCOMPARE(items(dialog),
             QStringList({"Error executing pendcal", QString::fromStdString(engines.missing())}));
    QCOMPARE(label(dialog), QStringLiteral("Thursday 7 July 2005"));
  }

  void emptyReportGivesAnEmptyList() {
    StandInEngines engines;
    std::string path = engines.write("pendcal", "echo \"$@\"\n");
    gui::ReminderDialog dialog(path, fixedClock(7, 7, 2005));
    dialog.show();
    QVERIFY(settle(dialog));
    QCOMPARE(items(dialog).size(), 1);
    engines.write("pendcal", "exit 0\n");  // nothing in the window now
    click(dialog, "update");
    QVERIFY(settle(dialog));
    QVERIFY(items(dialog).isEmpty());
    QCOMPARE(label(dialog), QStringLiteral("Thursday 7 July 2005"));
  }

  void reportLinesOnePerItem_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("lines") << "printf 'thu  7 jul 2005: Birthday\\n\\nfri  8 jul 2005: Pay "
                              "day\\r\\nlast'\n"
                           << QStringList({"thu  7 jul 2005: Birthday", "",
                                           "fri  8 jul 2005: Pay day", "last"});
    QTest::newRow("utf-8") << QString::fromUtf8("echo 'Café с Иваном'\n")
                           << QStringList({QString::fromUtf8("Café с Иваном")});
    QTest::newRow("killed") << "echo partial; kill -9 $$\n"
                            << QStringList({"partial", "(pendcal ended by signal 9)"});
    QTest::newRow("odd status") << "exit 3\n" << QStringList({"(pendcal exited with status 3)"});
  }
  void reportLinesOnePerItem() {
    QFETCH(QString, body);
    QFETCH(QStringList, expected);
    StandInEngines engines;
    gui::ReminderDialog dialog(engines.write("pendcal", body.toStdString()),
                               fixedClock(7, 7, 2005));
    QVERIFY(settle(dialog));
    QCOMPARE(items(dialog), expected);
  }

  void windowAnswersWhileTheEngineLoops() {
    StandInEngines engines;
    std::string pids = engines.directory() + "pids";
    std::string path =
        engines.write("pendcal", "echo $$ >> \"" + pids + "\"; while :; do :; done\n");
    QElapsedTimer timer;
    timer.start();
    gui::ReminderDialog dialog(path, fixedClock(7, 7, 2005));
    dialog.show();
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(dialog.busy());
    QVERIFY(!dialog.findChild<QListWidget*>(QStringLiteral("list"))->isEnabled());
    QCOMPARE(dialog.cursor().shape(), Qt::BusyCursor);
    QVERIFY(QTest::qWaitFor([&] { return pidsIn(pids).size() == 1; }, 5000));
    // Update stops the old run and starts a new one.
    click(dialog, "update");
    QVERIFY(QTest::qWaitFor([&] { return pidsIn(pids).size() == 2; }, 5000));
    QVERIFY(!running(pidsIn(pids)[0]));
    QVERIFY(running(pidsIn(pids)[1]));
    QVERIFY(dialog.busy());
    // Closing the window stops and reaps the engine.
    dialog.close();
    QVERIFY(!dialog.busy());
    QVERIFY(!running(pidsIn(pids)[1]));
    QCOMPARE(dialog.cursor().shape(), Qt::ArrowCursor);
  }

  void timeLimitEndsTheRun() {
    StandInEngines engines;
    std::string path = engines.write("pendcal", "echo started; while :; do :; done\n");
    qputenv("PENDRA_TIMEOUT", "0.3");
    gui::ReminderDialog dialog(path, fixedClock(7, 7, 2005));
    qunsetenv("PENDRA_TIMEOUT");
    QVERIFY(settle(dialog));
    QCOMPARE(items(dialog),
             QStringList({"started", "(pendcal stopped at the time limit of 0.3 s)"}));
    QVERIFY(dialog.findChild<QListWidget*>(QStringLiteral("list"))->isEnabled());
  }

  void exportWritesTheCalendar_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("chosen");  // relative to the engine's directory
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("list");  // after the export; "report" is Update's line
    // The arguments, a calendar on standard output, a message on standard
    // error that must stay out of the file.
    const char* calendar =
        "printf '%s\\r\\nBEGIN:VCALENDAR\\r\\nEND:VCALENDAR\\r\\n' \"$*\"\n"
        "echo 'pendra.pnd(2): error: not an action' >&2\n";
    QByteArray content = "-i -b 7 -a 14 7 jul 2005\r\nBEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n";
    QTest::newRow("written") << calendar << "cal.ics"
                             << "cal.ics" << content << QStringList({"report"});
    QTest::newRow("suffix added") << calendar << "cal"
                                  << "cal.ics" << content << QStringList({"report"});
    QTest::newRow("cancelled") << calendar << ""
                               << "cal.ics" << QByteArray() << QStringList({"report"});
    QTest::newRow("failed") << "echo 'fatal error: cannot open pendra.pnd' >&2; exit 1\n"
                            << "cal.ics"
                            << "cal.ics" << QByteArray()
                            << QStringList({"fatal error: cannot open pendra.pnd",
                                            "(nothing written to DIR/cal.ics)"});
  }
  void exportWritesTheCalendar() {
    QFETCH(QString, body);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, list);
    StandInEngines engines;
    QString directory = QString::fromStdString(engines.directory());
    std::string path = engines.write(
        "pendcal", "[ \"$1\" = -i ] || { echo report; exit; }\n" + body.toStdString());
    gui::ReminderDialog dialog(path, fixedClock(7, 7, 2005));
    QVERIFY(settle(dialog));
    dialog.setSaveChooser([&] { return chosen.isEmpty() ? QString() : directory + chosen; });
    click(dialog, "export");
    QVERIFY(settle(dialog));
    QFile file(directory + written);
    if (content.isEmpty()) {
      QVERIFY(!file.exists());
    } else {
      QVERIFY(file.open(QIODevice::ReadOnly));
      QCOMPARE(file.readAll(), content);
    }
    list.replaceInStrings(QStringLiteral("DIR/"), directory);
    QCOMPARE(items(dialog), list);
  }

  void realEngineReport() {
    // pendcal finds its reminder file under USERPROFILE.
    StandInEngines home;
    {
      std::ofstream file(home.directory() + "pendra.pnd");
      file << "jul 7 remind [Birthday].\nfri remind [Pay day].\njul 20 remind [Too late].\n";
    }
    QByteArray saved = qgetenv("USERPROFILE");
    qputenv("USERPROFILE", QByteArray::fromStdString(home.directory()));
    gui::ReminderDialog dialog(PENDCAL_PATH, fixedClock(10, 7, 2005));
    bool settled = settle(dialog);  // the engine starts on another thread
    qputenv("USERPROFILE", saved);
    QVERIFY(settled);
    // 3 July to 24 July 2005: three Fridays, the birthday and the 20th.
    QCOMPARE(items(dialog), QStringList({"thu  7 jul 2005: Birthday", "fri  8 jul 2005: Pay day",
                                         "fri 15 jul 2005: Pay day", "wed 20 jul 2005: Too late",
                                         "fri 22 jul 2005: Pay day"}));
  }
};

QTEST_MAIN(ReminderDialogTest)
#include "reminder_dialog_test.moc"
