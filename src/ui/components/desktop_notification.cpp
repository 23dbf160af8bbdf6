// SPDX-License-Identifier: MIT
#include "ui/components/desktop_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "vexmira_version.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kServerDefaultTimeout = -1;

}  // namespace

DesktopNotification::DesktopNotification(std::function<void()> onClicked) : onClicked_(std::move(onClicked)) {
  QDBusConnection::sessionBus().connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                        SLOT(ActionInvoked(uint, QString)));
}

// Asynchronous: a service that is slow or missing never holds the window up.
void DesktopNotification::Show(const QString& title, const QString& text) {
  QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral(VEXMIRA_APP_ID)}};
  notify << QStringLiteral("Vexmira") << shownId_ << QStringLiteral(VEXMIRA_APP_ID) << title
         << text.toHtmlEscaped()  // the body may be read as markup
         << QStringList{QStringLiteral("default"), tr("Open")} << hints << kServerDefaultTimeout;
  auto* answer = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(notify), this);
  connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isValid()) shownId_ = reply.value();
    call->deleteLater();
  });
}

void DesktopNotification::ActionInvoked(uint id, const QString& action) {
  if (id == shownId_ && action == QLatin1String("default") && onClicked_) onClicked_();
}
