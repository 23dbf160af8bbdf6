// SPDX-License-Identifier: MIT
#include "ui/components/qt_tray_shell.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QMenu>

namespace {

// Qt hosts the icon over D-Bus (StatusNotifierItem) when a watcher runs, and in an X11 tray
// otherwise; it asks the same question.
bool HostedOverDBus() {
  const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
  return bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

}  // namespace

QtTrayShell::QtTrayShell() {
  QObject::connect(&icon_, &QSystemTrayIcon::activated, &icon_,
                   [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
}

bool QtTrayShell::Add(const TrayNotifyRecord& record) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  menuExported_ = HostedOverDBus();
  Modify(record);
  icon_.show();
  return true;
}

// A desktop that hosts the icon over D-Bus draws the menu itself, from the exported one (the
// host calls no context request then); an X11 tray leaves it to the right click, and a menu set
// here would open twice.
void QtTrayShell::Modify(const TrayNotifyRecord& record) {
  icon_.setIcon(record.icon);
  icon_.setToolTip(record.tip);
  QMenu* exported = menuExported_ ? record.menu : nullptr;
  if (icon_.contextMenu() != exported) icon_.setContextMenu(exported);
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
