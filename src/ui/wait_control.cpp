// SPDX-License-Identifier: MIT
#include "ui/wait_control.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "net/async_socket.h"
#include "ui/latin1_text.h"

namespace {

constexpr win::UINT_PTR kCountdownTimer = 1;
constexpr win::UINT kShortestInterval = 10;  // a zero interval would turn the wait into a spin

// While installed on the application, key presses and left or right clicks anywhere only beep.
class InputSwallower : public QObject {
 public:
  InputSwallower() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputSwallower() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ShortcutOverride:
        event->accept();  // no shortcut fires; the key then comes as a KeyPress, which beeps
        return true;
      case QEvent::KeyPress:
        return Swallow();
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        return (button == Qt::LeftButton || button == Qt::RightButton) && Swallow();
      }
      default:
        return false;
    }
  }

 private:
  static bool Swallow() {
    QApplication::beep();
    return true;
  }
};

// Rectangle with GDI's corners: the right and bottom edges lie outside the shape.
void Rectangle(QPainter& canvas, int left, int top, int right, int bottom) {
  if (right - left < 1 || bottom - top < 1) return;
  canvas.drawRect(left, top, right - left - 1, bottom - top - 1);
}

}  // namespace

WaitControl::WaitControl(QWidget* Owner) : QWidget(Owner), FTimerWindow(win::CreateMessageWindow(*this)) {
  resize(192, 32);
  FFont.setFamily("Courier");
  FFont.setPointSize(8);
  FFont.setFixedPitch(true);
  FFont.setStyleHint(QFont::Monospace);
  FBrush.setStyle(Qt::SolidPattern);
}

WaitControl::~WaitControl() { win::DestroyMessageWindow(FTimerWindow); }

void WaitControl::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM) {
  if (message == win::WM_TIMER && wParam == kCountdownTimer) TimerTick();
}

void WaitControl::SetTimerEnabled(bool Enabled) {
  FRunning = Enabled;
  if (Enabled) {
    win::SetTimer(FTimerWindow, kCountdownTimer, std::max<win::UINT>(FInterval, kShortestInterval));
  } else {
    win::KillTimer(FTimerWindow, kCountdownTimer);
  }
}

void WaitControl::SetInterval(std::uint16_t Value) {
  FInterval = Value;
  if (FRunning) SetTimerEnabled(true);  // restarts with the new period
}

void WaitControl::SetCaption(const std::string& Value) {
  FCaption = Value;
  update();
}

void WaitControl::Start() {
  InitialCount = ParseDecimal(FCaption);
  if (InitialCount == 0) {
    InitialCount = 15;
    SetCaption("15");
  }
  SetTimerEnabled(true);
  if (OnWaitStart) OnWaitStart(this);
}

void WaitControl::Stop() {
  ModalResult = mrStopped;
  SetTimerEnabled(false);
  ResetCount();
  if (OnWaitStop) OnWaitStop(this);
}

void WaitControl::TimerTick() {
  const std::int64_t left = std::int64_t{ParseDecimal(FCaption)} - 1;
  if (OnWait) OnWait(this, static_cast<std::int32_t>(left));
  if (left > 0) {
    SetCaption(std::to_string(left));
    return;
  }
  SetTimerEnabled(false);
  ModalResult = mrTimedOut;
  ResetCount();
  if (OnTimeout) OnTimeout(this);
}

void WaitControl::RunModal() {
  InputSwallower swallower;
  ModalResult = mrNone;
  Start();
  while (Running()) {
    if (OnWaiting) OnWaiting(this);
    win::WaitMessages();
  }
}

void WaitControl::ResetCount() { SetCaption(std::to_string(InitialCount)); }

// A white box, and a highlighted bar that shrinks from the full inner width as the seconds run
// down, with the seconds written over it.
void WaitControl::paintEvent(QPaintEvent*) {
  const int w = width();
  const int h = height();
  const auto bar = static_cast<int>(std::int64_t{ParseDecimal(FCaption)} * (w - 7) / InitialCount);
  QPainter canvas(this);
  canvas.setPen(FPen);
  canvas.setFont(FFont);
  FBrush.setColor(Qt::white);
  canvas.setBrush(FBrush);
  Rectangle(canvas, 0, 0, w - 1, h - 1);
  FBrush.setColor(palette().color(QPalette::Highlight));
  canvas.setBrush(FBrush);
  Rectangle(canvas, 3, 3, bar + 3, h - 4);
  canvas.drawText(4, h / 2 - 8 + canvas.fontMetrics().ascent(), TextFromBytes(FCaption));
}
