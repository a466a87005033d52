#pragma once
// The application object of display mode: named "ZORVAd", its main window
// is the display window, and closing deletes the command file. While it
// exists, SIGTERM, SIGHUP and SIGINT close the display as a user's close
// does (framework/TTerminationSignals.h).

#include <functional>
#include <memory>

#include "framework/application/TApplication.h"
#include "framework/application/TTerminationSignals.h"

class CommandFile;
struct DisplayState;
class TZorvaWindow;

class TDrawApp : public TApplication {
public:
  // state: what the display window draws, polls and replays with; it must
  // outlive the application (which deletes its main window last).
  // onReady: called once after the display window was first shown.
  explicit TDrawApp(DisplayState& state, const char* name = "ZORVAd", std::function<void()> onReady = {});
  ~TDrawApp() override;

  // The open command file the display window will follow; before Run.
  void UseCommandFile(std::unique_ptr<CommandFile> file);

  // Makes the display window titled "ZORVA daemon" the main window, handing
  // it the command file.
  void InitMainWindow() override;
  // Deletes the command file by the name it was opened by, if that name
  // still names the file the display window opened and no other display
  // follows it (the outcome is not examined), and allows the close.
  bool CanClose() override;

  // The state the display window works on.
  DisplayState& State() const { return state; }

private:
  DisplayState& state;
  std::function<void()> onReady;
  std::unique_ptr<CommandFile> commandFile;  // until the window takes it
  TZorvaWindow* display = nullptr;  // the window InitMainWindow made
  TTerminationSignals endOnSignals;
};
