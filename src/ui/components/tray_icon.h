#pragma once
// TTrayIcon: one icon with a tooltip in the desktop's notification area. It turns mouse activity
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

enum TMouseButton { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

class TTrayIcon;
using TTrayNotifyEvent = std::function<void(TTrayIcon* Sender)>;
using TTrayMouseEvent = std::function<void(TTrayIcon* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TTrayMouseMoveEvent = std::function<void(TTrayIcon* Sender, TShiftState Shift, int X, int Y)>;

// The shell's tooltip field holds 63 characters and the end mark.
inline constexpr int kTrayTipLength = 63;

class TTrayIcon {
 public:
  // Without a shell the desktop's notification area (QtTrayShell) is used. Active starts true,
  // but nothing shows until there is a picture.
  explicit TTrayIcon(std::unique_ptr<TrayShell> shell = nullptr);
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;
  // Takes the icon out of the notification area; raises no event.
  ~TTrayIcon();

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
  TIconList& Icons() { return icons_; }
  const TIconList& Icons() const { return icons_; }
  void SetIcons(const TIconList& icons) { icons_.Assign(icons); }

  // Not owned; forgotten when the menu is destroyed.
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  TTrayMouseEvent OnClick;
  TTrayNotifyEvent OnDblClick;  // a double click that no default menu item took
  TTrayMouseMoveEvent OnMouseMove;
  TTrayMouseEvent OnMouseDown;
  TTrayMouseEvent OnMouseUp;

 private:
  void HandleMouse(TrayMouse message);
  void Press(TMouseButton button, TShiftState shift, QPoint at);
  void Release(TMouseButton button, TShiftState shift, QPoint at, bool& pressed);
  void ClickStep(TMouseButton button, TShiftState shift, QPoint at);
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
  TIconList icons_;
  QPointer<QMenu> popupMenu_;
};
