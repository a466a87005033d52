#include "framework/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>

namespace {

// Text bytes are UTF-8 when valid, else one character a byte.
QString fromBytes(const std::string& bytes) {
  QString s = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (s.contains(QChar::ReplacementCharacter))
    s = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return s;
}

// A box may be needed before any application object exists (the launcher
// reports a failed start): make the widget application then, when there is
// a screen to show it on. It lives until the process ends.
bool haveWidgetApplication() {
  if (!QCoreApplication::instance()) {
    const bool screen = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!screen) return false;
    static int argc = 1;
    static char name[] = "zorvad";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
  }
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

int qtPresenter(const std::string& text, const std::string& caption, unsigned style) {
  if (!haveWidgetApplication()) {
    // Nowhere to show a box: the text goes to standard error instead.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;
  }
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
