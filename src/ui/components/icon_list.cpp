// SPDX-License-Identifier: MIT
#include "ui/components/icon_list.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

IconList& IconList::operator=(const IconList& other) {
  Assign(other);
  return *this;
}

const QIcon& IconList::Icon(int index) const {
  CheckIndex(index, Count());
  return icons_[static_cast<std::size_t>(index)];
}

void IconList::SetIcon(int index, const QIcon& icon) {
  CheckIndex(index, Count());
  icons_[static_cast<std::size_t>(index)] = icon;
  Changed();
}

int IconList::Add(const QIcon& icon) {
  icons_.push_back(icon);
  Changed();
  return Count() - 1;
}

void IconList::Insert(int index, const QIcon& icon) {
  CheckIndex(index, Count() + 1);
  icons_.insert(icons_.begin() + index, icon);
  Changed();
}

void IconList::Delete(int index) {
  CheckIndex(index, Count());
  icons_.erase(icons_.begin() + index);
  Changed();
}

void IconList::Move(int from, int to) {
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  if (from == to) return;
  QIcon moving = std::move(icons_[static_cast<std::size_t>(from)]);
  icons_.erase(icons_.begin() + from);
  icons_.insert(icons_.begin() + to, std::move(moving));
  Changed();
}

void IconList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(icons_[static_cast<std::size_t>(a)], icons_[static_cast<std::size_t>(b)]);
  Changed();
}

int IconList::IndexOf(const QIcon& icon) const {
  const auto found = std::find_if(icons_.begin(), icons_.end(),
                                  [&](const QIcon& entry) { return entry.cacheKey() == icon.cacheKey(); });
  return found == icons_.end() ? -1 : static_cast<int>(found - icons_.begin());
}

void IconList::Clear() {
  if (icons_.empty()) return;
  icons_.clear();
  Changed();
}

void IconList::Assign(const IconList& other) {
  if (&other == this) return;
  icons_ = other.icons_;
  Changed();
}

void IconList::Assign(const QIcon& icon) {
  icons_.assign(1, icon);
  Changed();
}

void IconList::EndUpdate() {
  if (updateDepth_ == 0) throw std::logic_error("IconList::EndUpdate without BeginUpdate");
  if (--updateDepth_ == 0 && changedInUpdate_) {
    changedInUpdate_ = false;
    Changed();
  }
}

void IconList::CheckIndex(int index, int end) const {
  if (index < 0 || index >= end) {
    throw std::out_of_range("Icon index out of range: " + std::to_string(index) + " (the list holds " +
                            std::to_string(Count()) + ")");
  }
}

void IconList::Changed() {
  if (updateDepth_ > 0) {
    changedInUpdate_ = true;
  } else if (OnChange) {
    OnChange();
  }
}
