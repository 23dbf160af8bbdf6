// SPDX-License-Identifier: MIT
#pragma once
// TrayIcon: one icon with a tooltip in the desktop's notification area. It turns mouse activity
// on the icon into events, opens PopupMenu on a right click and runs the menu's default item on
// a double click. What the desktop reports is described in qt_tray_shell.h.
//
// Active says whether the icon is wanted; InTray() whether the shell took it. An icon that could
// not be added (no notification area yet) is added again at the next change of Icon, Icons or
// Hint while Active is true.

#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

#include "ui/components/icon_list.h"
#include "ui/components/tray_shell.h"

enum MouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

class TrayIcon;
using TrayNotifyEvent = std::function<void(TrayIcon* Sender)>;
using TrayMouseEvent = std::function<void(TrayIcon* Sender, MouseButton Button, ShiftState Shift, int X, int Y)>;
using TrayMouseMoveEvent = std::function<void(TrayIcon* Sender, ShiftState Shift, int X, int Y)>;

// The shell's tooltip field holds 63 characters and the end mark.
inline constexpr int kTrayTipLength = 63;

class TrayIcon {
 public:
  // Without a shell the desktop's notification area (QtTrayShell) is used. Active starts true,
  // but nothing shows until there is a picture.
  explicit TrayIcon(std::unique_ptr<TrayShell> shell = nullptr);
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  // Takes the icon out of the notification area; raises no event.
  ~TrayIcon();

  bool Active() const { return active_; }
  void SetActive(bool active);
  bool InTray() const { return inTray_; }

  // Only the part before the first "|", cut to kTrayTipLength characters, is shown.
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& hint);
  static QString ShortHint(const QString& hint);

  const QIcon& Icon() const { return icon_; }
  // Always refreshes the shown picture, even when it is the same one.
  void SetIcon(const QIcon& icon);
  IconList& Icons() { return icons_; }
  const IconList& Icons() const { return icons_; }
  void SetIcons(const IconList& icons) { icons_.Assign(icons); }

  // Not owned; forgotten when the menu is destroyed.
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  TrayMouseEvent OnClick;
  TrayNotifyEvent OnDblClick;  // a double click that no default menu item took
  TrayMouseMoveEvent OnMouseMove;
  TrayMouseEvent OnMouseDown;
  TrayMouseEvent OnMouseUp;

 private:
  void HandleMouse(TrayMouse message);
  void Press(MouseButton button, ShiftState shift, QPoint at);
  void Release(MouseButton button, ShiftState shift, QPoint at, bool& pressed);
  void ClickStep(MouseButton button, ShiftState shift, QPoint at);
  void DoubleClickStep();
  bool PopupTrayMenu(QPoint at);
  bool ClickDefaultItem();

  void AddIcon();
  void RemoveIcon();
  void RefreshIcon();
  TrayNotifyRecord FillNotifyRecord() const;

  std::unique_ptr<TrayShell> shell_;
  bool active_ = true;
  bool inTray_ = false;
  bool leftPressed_ = false;
  bool rightPressed_ = false;
  QString hint_;
  QIcon icon_;
  IconList icons_;
  QPointer<QMenu> popupMenu_;
};
