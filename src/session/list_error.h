// SPDX-License-Identifier: MIT
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

// A list read at an index it does not have, such as the selection -1 of a list without one.
class ListIndexError : public std::runtime_error {
 public:
  explicit ListIndexError(long index) : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}
};

template <typename T>
const T& ListItem(const std::vector<T>& list, long index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) throw ListIndexError(index);
  return list[static_cast<std::size_t>(index)];
}
