#include "gui/qt/notifier.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QSystemTrayIcon>
#include <QVariantMap>

#include "gui/notify_plan.h"

namespace gui {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
// A service that does not answer within this time counts as missing.
constexpr int kCallTimeoutMs = 5000;

}  // namespace

Notifier::Notifier(QSystemTrayIcon* fallback, QObject* parent)
    : QObject(parent), fallback_(fallback) {}

bool Notifier::send(const Notification& notification) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    QDBusInterface service(kService, kPath, kInterface, bus);
    service.setTimeout(kCallTimeoutMs);
    if (!asked_) {
      QDBusReply<QStringList> capabilities = service.call("GetCapabilities");
      asked_ = capabilities.isValid();
      markup_ = asked_ && capabilities.value().contains("body-markup");
    }
    if (!connected_) {
      connected_ = bus.connect(kService, kPath, kInterface, "ActionInvoked", this,
                               SLOT(onActionInvoked(uint, QString)));
    }
    QString body = QString::fromStdString(notification.body());
    if (markup_) body = body.toHtmlEscaped();
    const QStringList actions{"default", "Open Pendra"};
    QDBusReply<uint> reply = service.call(
        "Notify", QStringLiteral("Pendra"), uint(0), QStringLiteral("pendra"),
        QString::fromStdString(notification.title), body, actions, QVariantMap(), int(-1));
    if (reply.isValid()) {
      sent_.insert(reply.value());
      return true;
    }
  }
  if (fallback_ == nullptr || !QSystemTrayIcon::supportsMessages()) return false;
  fallback_->showMessage(QString::fromStdString(notification.title),
                         QString::fromStdString(notification.body()));
  return true;
}

void Notifier::onActionInvoked(uint id, const QString& action) {
  // The signal reaches every client of the service: only our ids count.
  if (action == "default" && sent_.contains(id)) emit clicked();
}

}  // namespace gui
