// SPDX-License-Identifier: MIT
#pragma once
// The selected row of a single-selection list, read and set as the program does it.

#include <initializer_list>

class QListWidget;

// The selected row, -1 when no row is selected.
int SelectedRow(const QListWidget& list);

// Selects `row`, or nothing when the list has no such row. Raises no selection-change signal,
// so handlers that keep lists in step never run each other; a list that already shows `row`
// is left alone.
void SelectRowQuietly(QListWidget& list, int row);

// From now on a vertical scroll of any of the lists (wheel, bar, keyboard) scrolls the others to
// the same position, so that each screen row shows one message; the lists show their horizontal
// scroll bars together, so that every row of every list can be scrolled to.
void ScrollInStep(std::initializer_list<QListWidget*> lists);
