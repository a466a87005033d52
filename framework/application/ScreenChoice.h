#pragma once
// Which window system the application object connects to, decided before
// Qt tries. Qt ends the process (SIGABRT, after lines of plugin text) when its
// platform plugin reaches no display; the framework instead connects to each
// display the environment names, picks the first that answers, and without
// one raises TXNoScreen, whose message is the one line a user needs.
//
// No Qt here: the program's entry catches TXNoScreen.

#include <functional>
#include <string>

#include "framework/report/Exceptions.h"

// No display could be reached. why() names what was tried, for example
// `cannot connect to X display ":5"` or
// `no display: neither DISPLAY nor WAYLAND_DISPLAY is set`.
class TXNoScreen : public TXBase {
public:
  using TXBase::TXBase;
};

// The variables the choice depends on; an empty value counts as unset.
struct ScreenEnvironment {
  std::string platform;     // QT_QPA_PLATFORM: an explicit choice, honoured
  std::string display;      // DISPLAY
  std::string wayland;      // WAYLAND_DISPLAY
  std::string runtimeDir;   // XDG_RUNTIME_DIR, where Wayland sockets live
  std::string sessionType;  // XDG_SESSION_TYPE: "wayland" tries Wayland first

  static ScreenEnvironment Current();
};

// How a display is tried: an X display by name, a Wayland one by the path
// of its socket. True when it answers. `plugin` says whether Qt has a
// platform plugin of that name; none set means every name is taken as
// installed.
struct ScreenProbes {
  std::function<bool(const std::string& name)> x;
  std::function<bool(const std::string& socketPath)> wayland;
  std::function<bool(const std::string& name)> plugin;

  // Connecting for real (XDisplayReachable, WaylandSocketReachable), and
  // Qt's plugin folders (PlatformPluginInstalled).
  static ScreenProbes Real();
};

struct ScreenChoice {
  // The value QT_QPA_PLATFORM must have while the application object is
  // made; empty to leave the environment as it is.
  std::string platform;
  // Non-empty when no display answered: the line to show (no program name,
  // no line break).
  std::string failure;
};

// Without QT_QPA_PLATFORM: the X display named by DISPLAY, then the Wayland
// display named by WAYLAND_DISPLAY (the other way round in a Wayland
// session), whichever answers first; "xcb" or "wayland".
// With it: a list of only X and Wayland platforms ("xcb", "wayland",
// "wayland-egl;xcb", each maybe with ":options") is tried in its order and the
// first that answers is kept as it was written; a list that names any other
// platform (offscreen, for one) is Qt's business and is left alone, unless
// none of those other platforms has a plugin: they are then dropped, and
// without X or Wayland entries the failure names them.
ScreenChoice ChooseScreen(const ScreenEnvironment& env, const ScreenProbes& probes);

// The Wayland socket of a display name: the name itself when it is an
// absolute path, else under the runtime directory; empty when it is relative
// and there is no runtime directory.
std::string WaylandSocketPath(const std::string& name, const std::string& runtimeDir);

// Whether the X server of `name` accepts a connection (authorisation
// included).
bool XDisplayReachable(const std::string& name);
// Whether something listens on the Unix socket at `path`.
bool WaylandSocketReachable(const std::string& path);
