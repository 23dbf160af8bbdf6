// SPDX-License-Identifier: MIT
#include "ui/minutes_spin_box.h"

#include <algorithm>

#include "session/whole_number.h"

MinutesSpinBox::MinutesSpinBox(QWidget* parent) : QSpinBox(parent) {
  setRange(kMinimumMinutes, kMaximumMinutes);
  // The spin box's own correction would put the minimum in for a number above the maximum.
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State MinutesSpinBox::validate(QString& input, int& pos) const {
  const bool digitsAndSigns = std::all_of(input.begin(), input.end(), [](QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') || c == QLatin1Char('-');
  });
  if (!digitsAndSigns) return QValidator::Invalid;
  return QSpinBox::validate(input, pos) == QValidator::Acceptable ? QValidator::Acceptable : QValidator::Intermediate;
}

void MinutesSpinBox::fixup(QString& input) const {
  const int minutes = ParseWholeNumber(input.toStdString()).value_or(kMinimumMinutes);
  input = QString::number(std::clamp(minutes, kMinimumMinutes, kMaximumMinutes));
}
