// Watches the reminder file and every file it included, and calls back
// once, about half a second after the last change. Editors that save by
// writing a new file and renaming it over the old one replace the file the
// system was watching; the file's directory is watched as well, so such a
// save is seen and the new file watched in turn.
#ifndef PENDRA_GUI_QT_FILE_WATCHER_H_
#define PENDRA_GUI_QT_FILE_WATCHER_H_

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace gui {

class FileWatcher : public QObject {
 public:
  // Changes closer together than this count as one.
  static constexpr int kQuietMilliseconds = 500;

  explicit FileWatcher(std::function<void()> changed, QObject* parent = nullptr);

  // Watches exactly these files (UTF-8 paths) from now on; a file that does
  // not exist yet is seen when it appears.
  void watch(const std::vector<std::string>& files);

  // The files being watched, as given.
  QStringList files() const { return stamps_.keys(); }

  // True while a change waits out the quiet time.
  bool pending() const { return quiet_.isActive(); }

 private:
  // What tells one version of a file from the next.
  struct Stamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    quint64 inode = 0;
    bool operator==(const Stamp&) const = default;
  };
  static Stamp stampOf(const QString& file);

  // Something in a watched file or directory changed: re-arms the watch of
  // any file that was replaced and starts the quiet time if one changed
  // (always when the system said a watched file changed).
  void look(bool fileChanged);

  std::function<void()> changed_;
  QFileSystemWatcher system_;
  QMap<QString, Stamp> stamps_;
  QTimer quiet_;
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_FILE_WATCHER_H_
