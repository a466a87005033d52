#include "framework/application/QtMessageBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include "base/TextBytes.h"
#include "framework/application/Entry.h"
#include "framework/application/QtApplication.h"
#include "framework/application/ScreenChoice.h"
#include "framework/report/MessageBox.h"

namespace {

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
  // Nowhere to show a box: the text goes to standard error instead.
  if (!haveWidgetApplication()) return TextOnlyPresenter(text, caption, style);
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

}  // namespace

void UseQtMessageBoxes() { SetSystemMessagePresenter(qtPresenter); }
