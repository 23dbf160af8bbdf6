// SPDX-License-Identifier: MIT
#pragma once
// CheckListBox: a list whose rows carry a check box (unchecked, checked or grayed) in a
// 15-pixel area at their left edge, and an enabled flag. A left press in that area toggles the
// row, Space toggles the selected row, "+" checks and "-" unchecks every enabled row; a
// disabled row keeps its state (it can still be selected). The program sets states freely.

#include <QListWidget>

#include <functional>

class CheckListBox : public QListWidget {
 public:
  static constexpr int kCheckAreaWidth = 15;
  static constexpr int kMinimumItemHeight = 13;

  explicit CheckListBox(QWidget* parent);

  // Adds a row at the end.
  void AddItem(const QString& text, Qt::CheckState state, bool enabled);
  Qt::CheckState State(int row) const;
  bool ItemEnabled(int row) const;

  // Runs after the user changed the state of `row`; once for each changed row.
  std::function<void(int row)> OnClickCheck;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ToggleAt(const QPoint& position);
  void ToggleClickCheck(int row);
  void SetEnabledItems(Qt::CheckState state);
  void SetUserState(int row, Qt::CheckState state);
};
