#pragma once
// The new messages of the last mailbox scan, as the Messages window shows them: six parallel
// lists, row i at index i of each. The sender list also carries status lines ("Not Checked",
// "No mail for you!", failure texts) that have no counterpart in the other lists.

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
  std::vector<std::string> ListBoxLink;  // row link, requested by a preview
  std::vector<std::string> ListBox0;     // check box field name, sent back by a deletion
  std::vector<SenderItem> ListBox1;      // sender, or a status line
  std::vector<std::string> ListBox2;     // date
  std::vector<std::string> ListBox3;     // subject
  std::vector<std::string> ListBox4;     // size

  void Clear() {
    ListBoxLink.clear();
    ListBox0.clear();
    ListBox1.clear();
    ListBox2.clear();
    ListBox3.clear();
    ListBox4.clear();
  }

  void AppendStatusLine(const std::string& text) { ListBox1.push_back({text}); }

  // Rows that have a full set of fields; status lines are not rows.
  std::size_t RowCount() const { return ListBox0.size(); }
};
