#include "app/TDrawApp.h"

#include "stream/CommandFile.h"
#include "window/TZorvaWindow.h"

TDrawApp::TDrawApp(DisplayState& displayState, const char* name, std::function<void()> ready)
    : TApplication(name), state(displayState), onReady(std::move(ready)) {}

TDrawApp::~TDrawApp() = default;

void TDrawApp::UseCommandFile(std::unique_ptr<CommandFile> file) { commandFile = std::move(file); }

void TDrawApp::InitMainWindow() {
  if (!commandFile) return;  // no main window: Run reports it
  auto* window = new TZorvaWindow("ZORVA daemon", std::move(commandFile), state);
  window->OnFirstExposed = onReady;
  SetMainWindow(window);
  display = window;
}

bool TDrawApp::CanClose() {
  // The window still holds the file open; on POSIX the name goes at once.
  // It is still the main window while it exists: a deleted main window
  // leaves MainWindow null.
  if (display && GetMainWindow() == display) display->RemoveCommandFile();
  return true;
}
