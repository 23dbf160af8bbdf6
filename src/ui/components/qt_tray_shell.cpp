// SPDX-License-Identifier: MIT
#include "ui/components/qt_tray_shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>

QtTrayShell::QtTrayShell() {
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                   [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
}

bool QtTrayShell::Add(const TrayNotifyRecord& record) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  Modify(record);
  icon_.show();
  return true;
}

void QtTrayShell::Modify(const TrayNotifyRecord& record) {
  icon_.setIcon(record.icon);
  icon_.setToolTip(record.tip);
}

void QtTrayShell::Delete() { icon_.hide(); }

// popup() rather than exec(): no nested event loop inside the desktop's notification, and the
// menu closes by itself when the user clicks elsewhere.
void QtTrayShell::ShowMenu(QMenu& menu, QPoint at) { menu.popup(at); }

QPoint QtTrayShell::CursorPos() const { return QCursor::pos(); }

ShiftState QtTrayShell::KeyState() const {
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  ShiftState state = 0;
  if (keys & Qt::ShiftModifier) state |= ssShift;
  if (keys & Qt::AltModifier) state |= ssAlt;
  if (keys & Qt::ControlModifier) state |= ssCtrl;
  return state;
}

void QtTrayShell::Activated(QSystemTrayIcon::ActivationReason reason) const {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      ReportMouse(TrayMouse::LeftDown);
      ReportMouse(TrayMouse::LeftUp);
      break;
    case QSystemTrayIcon::DoubleClick:
      ReportMouse(TrayMouse::LeftDouble);
      break;
    case QSystemTrayIcon::MiddleClick:
      ReportMouse(TrayMouse::MiddleDown);
      ReportMouse(TrayMouse::MiddleUp);
      break;
    case QSystemTrayIcon::Context:
      ReportMouse(TrayMouse::RightDown);
      ReportMouse(TrayMouse::RightUp);
      break;
    case QSystemTrayIcon::Unknown:
      break;
  }
}
