// The box function: the hook and the echo around the presenter, the text
// without a display, and the real box: literal text, a question that only its
// buttons end, and the program ending a box itself.

#include <stdlib.h>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/OwnProcess.h"

namespace {

// Puts the hook and the echo back as they were.
struct HookScope {
  ~HookScope() {
    SetMessageBoxHook({});
    SetMessageEcho(false);
  }
};

TEST(MessageBoxHook, RunsBeforeTheBoxAndTheEchoWritesOneLineEach) {
  HookScope scope;
  ScriptedBoxes boxes;
  std::vector<std::string> events;
  SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned style) {
    events.push_back("hook " + text + "|" + caption + "|" + std::to_string(style));
  });
  boxes.during = [&] { events.push_back("box"); };

  EXPECT_FALSE(SetMessageEcho(true));
  testing::internal::CaptureStderr();
  EXPECT_EQ(ShowMessageBox("Error creating child process\n", "Error", MB_OK), IDOK);
  boxes.answers = {IDYES};
  EXPECT_EQ(ShowMessageBox("boom\nOK to Resume?", nullptr, MB_YESNO | MB_ICONSTOP), IDYES);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: Error creating child process\nError: boom\nOK to Resume?\n");
  EXPECT_EQ(events, (std::vector<std::string>{"hook Error creating child process\n|Error|0", "box",
                                              "hook boom\nOK to Resume?|Error|20", "box"}));

  EXPECT_TRUE(SetMessageEcho(false));
  events.clear();
  testing::internal::CaptureStderr();
  ShowMessageBox("quiet", "Caption", MB_OK);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(events, (std::vector<std::string>{"hook quiet|Caption|0", "box"}));
}

TEST(MessageBoxWithoutScreen, TheTextGoesToStandardErrorOnce) {
  if (!InOwnProcess()) return;  // needs a process without an application object
  struct Unset {
    std::optional<std::string> saved[3];
    const char* names[3] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    Unset() {
      for (int i = 0; i < 3; ++i) {
        if (const char* v = getenv(names[i])) saved[i] = v;
        unsetenv(names[i]);
      }
    }
    ~Unset() {
      for (int i = 0; i < 3; ++i)
        if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
    }
  } unset;
  HookScope scope;
  int hooked = 0;
  SetMessageBoxHook([&](const std::string&, const std::string&, unsigned) { ++hooked; });
  for (const bool echo : {false, true}) {
    SetMessageEcho(echo);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox("Usage: prog [-d] [file]", "Caption", MB_OK), IDOK);
    EXPECT_EQ(ShowMessageBox("Resume?", nullptr, MB_YESNO), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Usage: prog [-d] [file]\nError: Resume?\n")
        << "echo " << echo;
  }
  EXPECT_EQ(hooked, 4);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
}

// Acts on the real box once it is up, from inside its modal loop; ends a box
// that is still up after five seconds and fails the test.
class BoxDriver {
public:
  explicit BoxDriver(std::function<void(QMessageBox&)> act) : act(std::move(act)) {
    QObject::connect(&poll, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (done || !box || !box->isVisible()) return;
      done = true;
      this->act(*box);
    });
    poll.start(10);
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
      ADD_FAILURE() << "watchdog: the box did not end";
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->done(0);
    });
    watchdog.start(5000);
  }

private:
  std::function<void(QMessageBox&)> act;
  QTimer poll, watchdog;
  bool done = false;
};

void press(QMessageBox& box, Qt::Key key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &event);
}

// Tries every way to end the box that is not one of its buttons; true when
// the box is still up after all of them.
bool survivesEscAndClose(QMessageBox& box) {
  press(box, Qt::Key_Escape);
  QApplication::processEvents();
  const bool afterEscape = box.isVisible();
  box.close();
  box.reject();
  QApplication::processEvents();
  return afterEscape && box.isVisible();
}

TEST(QtMessageBox, ShowsItsTextLiterally) {
  TTestApp app;
  std::string text, title, label;
  Qt::TextFormat format = Qt::AutoText;
  BoxDriver driver([&](QMessageBox& box) {
    text = box.text().toStdString();
    title = box.windowTitle().toStdString();
    format = box.textFormat();
    if (auto* l = box.findChild<QLabel*>("qt_msgbox_label"))
      label = l->textFormat() == Qt::PlainText ? l->text().toStdString() : "rich: " + l->text().toStdString();
    box.button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ShowMessageBox("<b>x</b>.zv &amp; \xC3\xA9", "File <i>name</i>", MB_OK), IDOK);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(text, "<b>x</b>.zv &amp; \xC3\xA9");
  EXPECT_EQ(label, text);
  EXPECT_EQ(title, "File <i>name</i>");
}

// A box reads its bytes as drawn text does: UTF-8 when valid, else
// Windows-1252 (0x80-0x9F are not C1 controls).
TEST(QtMessageBox, TextAndCaptionAreUtf8ElseWindows1252) {
  TTestApp app;
  QString text, title;
  BoxDriver driver([&](QMessageBox& box) {
    text = box.text();
    title = box.windowTitle();
    box.button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ShowMessageBox("\x93quoted\x94 \x80 caf\xE9", "caf\xC3\xA9 \xE2\x82\xAC", MB_OK), IDOK);
  EXPECT_EQ(text, QString::fromUtf16(u"\u201Cquoted\u201D \u20AC caf\u00E9"));
  EXPECT_EQ(title, QString::fromUtf16(u"caf\u00E9 \u20AC"));
}

TEST(QtMessageBox, AQuestionEndsOnlyByYesOrNo) {
  TTestApp app;
  for (const auto& [button, answer] :
       {std::pair{QMessageBox::Yes, IDYES}, std::pair{QMessageBox::No, IDNO}}) {
    bool survived = false;
    BoxDriver driver([&, button = button](QMessageBox& box) {
      survived = survivesEscAndClose(box);
      box.button(button)->click();
    });
    EXPECT_EQ(ShowMessageBox("Exception\nOK to Resume?", "Unhandled Exception", MB_YESNO | MB_ICONSTOP),
              answer);
    EXPECT_TRUE(survived) << "Esc or close ended a Yes/No box";
  }
}

TEST(QtMessageBox, TheProgramCanStillEndAQuestionItself) {
  TTestApp app;
  struct Case {
    int code;
    int answer;
  };
  for (const Case c :
       {Case{QDialog::Rejected, IDNO}, Case{QMessageBox::No, IDNO}, Case{QMessageBox::Yes, IDYES}}) {
    BoxDriver driver([&](QMessageBox& box) { static_cast<QDialog&>(box).done(c.code); });
    EXPECT_EQ(ShowMessageBox("Resume?", nullptr, MB_YESNO), c.answer) << c.code;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

TEST(QtMessageBox, AnOkBoxEndsByEscOrCloseToo) {
  TTestApp app;
  for (const bool escape : {true, false}) {
    BoxDriver driver([&](QMessageBox& box) {
      if (escape)
        press(box, Qt::Key_Escape);
      else
        box.close();
    });
    EXPECT_EQ(ShowMessageBox("About", "Caption", MB_OK), IDOK) << escape;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << escape;
  }
}

}  // namespace
