#include "gui/qt/file_watcher.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <utility>

namespace gui {

FileWatcher::FileWatcher(std::function<void()> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed)) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(kQuietMilliseconds);
  connect(&quiet_, &QTimer::timeout, this, [this] { changed_(); });
  connect(&system_, &QFileSystemWatcher::fileChanged, this, [this] { look(true); });
  connect(&system_, &QFileSystemWatcher::directoryChanged, this, [this] { look(false); });
}

void FileWatcher::watch(const std::vector<std::string>& files) {
  if (!system_.files().isEmpty()) system_.removePaths(system_.files());
  if (!system_.directories().isEmpty()) system_.removePaths(system_.directories());
  stamps_.clear();
  QSet<QString> directories;
  for (const std::string& file : files) {
    QString path = QString::fromStdString(file);
    stamps_.insert(path, stampOf(path));
    directories.insert(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path)) system_.addPath(path);
  }
  for (const QString& directory : directories)
    if (QFileInfo(directory).isDir()) system_.addPath(directory);
}

FileWatcher::Stamp FileWatcher::stampOf(const QString& file) {
  Stamp stamp;
  QFileInfo info(file);
  if (!info.exists()) return stamp;
  stamp.exists = true;
  stamp.size = info.size();
  stamp.modified = info.lastModified();
  // A rename-save may keep size and second; the new file has its own inode.
  struct stat status;
  if (stat(QFile::encodeName(file).constData(), &status) == 0) stamp.inode = status.st_ino;
  return stamp;
}

void FileWatcher::look(bool fileChanged) {
  bool anyChanged = fileChanged;
  QStringList watched = system_.files();
  for (auto it = stamps_.begin(); it != stamps_.end(); ++it) {
    Stamp now = stampOf(it.key());
    // The system drops the watch of a file that was removed or replaced.
    if (now.exists && !watched.contains(it.key())) system_.addPath(it.key());
    if (!(now == it.value())) {
      it.value() = now;
      anyChanged = true;
    }
  }
  if (anyChanged) quiet_.start();
}

}  // namespace gui
