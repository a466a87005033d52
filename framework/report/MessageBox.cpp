#include "framework/report/MessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

#include "framework/application/Entry.h"
#include "framework/application/QtApplication.h"
#include "framework/application/ScreenChoice.h"
#include "framework/surface/TextBytes.h"

namespace {

bool echo = false;

MessageBoxHook& hook() {
  static MessageBoxHook current;
  return current;
}

// A box may be needed before any application object exists (the launcher
// reports a failed start, the usage box): make the widget application then,
// when a display answers. It lives until the process ends.
bool haveWidgetApplication() {
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char fallbackName[] = "application";
    static char* argv[] = {EntryArgc() > 0 && EntryArgv()[0] ? EntryArgv()[0] : fallbackName, nullptr};
    try {
      static TQtApplication* app = new TQtApplication(argc, argv);
      (void)app;
    } catch (const TXNoScreen&) {
      return false;
    }
  }
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// "caption: text" on one line of standard error, the text's own line breaks
// at its end left out.
void writeToStderr(const std::string& text, const std::string& caption) {
  std::string shown = text;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), shown.c_str());
  std::fflush(stderr);
}

// A box that only its buttons end when it asks a question: for a Yes/No box
// Esc and the title bar's close do nothing (QMessageBox would take them as
// No). done() is untouched, so the program can still end the box itself.
class TQuestionBox : public QMessageBox {
public:
  explicit TQuestionBox(bool question) : question(question) {}

  void reject() override {
    if (!question) QMessageBox::reject();
  }

protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (question && event->matches(QKeySequence::Cancel)) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (question) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

private:
  bool question;
};

int qtPresenter(const std::string& text, const std::string& caption, unsigned style) {
  const bool question = (style & 0x0F) == MB_YESNO;
  if (!haveWidgetApplication()) {
    // Nowhere to show a box: the text goes to standard error instead (once).
    if (!echo) writeToStderr(text, caption);
    return question ? IDNO : IDOK;
  }
  TQuestionBox box(question);
  box.setWindowTitle(DecodeTextBytes(caption));
  // Shown as written: a file name like "<b>x</b>.zv" is no markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(DecodeTextBytes(text));
  switch (style & 0xF0) {
    case MB_ICONSTOP:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if (question) {
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
  const std::string shownText = text ? text : "";
  const std::string shownCaption = caption ? caption : "Error";
  if (hook()) hook()(shownText, shownCaption, style);
  if (echo) writeToStderr(shownText, shownCaption);
  return presenter()(shownText, shownCaption, style);
}

MessagePresenter SetMessagePresenter(MessagePresenter p) {
  MessagePresenter previous = presenter();
  presenter() = p ? std::move(p) : MessagePresenter(qtPresenter);
  return previous;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook h) {
  MessageBoxHook previous = std::move(hook());
  hook() = std::move(h);
  return previous;
}

bool SetMessageEcho(bool on) {
  const bool previous = echo;
  echo = on;
  return previous;
}
