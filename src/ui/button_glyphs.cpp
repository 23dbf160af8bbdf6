// SPDX-License-Identifier: MIT
#include "ui/button_glyphs.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace {

QIcon Glyph(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  draw(painter);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

QIcon CheckGlyph() {
  return Glyph([](QPainter& p) {
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xFF, 0xF8, 0xDC));
    p.drawRect(1, 3, 13, 9);
    p.drawLine(1, 3, 8, 9);
    p.drawLine(14, 3, 7, 9);
  });
}

QIcon StopGlyph() {
  return Glyph([](QPainter& p) {
    p.setPen(QColor(0x80, 0x00, 0x00));
    p.setBrush(QColor(0xD0, 0x20, 0x20));
    p.drawRect(3, 3, 9, 9);
  });
}

QIcon HeadersGlyph() {
  return Glyph([](QPainter& p) {
    p.setPen(QColor(0x00, 0x00, 0x80));
    for (int y = 3; y <= 12; y += 3) p.drawLine(2, y, 13, y);
  });
}
