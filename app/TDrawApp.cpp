#include "app/TDrawApp.h"

#include <cstdio>

#include "display/TZorvaWindow.h"

TDrawApp::TDrawApp(const char* name, std::function<void()> ready)
    : TApplication(name), onReady(std::move(ready)) {}

TDrawApp::~TDrawApp() = default;

void TDrawApp::InitMainWindow() {
  auto* window = new TZorvaWindow(nullptr, "ZORVA daemon");
  window->OnFirstExposed = onReady;
  SetMainWindow(window);
}

bool TDrawApp::CanClose() {
  // The window still holds the file open; on POSIX the name goes at once.
  if (pfile) std::remove(pfile);
  return true;
}
