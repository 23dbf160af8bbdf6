// SPDX-License-Identifier: MIT
#include "ui/list_selection.h"

#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <vector>

int SelectedRow(const QListWidget& list) {
  const QModelIndexList selected = list.selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void SelectRowQuietly(QListWidget& list, int row) {
  if (SelectedRow(list) == row) return;
  const QSignalBlocker quiet(list);
  if (row >= 0 && row < list.count()) {
    list.setCurrentRow(row);
  } else {
    list.clearSelection();
    list.setCurrentItem(nullptr);
  }
}

// A list with a horizontal scroll bar shows a row less and so scrolls a row further: the position
// goes no further than every list can follow, even if the last row of such a list stays under
// its bar. Setting the value a bar already has signals nothing, so the lists settle at once.
void ScrollInStep(std::initializer_list<QListWidget*> lists) {
  const std::vector<QListWidget*> all(lists);
  for (QListWidget* list : all) {
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list, [all](int value) {
      for (QListWidget* other : all) value = std::min(value, other->verticalScrollBar()->maximum());
      for (QListWidget* other : all) other->verticalScrollBar()->setValue(value);
    });
  }
}
