// SPDX-License-Identifier: MIT
#pragma once
// TextListBox: a list of single-line texts in rows 13 pixels high, with a horizontal scroll
// bar while its widest entry does not fit. The scrollable width is the widest entry's text with
// one "x" appended, in the list's font; it follows entries added and removed and font changes.

#include <QListWidget>

class TextListBox : public QListWidget {
 public:
  static constexpr int kItemHeight = 13;

  explicit TextListBox(QWidget* parent);
};
