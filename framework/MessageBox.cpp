#include "framework/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace {

// Text bytes are UTF-8 when valid, else one character a byte.
QString fromBytes(const std::string& bytes) {
  QString s = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (s.contains(QChar::ReplacementCharacter))
    s = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return s;
}

int qtPresenter(const std::string& text, const std::string& caption, unsigned style) {
  // Without a widget application there is nothing to show a box on.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;  // no GUI: nothing to show
  QMessageBox box;
  box.setWindowTitle(fromBytes(caption));
  box.setText(fromBytes(text));
  switch (style & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  if ((style & 0x0F) == MB_YESNO) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return IDOK;
}

MessagePresenter& presenter() {
  static MessagePresenter current = qtPresenter;
  return current;
}

}  // namespace

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  return presenter()(text ? text : "", caption ? caption : "Error", style);
}

MessagePresenter SetMessagePresenter(MessagePresenter p) {
  MessagePresenter previous = presenter();
  presenter() = p ? std::move(p) : MessagePresenter(qtPresenter);
  return previous;
}
