// SPDX-License-Identifier: MIT
#include "ui/modal_owner.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<QWidget>& MainWindowForModals() {
  static QPointer<QWidget> mainWindow;
  return mainWindow;
}

QWidget* FrontWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  QWidget* mainWindow = MainWindowForModals();
  return mainWindow && mainWindow->isVisible() ? mainWindow : nullptr;
}

}  // namespace

void SetMainWindowForModals(QWidget* mainWindow) { MainWindowForModals() = mainWindow; }

void MakeModalToFront(QWidget& window) {
  if (window.isVisible()) return;  // shown again while it is open
  QWidget* owner = FrontWindow();
  if (window.parentWidget() != owner) window.setParent(owner, window.windowFlags());
  window.setWindowModality(Qt::WindowModal);
}
