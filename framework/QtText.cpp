#include "framework/QtText.h"

QString TextFromBytes(const std::string& bytes) {
  QString s = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (s.contains(QChar::ReplacementCharacter))
    s = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return s;
}
