#include "ui/display_text.h"

#include <QStringDecoder>

QString DisplayText(const std::string& bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(view);
  if (utf8.hasError()) return QString::fromLatin1(view);
  return text;
}
