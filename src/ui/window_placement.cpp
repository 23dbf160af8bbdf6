// SPDX-License-Identifier: MIT
#include "ui/window_placement.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

void CentreOnScreen(QWidget& window) {
  if (const QScreen* screen = window.screen()) {
    const QRect area = screen->availableGeometry();
    window.move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), area).topLeft());
  }
}
