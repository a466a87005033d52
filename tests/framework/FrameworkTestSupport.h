#pragma once
// Helpers of the framework tests: a scripted message-box presenter, a
// watchdog for every loop, and a small application with a recording window.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/application/TApplication.h"
#include "framework/report/MessageBox.h"
#include "framework/window/TFrameWindow.h"

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned style;
};

// Records every box and answers from a script (IDOK when the script is
// empty). `during` runs while a box is "open", as a modal loop would.
class ScriptedBoxes {
public:
  ScriptedBoxes() {
    previous =
        SetMessagePresenter([this](const std::string& text, const std::string& caption, unsigned style) {
          shown.push_back({text, caption, style});
          if (during) during();
          if (answers.empty()) return static_cast<int>(IDOK);
          const int answer = answers.front();
          answers.pop_front();
          return answer;
        });
  }
  ~ScriptedBoxes() { SetMessagePresenter(previous); }

  std::vector<ShownBox> shown;
  std::deque<int> answers;
  std::function<void()> during;

private:
  MessagePresenter previous;
};

// Fails the test and ends the application's loop if it runs too long.
class Watchdog {
public:
  explicit Watchdog(TApplication& app, int ms = 5000) {
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&app] {
      ADD_FAILURE() << "watchdog: the loop did not end";
      app.PostQuitMessage(-99);
    });
    timer.start(ms);
  }

private:
  QTimer timer;
};

// Runs `step` from a zero-time timer once the loop runs.
inline void Soon(std::function<void()> step, int ms = 0) { QTimer::singleShot(ms, step); }

// A frame window that records what reaches its handlers.
class TRecordingWindow : public TFrameWindow {
public:
  using TFrameWindow::TFrameWindow;
  ~TRecordingWindow() override {
    if (deletedFlag) *deletedFlag = true;
    if (onDelete) onDelete();
  }

  bool Find(TEventInfo& info) override;
  bool CanClose() override {
    ++canCloseCalls;
    return allowClose;
  }
  void SetupWindow() override {
    TFrameWindow::SetupWindow();
    if (setupHook) setupHook(*this);
  }
  void ClientImageReplaced(QImage& image) override;
  void FirstExposed() override { ++firstExposed; }

  void EvTimer(unsigned id) {
    timerIds.push_back(id);
    if (onTimer) onTimer(id);
  }
  void EvPaint() {
    ++paints;
    TFrameWindow::EvPaint();
    if (onPaint) onPaint();
  }
  void EvSize(unsigned kind, const TSize& size) {
    TFrameWindow::EvSize(kind, size);
    sizes.push_back(size);
  }
  void EvUser() {
    ++userMessages;
    if (onUser) onUser();
  }
  void EvUser2() { ++user2Messages; }
  void CmAbout() { ++aboutCommands; }

  bool allowClose = true;
  int canCloseCalls = 0;
  int paints = 0;
  int userMessages = 0;
  int user2Messages = 0;
  int aboutCommands = 0;
  int firstExposed = 0;
  std::vector<unsigned> timerIds;
  std::vector<TSize> sizes;
  std::vector<QSize> replacedImages;
  bool* deletedFlag = nullptr;
  std::function<void(TRecordingWindow&)> setupHook;
  std::function<void(unsigned)> onTimer;
  std::function<void()> onUser;
  std::function<void()> onPaint;
  std::function<void()> onDelete;

private:
  static const TResponseTableEntry Responses[];
};

inline constexpr unsigned WM_TEST = WM_USER + 1;
inline constexpr unsigned WM_TEST2 = WM_USER + 2;

// An application whose InitMainWindow runs a test's factory.
class TTestApp : public TApplication {
public:
  explicit TTestApp(const char* name = "TestApp") : TApplication(name) {}
  void InitMainWindow() override {
    if (makeMain) MainWindow = makeMain();
  }
  bool CanClose() override {
    ++canCloseCalls;
    return allowClose && TApplication::CanClose();
  }
  std::function<TFrameWindow*()> makeMain;
  bool allowClose = true;
  int canCloseCalls = 0;
};

// A recording window that the application makes its main window; *deleted
// turns true when the window object is deleted.
inline TRecordingWindow* makeWindow(TTestApp& app, bool* deleted = nullptr) {
  auto* window = new TRecordingWindow("Test window");
  window->deletedFlag = deleted;
  app.makeMain = [window] { return window; };
  return window;
}
