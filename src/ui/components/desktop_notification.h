// SPDX-License-Identifier: MIT
#pragma once
// A notification through the session's notification service (org.freedesktop.Notifications, as
// every desktop runs one). Each new one replaces the one shown before, so they never pile up;
// a click on it (its default action) runs the handler. Without a service nothing shows and
// nothing fails: the notification only adds to the tray icon's tooltip.

#include <QObject>
#include <QString>

#include <functional>

class DesktopNotification : public QObject {
  Q_OBJECT

 public:
  explicit DesktopNotification(std::function<void()> onClicked);

  // `title` in bold where the desktop shows it so, `text` below it.
  void Show(const QString& title, const QString& text);

 private slots:
  void ActionInvoked(uint id, const QString& action);

 private:
  std::function<void()> onClicked_;
  uint shownId_ = 0;  // the service's number for the one on show; 0 for none
};
