// SPDX-License-Identifier: MIT
#include "ui/latin1_text.h"

#include <algorithm>

QString TextFromBytes(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string BytesFromText(const QString& text) { return text.toLatin1().toStdString(); }

bool HoldsOnlyLatin1(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}
