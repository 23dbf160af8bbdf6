// SPDX-License-Identifier: MIT
#pragma once
// IconList: an ordered list of owned icons (an entry may be empty) for the tray icon.
//
// Every change raises OnChange once; changes between BeginUpdate and the matching EndUpdate
// raise it once at the end, and only if something changed.

#include <QIcon>

#include <functional>
#include <vector>

class IconList {
 public:
  IconList() = default;
  // Copies the entries; the copy has no OnChange of its own.
  IconList(const IconList& other) : icons_(other.icons_) {}
  IconList& operator=(const IconList& other);

  int Count() const { return static_cast<int>(icons_.size()); }
  // Reading or writing outside 0..Count()-1 throws std::out_of_range.
  const QIcon& Icon(int index) const;
  void SetIcon(int index, const QIcon& icon);

  int Add(const QIcon& icon);  // returns the new entry's index
  void Insert(int index, const QIcon& icon);  // 0..Count()
  void Delete(int index);
  void Move(int from, int to);
  void Exchange(int a, int b);
  // The index of the entry holding this very picture (a copy of it counts), or -1.
  int IndexOf(const QIcon& icon) const;
  void Clear();
  // The list becomes a copy of `other`, or a single entry holding `icon`.
  void Assign(const IconList& other);
  void Assign(const QIcon& icon);

  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();

  std::function<void()> OnChange;

 private:
  void CheckIndex(int index, int end) const;
  void Changed();

  std::vector<QIcon> icons_;
  int updateDepth_ = 0;
  bool changedInUpdate_ = false;
};
