// The parts of the Qt window that keep a reminder file: the file watcher,
// the midnight timer, the problems list, the Add form and the welcome.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "gui/first_run.h"
#include "gui/qt/add_dialog.h"
#include "gui/qt/calendar_window.h"
#include "gui/qt/file_watcher.h"
#include "gui/qt/midnight_timer.h"
#include "gui/qt/problems_view.h"
#include "gui/qt/reminder_keeper.h"
#include "gui/qt/welcome_widget.h"
#include "stand_in_engines.h"

namespace {

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// An Add form over file with the text typed in; no engine behind it.
struct Form {
  explicit Form(const QString& file, std::vector<std::string> listed = {})
      : dialog("/nonexistent/pendcal", file.toStdString(), std::move(listed),
               pendra::Date(8, 12, 2026)) {}
  void type(const QString& text, int repeat = 0, int before = 0) {
    dialog.findChild<QLineEdit*>(QStringLiteral("text"))->setText(text);
    dialog.findChild<QComboBox*>(QStringLiteral("repeat"))->setCurrentIndex(repeat);
    dialog.findChild<QSpinBox*>(QStringLiteral("daysBefore"))->setValue(before);
  }
  gui::AddDialog dialog;
};

}  // namespace

class EditingWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void watcherSeesEveryKindOfSave_data() {
    QTest::addColumn<QString>("save");
    QTest::newRow("written in place") << "in place";
    QTest::newRow("renamed over") << "rename";
    QTest::newRow("removed and written anew") << "remove";
  }
  void watcherSeesEveryKindOfSave() {
    QFETCH(QString, save);
    QTemporaryDir directory;
    QString file = directory.filePath(QStringLiteral("pendra.pnd"));
    QString other = directory.filePath(QStringLiteral("other.pnd"));
    QVERIFY(writeAll(file, "1 jan remind [A].\n"));
    QVERIFY(writeAll(other, "2 jan remind [B].\n"));
    int calls = 0;
    gui::FileWatcher watcher([&] { ++calls; });
    watcher.watch({file.toStdString(), other.toStdString()});
    // Twice, so a save that replaced the file did not end the watching.
    for (int round = 1; round <= 2; ++round) {
      QByteArray bytes = "1 jan remind [A" + QByteArray::number(round) + "].\n";
      if (save == "rename") {
        QString fresh = directory.filePath(QStringLiteral("pendra.pnd.tmp"));
        QVERIFY(writeAll(fresh, bytes));
        QVERIFY(std::rename(QFile::encodeName(fresh), QFile::encodeName(file)) == 0);
      } else {
        if (save == "remove") QVERIFY(QFile::remove(file));
        QVERIFY(writeAll(file, bytes));
      }
      QVERIFY(QTest::qWaitFor([&] { return calls == round; }, 10000));
      QVERIFY(!watcher.pending());
    }
    // A file beside them that is not watched changes nothing.
    QVERIFY(writeAll(directory.filePath(QStringLiteral("pendra.pnd~")), "x"));
    QTest::qWait(gui::FileWatcher::kQuietMilliseconds * 2);
    QCOMPARE(calls, 2);
  }

  void watcherTakesABurstAsOneChange() {
    QTemporaryDir directory;
    QString file = directory.filePath(QStringLiteral("pendra.pnd"));
    QVERIFY(writeAll(file, ""));
    int calls = 0;
    gui::FileWatcher watcher([&] { ++calls; });
    watcher.watch({file.toStdString()});
    for (int i = 0; i < 5; ++i) QVERIFY(writeAll(file, QByteArray(i + 1, 'x')));
    QVERIFY(QTest::qWaitFor([&] { return calls > 0; }, 10000));
    QTest::qWait(gui::FileWatcher::kQuietMilliseconds * 2);
    QCOMPARE(calls, 1);
  }

  void midnightMovesTodayOnce() {
    pendra::Date now(31, 12, 2026);
    std::vector<std::pair<pendra::Date, pendra::Date>> changes;
    gui::MidnightTimer timer([&] { return now; },
                             [&](const pendra::Date& from, const pendra::Date& to) {
                               changes.push_back({from, to});
                             });
    timer.check();
    QVERIFY(changes.empty());
    now = pendra::Date(1, 1, 2027);
    timer.check();
    timer.check();
    QCOMPARE(changes.size(), size_t{1});
    QCOMPARE(changes[0].first.year, 2026u);
    QCOMPARE(changes[0].second.year, 2027u);
    QCOMPARE(int{timer.today().month}, 1);
    int wait = gui::MidnightTimer::nextCheckIn();
    QVERIFY(wait > 0 && wait <= 60 * 1000);
  }

  void problemsListedWithTheirPlace_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::newRow("none") << 0 << "\u2713 No problems";
    QTest::newRow("one") << 1 << "pendra.pnd(3): error: not an action";
    QTest::newRow("two") << 2 << "pendra.pnd(3): error: not an action";
  }
  void problemsListedWithTheirPlace() {
    QFETCH(int, count);
    QFETCH(QString, first);
    std::vector<gui::Problem> all = {
        {"/home/a/pendra.pnd", 3, "error: not an action", ""},
        {"", 0, "Error executing pendcal", "/usr/bin/pendcal"},
    };
    gui::ProblemsView view;
    std::vector<std::pair<std::string, int>> opened;
    view.setOpen([&](const std::string& file, int line) { opened.push_back({file, line}); });
    view.setProblems({all.begin(), all.begin() + count});
    QCOMPARE(view.item(0)->text(), first);
    QCOMPARE(view.count(), count == 0 ? 1 : count);
    // Enter on each row: only a problem with a file opens the editor.
    view.show();
    for (int row = 0; row < view.count(); ++row) {
      view.setCurrentRow(row);
      QTest::keyClick(&view, Qt::Key_Return);
    }
    std::vector<std::pair<std::string, int>> expected;
    if (count > 0) expected.push_back({"/home/a/pendra.pnd", 3});
    QCOMPARE(opened, expected);
  }

  void addAppendsInTheFilesOwnLineEnds_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    const QByteArray entry = "second tue previous 2 days remind [Pay \\[rent\\]].";
    QTest::newRow("CR LF") << QByteArray("1 jan remind [A].\r\n")
                           << "1 jan remind [A].\r\n" + entry + "\r\n";
    QTest::newRow("no final line end")
        << QByteArray("1 jan remind [A].") << "1 jan remind [A].\n" + entry + "\n";
  }
  void addAppendsInTheFilesOwnLineEnds() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir directory;
    QString file = directory.filePath(QStringLiteral("pendra.pnd"));
    QVERIFY(writeAll(file, before));
    Form form(file);
    form.type(QStringLiteral("Pay [rent]"), 3, 2);
    QCOMPARE(form.dialog.entryPreview(),
             QStringLiteral("second tue previous 2 days remind [Pay \\[rent\\]]."));
    QVERIFY2(form.dialog.write(), qPrintable(form.dialog.message()));
    QCOMPARE(readAll(file), after);
    QCOMPARE(readAll(file + QStringLiteral("~")), before);
    QCOMPARE(form.dialog.result(), int{QDialog::Accepted});
  }

  void addRefusesAndLeavesTheFileAlone_data() {
    QTest::addColumn<QString>("why");
    QTest::addColumn<QString>("message");
    QTest::newRow("changed since read") << "changed"
                                        << "changed on disk since it was read";
    QTest::newRow("read-only") << "read-only"
                               << "pendra.pnd is read-only";
    QTest::newRow("an include") << "include"
                                << "pendra.pnd is included by main.pnd";
  }
  void addRefusesAndLeavesTheFileAlone() {
    QFETCH(QString, why);
    QFETCH(QString, message);
    QTemporaryDir directory;
    QString file = directory.filePath(QStringLiteral("pendra.pnd"));
    QVERIFY(writeAll(file, "1 jan remind [A].\n"));
    if (why == "read-only") QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    std::vector<std::string> listed;
    if (why == "include")
      listed = {directory.filePath(QStringLiteral("main.pnd")).toStdString(), file.toStdString()};
    Form form(file, listed);
    form.type(QStringLiteral("Dentist"));
    QByteArray expected = "1 jan remind [A].\n";
    if (why == "changed") {
      expected = "1 jan remind [Someone else's].\n";
      QVERIFY(writeAll(file, expected));
    }
    QVERIFY(!form.dialog.write());
    QVERIFY2(form.dialog.message().contains(message), qPrintable(form.dialog.message()));
    QCOMPARE(readAll(file), expected);
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("~")));
    QCOMPARE(form.dialog.result(), int{QDialog::Rejected});
  }

  void welcomeCreatesTheStarterFileOnce() {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qunsetenv("USERPROFILE");
    std::vector<std::string> created;
    gui::WelcomeWidget welcome([&](const std::string& file) { created.push_back(file); },
                               [](const std::string&) {});
    QString places = welcome.findChild<QLabel*>(QStringLiteral("places"))->text();
    QVERIFY2(places.contains(home.filePath(QStringLiteral("pendra.pnd"))), qPrintable(places));
    QVERIFY(!places.contains(QStringLiteral("$HOME")));
    welcome.createFile();
    const std::string starter = gui::starterFilePath();
    QCOMPARE(created, std::vector<std::string>{starter});
    QCOMPARE(readAll(QString::fromStdString(starter)),
             QByteArray::fromStdString(gui::starterFileText()));
    // A second press keeps what the user has written since.
    QVERIFY(writeAll(QString::fromStdString(starter), "1 jan remind [Mine].\n"));
    welcome.createFile();
    QCOMPARE(created.size(), size_t{2});
    QCOMPARE(readAll(QString::fromStdString(starter)), QByteArray("1 jan remind [Mine].\n"));
    QVERIFY(welcome.message().isEmpty());
  }

  void keeperShowsTheWelcomeOrTheListAndWatchesTheFiles_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("welcome");
    QTest::addColumn<QStringList>("watched");
    QTest::newRow("no file") << "echo 'usage: pendcal [OPTION] [DATE]'; exit 1" << true
                             << QStringList();
    QTest::newRow("a file and an include") << "printf 'file\\t/r/pendra.pnd\\nfile\\t/r/inc.pnd\\n'"
                                           << false << QStringList({"/r/inc.pnd", "/r/pendra.pnd"});
  }
  void keeperShowsTheWelcomeOrTheListAndWatchesTheFiles() {
    QFETCH(QString, engine);
    QFETCH(bool, welcome);
    QFETCH(QStringList, watched);
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    StandInEngines engines;
    std::string path = engines.write("pendcal", engine.toStdString() + "\n");
    gui::CalendarWindow window(
        path, [] { return pendra::Date(8, 12, 2026); },
        home.filePath(QStringLiteral("pendra.ini")));
    gui::ReminderKeeper keeper(
        &window, path, [] { return pendra::Date(8, 12, 2026); },
        home.filePath(QStringLiteral("pendra.ini")));
    QVERIFY(QTest::qWaitFor([&] { return !window.busy(); }, 10000));
    auto* stack = window.centralStack();
    QCOMPARE(stack->currentWidget() == keeper.welcome(), welcome);
    QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("add"))->isEnabled(), !welcome);
    QStringList files = keeper.watcher()->files();
    files.sort();
    // With no file yet, the places pendcal searches are watched instead.
    if (welcome) QCOMPARE(files.size(), static_cast<qsizetype>(gui::reminderSearchPlaces().size()));
    if (!welcome) QCOMPARE(files, watched);
  }

  void welcomeOpensAChosenFile() {
    std::vector<std::string> opened;
    gui::WelcomeWidget welcome([](const std::string&) {},
                               [&](const std::string& file) { opened.push_back(file); });
    QString answer;
    welcome.setFileChooser([&] { return answer; });
    welcome.openFile();  // cancelled
    QVERIFY(opened.empty());
    answer = QStringLiteral("/tmp/some/../notes.pnd");
    welcome.openFile();
    QCOMPARE(opened, std::vector<std::string>{"/tmp/notes.pnd"});
  }
};

QTEST_MAIN(EditingWidgetsTest)
#include "editing_widgets_test.moc"
