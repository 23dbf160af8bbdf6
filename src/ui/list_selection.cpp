#include "ui/list_selection.h"

#include <QListWidget>
#include <QSignalBlocker>

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
