// SPDX-License-Identifier: MIT
#include "ui/components/letter_icons.h"

#include <QString>

#include "ui/components/icon_list.h"

namespace {

// The sizes drawn by icons/draw_letter_icons.py; QIcon scales from the nearest for others.
constexpr int kDrawnSizes[] = {16, 22, 24, 32, 48, 64};

QIcon LoadDrawn(const char* name) {
  QIcon icon;
  for (int size : kDrawnSizes) {
    icon.addFile(QStringLiteral(":/vexmira/icons/%1-%2.png").arg(QLatin1String(name)).arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace

QIcon NewMailIcon() { return LoadDrawn("newmail"); }

QIcon NoMailIcon() { return LoadDrawn("nomail"); }

void AddLetterIcons(IconList& list) {
  list.BeginUpdate();
  list.Add(NewMailIcon());
  list.Add(NoMailIcon());
  list.EndUpdate();
}
