#include "gui/qt/tray.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <cstdio>
#include <utility>

#include "gui/safe_write.h"

namespace gui {
namespace {

constexpr char kLockFile[] = "tray.lock";
// ${VARIABLE}, or ~/fallback when it is unset or not absolute.
QString xdgDirectory(const char* variable, const char* fallback) {
  QString value = qEnvironmentVariable(variable);
  if (value.isEmpty() || !QDir::isAbsolutePath(value)) value = QDir::homePath() + '/' + fallback;
  return value;
}

QString autostartPath() {
  return xdgDirectory("XDG_CONFIG_HOME", ".config") + "/autostart/pendra.desktop";
}

// One tray per state folder: the socket's name comes from the folder's path.
QString serverName(const QString& stateDir) {
  QByteArray hash = QCryptographicHash::hash(stateDir.toUtf8(), QCryptographicHash::Sha1);
  return "pendra-tray-" + QString::fromLatin1(hash.toHex().left(16));
}

// The Exec value of a desktop entry for this program: its name alone when
// PATH finds this very program, else its path, quoted as the entry wants.
QString execCommand() {
  const QString self = QCoreApplication::applicationFilePath();
  const QString found = QStandardPaths::findExecutable("pendra");
  if (!found.isEmpty() &&
      QFileInfo(found).canonicalFilePath() == QFileInfo(self).canonicalFilePath())
    return "pendra";
  QString quoted;
  // The quoting rule's backslash is itself escaped as the entry's strings are.
  for (QChar c : self) {
    if (c == '\\') {
      quoted += "\\\\\\\\";
      continue;
    }
    if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
    quoted += c;
  }
  return '"' + quoted + '"';
}

QString autostartEntry() {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Pendra reminders\n"
         "Comment=Desktop notifications for the day's reminders\n"
         "Exec=" +
         execCommand() +
         " --tray\n"
         "Icon=pendra\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

// Writes the file whole, making its folder first if need be.
bool saveFile(const std::string& path, const std::string& bytes, std::string* why) {
  if (!makeDirectories(parentDirectory(path), why)) return false;
  WriteResult written = createFile(path, bytes);
  *why = written.reason;
  return written.ok;
}

// Asks the tray that holds the lock to show the window. It may still be
// starting, so a refused connection is tried again for a few seconds.
bool askRunningTray(const QString& name) {
  for (int attempt = 0; attempt < 25; ++attempt) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(1000)) {
      socket.write("show\n");
      bool written = socket.waitForBytesWritten(1000);
      socket.disconnectFromServer();
      return written;
    }
    QThread::msleep(200);
  }
  return false;
}

}  // namespace

Tray::Tray(QString enginePath, QString stateDir)
    : enginePath_(std::move(enginePath)),
      stateDir_(std::move(stateDir)),
      lock_(stateDir_ + '/' + kLockFile),
      notifier_(&icon_) {
  midnight_.setSingleShot(true);
  // A coarse timer may fire minutes early over a day's interval.
  midnight_.setTimerType(Qt::PreciseTimer);
}

Tray::~Tray() {
  if (job_) job_->stop();
  if (worker_.joinable()) worker_.join();
}

bool Tray::start() {
  QDir().mkpath(stateDir_);
  // Only a lock whose process is gone is stale: a crashed tray frees it.
  lock_.setStaleLockTime(0);
  if (!lock_.tryLock(0)) return false;

  const QString name = serverName(stateDir_);
  QLocalServer::removeServer(name);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(name))
    std::fprintf(stderr, "pendra --tray: %s\n", qPrintable(server_.errorString()));
  connect(&server_, &QLocalServer::newConnection, this, &Tray::onNewConnection);

  // Built in: the installed theme icon is an SVG, which needs a Qt plugin
  // that may be missing.
  icon_.setIcon(QIcon(":/pendra/pendra-64.png"));
  icon_.setToolTip("Pendra");
  connect(menu_.addAction("Open Pendra"), &QAction::triggered, this, &Tray::openWindow);
  connect(menu_.addAction("Update now"), &QAction::triggered, this, &Tray::check);
  startAtLogin_ = menu_.addAction("Start at login");
  startAtLogin_->setCheckable(true);
  connect(startAtLogin_, &QAction::triggered, this, &Tray::toggleStartAtLogin);
  menu_.addSeparator();
  connect(menu_.addAction("Quit"), &QAction::triggered, qApp, &QCoreApplication::quit);
  // The entry's presence is the setting: the user may remove it elsewhere.
  connect(&menu_, &QMenu::aboutToShow, this,
          [this] { startAtLogin_->setChecked(QFile::exists(autostartPath())); });
  startAtLogin_->setChecked(QFile::exists(autostartPath()));
  icon_.setContextMenu(&menu_);
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) openWindow();
  });
  connect(&icon_, &QSystemTrayIcon::messageClicked, this, &Tray::openWindow);
  connect(&notifier_, &Notifier::clicked, this, &Tray::openWindow);
  icon_.show();

  connect(&midnight_, &QTimer::timeout, this, &Tray::check);
  // Resuming from sleep, where logind says so; without a system bus, none.
  QDBusConnection::systemBus().connect("org.freedesktop.login1", "/org/freedesktop/login1",
                                       "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                                       SLOT(onPrepareForSleep(bool)));
  check();
  return true;
}

void Tray::check() {
  if (worker_.joinable()) {
    again_ = true;
    return;
  }
  const pendra::Date today = pendra::today();
  job_ = std::make_unique<EngineJob>(checkRequest(enginePath_.toStdString(), memory_, today));
  EngineJob* job = job_.get();
  worker_ = std::thread([this, job, today] {
    EngineRun run = job->run();
    QMetaObject::invokeMethod(
        this, [this, run = std::move(run), today] { finish(run, today); }, Qt::QueuedConnection);
  });
}

void Tray::finish(const EngineRun& run, const pendra::Date& today) {
  worker_.join();
  job_.reset();
  const TrayOutcome outcome = finishCheck(run, enginePath_.toStdString(), today, &memory_);
  if (!outcome.saveError.empty())
    std::fprintf(stderr, "pendra --tray: cannot save %s\n", outcome.saveError.c_str());
  int sent = 0;
  for (const Notification& notification : outcome.notifications)
    sent += notifier_.send(notification);
  std::fprintf(stderr, "%s\n", checkLogLine(today, sent, outcome.notifications.size()).c_str());
  watcher_.watch(outcome.files);
  armMidnight();
  if (again_) {
    again_ = false;
    check();
  }
}

void Tray::armMidnight() {
  const QDateTime now = QDateTime::currentDateTime();
  // Two seconds past, so that the date has surely turned.
  const QDateTime next(now.date().addDays(1), QTime(0, 0, 2));
  midnight_.start(static_cast<int>(std::max<qint64>(now.msecsTo(next), 1000)));
}

void Tray::toggleStartAtLogin(bool on) {
  const QString path = autostartPath();
  std::string why;
  if (on) {
    if (!saveFile(path.toStdString(), autostartEntry().toStdString(), &why))
      std::fprintf(stderr, "pendra --tray: cannot write %s: %s\n", qPrintable(path), why.c_str());
  } else if (QFile::exists(path) && !QFile::remove(path)) {
    std::fprintf(stderr, "pendra --tray: cannot remove %s\n", qPrintable(path));
  }
  startAtLogin_->setChecked(QFile::exists(path));
}

void Tray::openWindow() {
  QProcess::startDetached(QCoreApplication::applicationFilePath(), QStringList());
}

void Tray::onNewConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains("show")) openWindow();
    });
  }
}

void Tray::onPrepareForSleep(bool sleeping) {
  if (!sleeping) check();
}

int runTray(QApplication& app) {
  app.setQuitOnLastWindowClosed(false);
  const QString stateDir = QString::fromStdString(parentDirectory(notifyStatePath()));
  Tray tray(QString::fromStdString(enginePath()), stateDir);
  if (tray.start()) return app.exec();
  if (askRunningTray(serverName(stateDir))) {
    std::fprintf(stderr, "pendra --tray: already running; it shows the window\n");
    return 0;
  }
  std::fprintf(stderr, "pendra --tray: another tray holds %s/%s but does not answer\n",
               qPrintable(stateDir), kLockFile);
  return 1;
}

}  // namespace gui
