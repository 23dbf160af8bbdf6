// SPDX-License-Identifier: MIT
#pragma once
// What the tray icon needs of the desktop's notification area: add, modify and delete one icon,
// show a menu, read the cursor and the keyboard, and report mouse activity on the icon.
// QtTrayShell is the desktop's; tests put a recording one in its place.

#include <QIcon>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

class QMenu;

// Mouse notifications about the icon, numbered like the window messages they stand for.
enum class TrayMouse : std::uint16_t {
  Move = 0x200,
  LeftDown = 0x201,
  LeftUp = 0x202,
  LeftDouble = 0x203,
  RightDown = 0x204,
  RightUp = 0x205,
  RightDouble = 0x206,
  MiddleDown = 0x207,
  MiddleUp = 0x208,
  MiddleDouble = 0x209,
};

// Shift state of the mouse events: a set of these bits.
using ShiftState = std::uint8_t;
inline constexpr ShiftState ssShift = 1;
inline constexpr ShiftState ssAlt = 2;
inline constexpr ShiftState ssCtrl = 4;
inline constexpr ShiftState ssLeft = 8;
inline constexpr ShiftState ssRight = 16;
inline constexpr ShiftState ssMiddle = 32;
inline constexpr ShiftState ssDouble = 64;

// What the shell is given with each add and modify.
struct TrayNotifyRecord {
  QIcon icon;
  QString tip;             // already cut to what the shell shows
  QMenu* menu = nullptr;   // the icon's menu, for desktops that draw it themselves
};

class TrayShell {
 public:
  using MouseHandler = std::function<void(TrayMouse)>;

  virtual ~TrayShell() = default;

  // False when the desktop did not take the icon (no notification area).
  virtual bool Add(const TrayNotifyRecord& record) = 0;
  virtual void Modify(const TrayNotifyRecord& record) = 0;
  virtual void Delete() = 0;
  // Opens the menu at a screen position and returns at once; the menu closes by itself.
  virtual void ShowMenu(QMenu& menu, QPoint at) = 0;
  virtual QPoint CursorPos() const = 0;
  // Shift, Alt and Ctrl as they are down now.
  virtual ShiftState KeyState() const = 0;

  void SetMouseHandler(MouseHandler handler) { mouseHandler_ = std::move(handler); }

 protected:
  void ReportMouse(TrayMouse message) const {
    if (mouseHandler_) mouseHandler_(message);
  }

 private:
  MouseHandler mouseHandler_;
};
