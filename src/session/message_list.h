// SPDX-License-Identifier: MIT
#pragma once
// The new messages of the last mailbox scan, as the Messages window shows them: six parallel
// lists, row i at index i of each. The sender list also carries status lines ("Not Checked",
// "No mail for you!", failure texts) that have no counterpart in the other lists.

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

enum class CheckState { Unchecked, Checked, Grayed };

struct SenderItem {
  std::string text;
  CheckState state = CheckState::Unchecked;
  bool enabled = true;  // a disabled row's check box cannot be changed
};

struct MessageList {
  std::vector<std::string> links;       // requested by a preview
  std::vector<std::string> fieldNames;  // of the rows' check boxes, sent back by a deletion
  std::vector<SenderItem> senders;      // a sender, or a status line
  std::vector<std::string> dates;
  std::vector<std::string> subjects;
  std::vector<std::string> sizes;

  void Clear() {
    links.clear();
    fieldNames.clear();
    senders.clear();
    dates.clear();
    subjects.clear();
    sizes.clear();
  }

  // Drops every entry after the first `rows` of each list, status lines too.
  void KeepRows(std::size_t rows) {
    links.resize(std::min(rows, links.size()));
    fieldNames.resize(std::min(rows, fieldNames.size()));
    senders.resize(std::min(rows, senders.size()));
    dates.resize(std::min(rows, dates.size()));
    subjects.resize(std::min(rows, subjects.size()));
    sizes.resize(std::min(rows, sizes.size()));
  }

  void AppendStatusLine(const std::string& text) { senders.push_back({text}); }

  // Rows that have a full set of fields; status lines are not rows.
  std::size_t RowCount() const { return fieldNames.size(); }
};
