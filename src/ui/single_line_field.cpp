// SPDX-License-Identifier: MIT
#include "ui/single_line_field.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

#include "ui/latin1_text.h"

namespace {

bool BreaksLine(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0); }

// The field applies a text changed by validate() as its new text, cursor included.
class SingleLineValidator : public QValidator {
 public:
  explicit SingleLineValidator(QLineEdit* field) : QValidator(field), field_(field) {}

  State validate(QString& input, int& pos) const override {
    if (!HoldsOnlyLatin1(input)) {
      ShowRefusal();
      return Invalid;
    }
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
      if (!BreaksLine(input[i])) continue;
      input.remove(i, 1);
      if (i < pos) --pos;
    }
    return Acceptable;
  }

 private:
  void ShowRefusal() const {
    const QPoint below = field_->mapToGlobal(QPoint(0, field_->height()));
    QToolTip::showText(below, QCoreApplication::translate("SingleLineField", kNotLatin1Reason), field_);
  }

  QLineEdit* field_;
};

}  // namespace

void GuardSingleLineField(QLineEdit* field) { field->setValidator(new SingleLineValidator(field)); }
