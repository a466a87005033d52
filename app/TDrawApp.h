#pragma once
// The application object of display mode: named "ZORVAd", its main window
// is the display window, and closing deletes the command file. While it
// exists, SIGTERM, SIGHUP and SIGINT close the display as a user's close
// does (framework/TTerminationSignals.h).

#include <functional>

#include "framework/TApplication.h"
#include "framework/TTerminationSignals.h"

class TZorvaWindow;

class TDrawApp : public TApplication {
public:
  // onReady: called once after the display window was first shown.
  explicit TDrawApp(const char* name = "ZORVAd", std::function<void()> onReady = {});
  ~TDrawApp() override;

  // Makes the display window titled "ZORVA daemon" the main window.
  void InitMainWindow() override;
  // Deletes the command file named by pfile, if that name still names the
  // file the display window opened and no other display follows it (the
  // outcome is not examined), and allows the close.
  bool CanClose() override;

private:
  std::function<void()> onReady;
  TZorvaWindow* display = nullptr;  // the window InitMainWindow made
  TTerminationSignals endOnSignals;
};
