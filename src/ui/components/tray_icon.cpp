// SPDX-License-Identifier: MIT
#include "ui/components/tray_icon.h"

#include <QAction>

#include "ui/components/application_errors.h"
#include "ui/components/qt_tray_shell.h"

TrayIcon::TrayIcon(std::unique_ptr<TrayShell> shell)
    : shell_(shell ? std::move(shell) : std::make_unique<QtTrayShell>()) {
  shell_->SetMouseHandler([this](TrayMouse message) { RunReportingErrors([&] { HandleMouse(message); }); });
  icons_.OnChange = [this] { RefreshIcon(); };
}

TrayIcon::~TrayIcon() {
  icons_.OnChange = nullptr;
  shell_->SetMouseHandler(nullptr);
  RemoveIcon();
}

void TrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    AddIcon();
  } else {
    RemoveIcon();
  }
}

void TrayIcon::SetHint(const QString& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  RefreshIcon();
}

QString TrayIcon::ShortHint(const QString& hint) {
  QString tip = hint.section(QLatin1Char('|'), 0, 0).left(kTrayTipLength);
  // Never leave half of a character that takes two UTF-16 units.
  if (!tip.isEmpty() && tip.back().isHighSurrogate()) tip.chop(1);
  return tip;
}

void TrayIcon::SetIcon(const QIcon& icon) {
  icon_ = icon;
  RefreshIcon();
}

// Each button's press sets its flag and its release turns it into a click, so a release whose
// press came before the latest add or remove makes no click.
void TrayIcon::HandleMouse(TrayMouse message) {
  const QPoint at = shell_->CursorPos();
  const ShiftState keys = shell_->KeyState();
  switch (message) {
    case TrayMouse::Move:
      if (OnMouseMove) OnMouseMove(this, keys, at.x(), at.y());
      break;
    case TrayMouse::LeftDown:
      Press(mbLeft, keys | ssLeft, at);
      leftPressed_ = true;
      break;
    case TrayMouse::LeftUp:
      Release(mbLeft, keys | ssLeft, at, leftPressed_);
      break;
    case TrayMouse::LeftDouble:
      DoubleClickStep();
      Press(mbLeft, keys | ssDouble, at);
      break;
    case TrayMouse::RightDown:
      Press(mbRight, keys | ssRight, at);
      rightPressed_ = true;
      break;
    case TrayMouse::RightUp:
      Release(mbRight, keys | ssRight, at, rightPressed_);
      break;
    case TrayMouse::RightDouble:
      Press(mbRight, keys | ssDouble, at);
      break;
    case TrayMouse::MiddleDown:
      Press(mbMiddle, keys | ssMiddle, at);
      break;
    case TrayMouse::MiddleUp:
      if (OnMouseUp) OnMouseUp(this, mbMiddle, keys | ssMiddle, at.x(), at.y());
      break;
    case TrayMouse::MiddleDouble:
      Press(mbMiddle, keys | ssDouble, at);
      break;
  }
}

void TrayIcon::Press(MouseButton button, ShiftState shift, QPoint at) {
  if (OnMouseDown) OnMouseDown(this, button, shift, at.x(), at.y());
}

void TrayIcon::Release(MouseButton button, ShiftState shift, QPoint at, bool& pressed) {
  if (pressed) {
    pressed = false;
    ClickStep(button, shift, at);
  }
  if (OnMouseUp) OnMouseUp(this, button, shift, at.x(), at.y());
}

void TrayIcon::ClickStep(MouseButton button, ShiftState shift, QPoint at) {
  if (button == mbRight && PopupTrayMenu(at)) return;
  if (OnClick) OnClick(this, button, shift, at.x(), at.y());
}

void TrayIcon::DoubleClickStep() {
  if (!ClickDefaultItem() && OnDblClick) OnDblClick(this);
}

bool TrayIcon::PopupTrayMenu(QPoint at) {
  if (!active_ || !popupMenu_) return false;
  shell_->ShowMenu(*popupMenu_, at);
  return true;
}

// Only a default item among the menu's own items counts, and only while it is enabled.
bool TrayIcon::ClickDefaultItem() {
  if (!active_ || !popupMenu_) return false;
  QAction* item = popupMenu_->defaultAction();
  if (!item || !item->isEnabled() || !popupMenu_->actions().contains(item)) return false;
  item->trigger();
  return true;
}

void TrayIcon::AddIcon() {
  RemoveIcon();
  if (icon_.isNull()) return;
  inTray_ = shell_->Add(FillNotifyRecord());
}

void TrayIcon::RemoveIcon() {
  shell_->Delete();
  inTray_ = false;
  leftPressed_ = false;
  rightPressed_ = false;
}

void TrayIcon::RefreshIcon() {
  if (inTray_) {
    if (icon_.isNull()) {
      RemoveIcon();
    } else {
      shell_->Modify(FillNotifyRecord());
    }
  } else if (active_) {
    AddIcon();
  }
}

TrayNotifyRecord TrayIcon::FillNotifyRecord() const { return {icon_, ShortHint(hint_), popupMenu_}; }
