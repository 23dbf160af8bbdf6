// SPDX-License-Identifier: MIT
#pragma once
// The notification area through QSystemTrayIcon.
//
// The desktop reports less than a mouse message per event. What arrives, and how it is passed on:
//   click (Trigger)        -> LeftDown, LeftUp: a whole left click (X11 trays send it at the press)
//   double click           -> LeftDouble (desktops send the first click as a click before it)
//   middle click           -> MiddleDown, MiddleUp
//   context request        -> RightDown, RightUp: a whole right click, which opens the menu
// Never reported: mouse moves over the icon, a press apart from its release, right and middle
// double clicks. Desktops that host the icon over D-Bus (StatusNotifierItem) send no double click
// at all. The cursor position and the keys are read when the notification is handled; where the
// desktop hides the cursor from programs (some Wayland sessions), the menu opens where Qt last
// saw it.

#include <QSystemTrayIcon>

#include "ui/components/tray_shell.h"

class QtTrayShell : public TrayShell {
 public:
  QtTrayShell();
  QtTrayShell(const QtTrayShell&) = delete;
  QtTrayShell& operator=(const QtTrayShell&) = delete;

  bool Add(const TrayNotifyRecord& record) override;
  void Modify(const TrayNotifyRecord& record) override;
  void Delete() override;
  void ShowMenu(QMenu& menu, QPoint at) override;
  QPoint CursorPos() const override;
  ShiftState KeyState() const override;

 private:
  void Activated(QSystemTrayIcon::ActivationReason reason) const;

  QSystemTrayIcon icon_;
  bool menuExported_ = false;
};
