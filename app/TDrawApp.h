#pragma once
// The application object of display mode: named "ZORVAd", its main window
// is the display window, and closing deletes the command file.

#include <functional>

#include "framework/TApplication.h"

class TDrawApp : public TApplication {
public:
  // onReady: called once after the display window was first shown.
  explicit TDrawApp(const char* name = "ZORVAd", std::function<void()> onReady = {});
  ~TDrawApp() override;

  // Makes the display window titled "ZORVA daemon" the main window.
  void InitMainWindow() override;
  // Deletes the command file named by pfile (the outcome is not examined)
  // and allows the close.
  bool CanClose() override;

private:
  std::function<void()> onReady;
};
