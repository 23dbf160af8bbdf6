// SPDX-License-Identifier: MIT
#include "ui/text_list_box.h"

#include <QStyledItemDelegate>

namespace {

// The view lays its rows out by these sizes, so its scroll range follows the widest entry.
class ScrollWidthDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString() + QLatin1Char('x')),
            TextListBox::kItemHeight};
  }
};

}  // namespace

TextListBox::TextListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new ScrollWidthDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setTextElideMode(Qt::ElideNone);  // a long entry is scrolled to, never shortened
}
