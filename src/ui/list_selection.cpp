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

// Lists that scroll in step must show as many rows each: a horizontal scroll bar takes a row's
// height. So either every list shows its bar or none does: all of them as soon as one list's
// widest row does not fit. Setting the value a bar already has signals nothing, so the lists
// settle at once.
void ScrollInStep(std::initializer_list<QListWidget*> lists) {
  const std::vector<QListWidget*> all(lists);
  const auto sameBars = [all] {
    const bool any = std::any_of(all.begin(), all.end(), [](QListWidget* list) {
      return list->horizontalScrollBar()->maximum() > 0;
    });
    for (QListWidget* list : all) list->setHorizontalScrollBarPolicy(any ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  };
  for (QListWidget* list : all) {
    QObject::connect(list->horizontalScrollBar(), &QScrollBar::rangeChanged, list, sameBars);
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list, [all](int value) {
      for (QListWidget* other : all) value = std::min(value, other->verticalScrollBar()->maximum());
      for (QListWidget* other : all) other->verticalScrollBar()->setValue(value);
    });
  }
  sameBars();
}
