// SPDX-License-Identifier: MIT
// Runs a clean-up step when the scope ends, also when an exception leaves it.
#pragma once

#include <utility>

template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F step) : FStep(std::move(step)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { FStep(); }

 private:
  F FStep;
};
