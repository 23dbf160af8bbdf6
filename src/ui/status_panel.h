// SPDX-License-Identifier: MIT
#pragma once
// The status panel: a borderless box in the middle of the screen with one line of large bold text
// while a request of the Messages window runs.

#include <QFrame>

class QLabel;

// The window draws the panel's single-line border; textPanel inside it the lowered 3D edge.
class StatusPanel : public QFrame {
 public:
  StatusPanel();

  // Shows `text` in front of the other windows and returns at once; while the panel is up, only
  // its text changes.
  void ShowStatus(const QString& text);
  // Hides the panel; the text stays until the next ShowStatus.
  void HideStatus();

  QLabel* textPanel;
};
