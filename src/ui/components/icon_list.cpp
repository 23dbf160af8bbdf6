#include "ui/components/icon_list.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

TIconList& TIconList::operator=(const TIconList& other) {
  Assign(other);
  return *this;
}

const QIcon& TIconList::Icon(int index) const {
  CheckIndex(index, Count());
  return icons_[static_cast<std::size_t>(index)];
}

void TIconList::SetIcon(int index, const QIcon& icon) {
  CheckIndex(index, Count());
  icons_[static_cast<std::size_t>(index)] = icon;
  Changed();
}

int TIconList::Add(const QIcon& icon) {
  icons_.push_back(icon);
  Changed();
  return Count() - 1;
}

void TIconList::Insert(int index, const QIcon& icon) {
  CheckIndex(index, Count() + 1);
  icons_.insert(icons_.begin() + index, icon);
  Changed();
}

void TIconList::Delete(int index) {
  CheckIndex(index, Count());
  icons_.erase(icons_.begin() + index);
  Changed();
}

void TIconList::Move(int from, int to) {
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  if (from == to) return;
  QIcon moving = std::move(icons_[static_cast<std::size_t>(from)]);
  icons_.erase(icons_.begin() + from);
  icons_.insert(icons_.begin() + to, std::move(moving));
  Changed();
}

void TIconList::Exchange(int a, int b) {
  CheckIndex(a, Count());
  CheckIndex(b, Count());
  std::swap(icons_[static_cast<std::size_t>(a)], icons_[static_cast<std::size_t>(b)]);
  Changed();
}

int TIconList::IndexOf(const QIcon& icon) const {
  const auto found = std::find_if(icons_.begin(), icons_.end(),
                                  [&](const QIcon& entry) { return entry.cacheKey() == icon.cacheKey(); });
  return found == icons_.end() ? -1 : static_cast<int>(found - icons_.begin());
}

void TIconList::Clear() {
  if (icons_.empty()) return;
  icons_.clear();
  Changed();
}

void TIconList::Assign(const TIconList& other) {
  if (&other == this) return;
  icons_ = other.icons_;
  Changed();
}

void TIconList::Assign(const QIcon& icon) {
  icons_.assign(1, icon);
  Changed();
}

void TIconList::EndUpdate() {
  if (updateDepth_ == 0) throw std::logic_error("TIconList::EndUpdate without BeginUpdate");
  if (--updateDepth_ == 0 && changedInUpdate_) {
    changedInUpdate_ = false;
    Changed();
  }
}

void TIconList::CheckIndex(int index, int end) const {
  if (index < 0 || index >= end) {
    throw std::out_of_range("Icon index out of range: " + std::to_string(index) + " (the list holds " +
                            std::to_string(Count()) + ")");
  }
}

void TIconList::Changed() {
  if (updateDepth_ > 0) {
    changedInUpdate_ = true;
  } else if (OnChange) {
    OnChange();
  }
}
