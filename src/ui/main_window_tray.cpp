// SPDX-License-Identifier: MIT
// The main window in the notification area: the tray icon and its menu, going there on minimise
// and coming back.

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QMenu>
#include <QWindowStateChangeEvent>

#include "ui/components/application_errors.h"
#include "ui/components/letter_icons.h"
#include "ui/main_window.h"

// The icon waits, inactive, with the new-mail picture until the first minimise. A single left
// click restores the window, as a double click does through the default item (Restore): tray
// hosts that report no double clicks leave the single click as the mouse's only way back. A
// middle click does nothing; OnDblClick stays unassigned.
void MainWindow::BuildTray() {
  trayMenu = new QMenu(this);
  trayMenu->setObjectName(QStringLiteral("trayMenu"));
  restoreAction = trayMenu->addAction(tr("&Restore"));
  trayMenu->setDefaultAction(restoreAction);  // drawn bold
  checkNowAction = trayMenu->addAction(tr("&Check Now"));
  autoCheckAction = trayMenu->addAction(tr("&Enabled"));
  autoCheckAction->setCheckable(true);
  autoCheckAction->setChecked(autoCheckBox->isChecked());
  closeAction = trayMenu->addAction(tr("C&lose"));

  trayIcon.SetActive(false);
  AddLetterIcons(trayIcon.Icons());
  trayIcon.SetIcon(trayIcon.Icons().Icon(kIconNewMail));
  trayIcon.SetPopupMenu(trayMenu);
  trayIcon.OnClick = [this](TrayIcon*, MouseButton button, ShiftState, int, int) {
    if (button == mbLeft) RestoreFromTray();
  };
}

// The item has already inverted its own check mark when this runs.
void MainWindow::TrayAutoCheckToggled() { autoCheckBox->setChecked(autoCheckAction->isChecked()); }

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  if (isMinimized() && !(change->oldState() & Qt::WindowMinimized))
    RunReportingErrors([this] { Minimized(); });
}

// Without a notification area to take the icon the window stays an ordinary minimised one:
// hiding it would leave nothing to bring it back with. The window is hidden once the minimise
// has ended (showMinimized shows it again after this), unless it was restored meanwhile.
void MainWindow::Minimized() {
  trayIcon.SetIcon(trayIcon.Icons().Icon(session_.State.NewMailCount > 0 ? kIconNewMail : kIconNoMail));
  trayIcon.SetActive(true);
  if (!trayIcon.InTray()) {
    trayIcon.SetActive(false);
    return;
  }
  QMetaObject::invokeMethod(
      this, [this] { if (trayIcon.InTray()) hide(); }, Qt::QueuedConnection);
}

void MainWindow::RestoreFromTray() {
  showNormal();
  trayIcon.SetActive(false);
  raise();
  activateWindow();
}

// The aborted request's error reaches the check cycle that waits for it, not this close.
void MainWindow::CloseFromTray() {
  AbortRequest();
  close();
}

// Checks hold their message boxes back only while the icon really is in the notification area.
bool MainWindow::TrayActive() const { return trayIcon.InTray(); }
