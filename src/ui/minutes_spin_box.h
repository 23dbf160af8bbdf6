// SPDX-License-Identifier: MIT
#pragma once
// The Time field: minutes from kMinimumMinutes to kMaximumMinutes. While the user types, any run
// of digits and signs stands (65 and 100 can be typed on the way to a value); when the field is
// left, the text is read as a whole number (2 when it is none) and brought within the limits.

#include <QSpinBox>

class MinutesSpinBox : public QSpinBox {
 public:
  static constexpr int kMinimumMinutes = 2;
  static constexpr int kMaximumMinutes = 60;

  explicit MinutesSpinBox(QWidget* parent);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};
