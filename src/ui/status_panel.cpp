// SPDX-License-Identifier: MIT
#include "ui/status_panel.h"

#include <QLabel>

#include "ui/control_look.h"
#include "ui/window_placement.h"

StatusPanel::StatusPanel() : textPanel(new QLabel(this)) {
  setObjectName(QStringLiteral("statusPanel"));
  // A tool window that takes no focus: the Messages window behind it keeps the keyboard. A
  // window manager raises the window the user clicks over the windows it owns, so the panel is
  // kept on top: it must not disappear behind the Messages window while it is shown.
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(293, 106);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  textPanel->setObjectName(QStringLiteral("textPanel"));
  textPanel->setGeometry(1, 1, 291, 104);
  textPanel->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  textPanel->setAlignment(Qt::AlignCenter);
  textPanel->setTextFormat(Qt::PlainText);
  QFont font = DesignFont();
  font.setBold(true);
  font.setPixelSize(13);
  textPanel->setFont(font);
}

// Painted before returning: the request that follows waits in a loop that dispatches events,
// but the panel should not first appear blank.
void StatusPanel::ShowStatus(const QString& text) {
  textPanel->setText(text);
  if (!isVisible()) CentreOnScreen(*this);
  show();
  raise();
  repaint();
}

void StatusPanel::HideStatus() { hide(); }
