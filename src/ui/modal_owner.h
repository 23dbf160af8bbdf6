// SPDX-License-Identifier: MIT
#pragma once
// The program's modal windows (boxes, the Messages window, the preview, the file chooser) block
// the window they were opened from and that window's owners only: the tray icon and its menu are
// windows of their own and stay usable while any of them is open.

class QWidget;

// The main window, owner of the first modal window opened from it; null when it goes.
void SetMainWindowForModals(QWidget* mainWindow);

// Before `window` is shown: it becomes owned by and modal to the program's window in front (the
// open modal window, else the main window while it is shown). In the tray there is none, and the
// window blocks nothing, as there is nothing to block but the tray.
void MakeModalToFront(QWidget& window);
