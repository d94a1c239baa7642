// Desktop notifications: the freedesktop notification service over the
// session bus, or the tray icon's balloon when no service answers.
#ifndef PENDRA_GUI_QT_NOTIFIER_H_
#define PENDRA_GUI_QT_NOTIFIER_H_

#include <QObject>
#include <QSet>
#include <QString>

class QSystemTrayIcon;

namespace gui {

struct Notification;

class Notifier : public QObject {
  Q_OBJECT

 public:
  // fallback shows the balloon when the service is missing; not owned.
  explicit Notifier(QSystemTrayIcon* fallback, QObject* parent = nullptr);

  // Shows one notification; false when neither the service nor the
  // balloon could take it.
  bool send(const Notification& notification);

 signals:
  // The user clicked a notification we sent (or its "Open Pendra" action).
  void clicked();

 private slots:
  void onActionInvoked(uint id, const QString& action);

 private:
  QSystemTrayIcon* fallback_;
  QSet<uint> sent_;         // the ids the service gave our notifications
  bool connected_ = false;  // listening for ActionInvoked
  bool markup_ = false;     // the service reads the body as markup
  bool asked_ = false;      // capabilities were asked for
};

}  // namespace gui

#endif  // PENDRA_GUI_QT_NOTIFIER_H_
