// Choosing the display before Qt tries one: the order of the candidates, the
// explicit platform, the line shown without any, the real probes, and the
// entry's and application's handling of a missing display.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCoreApplication>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/application/Entry.h"
#include "framework/application/PlatformPlugins.h"
#include "framework/application/ScreenChoice.h"
#include "framework/application/TApplication.h"

namespace {

// Probes that answer from a set of reachable names and record each try.
struct FakeDisplays {
  std::vector<std::string> reachable;
  std::vector<std::string> tried;
  ScreenProbes Probes() {
    auto probe = [this](const char* kind) {
      return [this, kind](const std::string& name) {
        tried.push_back(std::string(kind) + " " + name);
        for (const std::string& r : reachable)
          if (r == name) return true;
        return false;
      };
    };
    return {probe("x"), probe("wl"), {}};
  }
};

TEST(ChooseScreen, PicksTheFirstDisplayThatAnswers) {
  struct Case {
    ScreenEnvironment env;
    std::vector<std::string> reachable;
    std::string platform;
    std::vector<std::string> tried;
  };
  const Case cases[] = {
      // X first, Wayland when X does not answer.
      {{"", ":1", "wl-1", "/run/u", ""}, {":1", "/run/u/wl-1"}, "xcb", {"x :1"}},
      {{"", ":1", "wl-1", "/run/u", ""}, {"/run/u/wl-1"}, "wayland", {"x :1", "wl /run/u/wl-1"}},
      {{"", "", "wl-1", "/run/u", ""}, {"/run/u/wl-1"}, "wayland", {"wl /run/u/wl-1"}},
      {{"", "", "/abs/wl", "", ""}, {"/abs/wl"}, "wayland", {"wl /abs/wl"}},
      // A Wayland session tries Wayland first.
      {{"", ":1", "wl-1", "/run/u", "wayland"}, {":1", "/run/u/wl-1"}, "wayland", {"wl /run/u/wl-1"}},
      {{"", ":1", "wl-1", "/run/u", "wayland"}, {":1"}, "xcb", {"wl /run/u/wl-1", "x :1"}},
      // An explicit list of display platforms: the first that answers, as written.
      {{"wayland-egl;xcb:x=1", ":2", "", "/run/u", ""}, {":2"}, "xcb:x=1", {"wl /run/u/wayland-0", "x :2"}},
      {{"xcb", ":2", "wl-1", "/run/u", "wayland"}, {":2", "/run/u/wl-1"}, "xcb", {"x :2"}},
      // Anything else explicit is left to Qt, untried.
      {{"offscreen", "", "", "", ""}, {}, "", {}},
      {{"xcb;offscreen", ":3", "", "", ""}, {}, "", {}},
      {{"minimal", ":1", "", "", ""}, {":1"}, "", {}},
  };
  for (const Case& c : cases) {
    FakeDisplays fake{c.reachable, {}};
    const ScreenChoice choice = ChooseScreen(c.env, fake.Probes());
    const std::string label = c.env.platform + "|" + c.env.display + "|" + c.env.wayland;
    EXPECT_EQ(choice.platform, c.platform) << label;
    EXPECT_EQ(choice.failure, "") << label;
    EXPECT_EQ(fake.tried, c.tried) << label;
  }
}

TEST(ChooseScreen, APlatformWithoutAPluginIsDroppedOrNamedInTheLine) {
  FakeDisplays fake{{":1"}, {}};
  ScreenProbes probes = fake.Probes();
  probes.plugin = [](const std::string& name) { return name == "offscreen"; };
  struct Case {
    std::string platform, chosen, failure;
  };
  const Case cases[] = {
      {"bogus", "", "no platform \"bogus\" is installed (QT_QPA_PLATFORM)"},
      {"bogus:opt;nothing", "", "no platform \"bogus\" or \"nothing\" is installed (QT_QPA_PLATFORM)"},
      {"offscreen", "", ""},        // installed: Qt's business
      {"bogus;offscreen", "", ""},  // one of them is installed
      {"bogus;xcb", "xcb", ""},     // the display entries are tried
  };
  for (const Case& c : cases) {
    const ScreenChoice choice = ChooseScreen({c.platform, ":1", "", "/run/u", ""}, probes);
    EXPECT_EQ(choice.platform, c.chosen) << c.platform;
    EXPECT_EQ(choice.failure, c.failure) << c.platform;
  }
}

TEST(PlatformPlugins, TheInstalledOffscreenPluginIsFoundAndABogusNameIsNot) {
  EXPECT_TRUE(PlatformPluginInstalled("offscreen"));
  EXPECT_TRUE(PlatformPluginInstalled("OFFSCREEN")) << "names match case-insensitively";
  EXPECT_FALSE(PlatformPluginInstalled("bogus"));
}

TEST(ChooseScreen, WithoutADisplayTheLineNamesWhatWasTried) {
  struct Case {
    ScreenEnvironment env;
    std::string failure;
  };
  const Case cases[] = {
      {{"", "", "", "/run/u", ""}, "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"},
      {{"", ":9", "", "/run/u", ""}, "cannot connect to X display \":9\""},
      {{"", "", "wl-9", "/run/u", ""}, "cannot connect to Wayland display \"wl-9\""},
      {{"", ":9", "wl-9", "", ""},
       "cannot connect to X display \":9\" or Wayland display \"wl-9\" (XDG_RUNTIME_DIR is not set)"},
      {{"", ":9", "wl-9", "/run/u", "wayland"},
       "cannot connect to Wayland display \"wl-9\" or X display \":9\""},
      {{"xcb", "", "wl-9", "/run/u", ""}, "cannot connect to X display (DISPLAY is not set)"},
      {{"wayland", ":9", "", "/run/u", ""}, "cannot connect to Wayland display \"wayland-0\""},
  };
  for (const Case& c : cases) {
    FakeDisplays fake;
    const ScreenChoice choice = ChooseScreen(c.env, fake.Probes());
    EXPECT_EQ(choice.platform, "");
    EXPECT_EQ(choice.failure, c.failure);
    EXPECT_EQ(choice.failure.find('\n'), std::string::npos);
  }
}

TEST(ScreenProbes, WaylandSocketPathsAndRealConnections) {
  EXPECT_EQ(WaylandSocketPath("wayland-0", "/run/user/7"), "/run/user/7/wayland-0");
  EXPECT_EQ(WaylandSocketPath("/tmp/sock", ""), "/tmp/sock");
  EXPECT_EQ(WaylandSocketPath("wayland-0", ""), "");

  char tmpl[] = "/tmp/zorva-screen-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  const std::string listening = dir + "/wl-listening";
  const std::string bound = dir + "/wl-bound";
  auto bindTo = [](const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strcpy(a.sun_path, path.c_str());
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    return fd;
  };
  const int server = bindTo(listening);
  ASSERT_EQ(listen(server, 4), 0);
  const int deaf = bindTo(bound);  // bound, never listening: a compositor that died

  EXPECT_TRUE(WaylandSocketReachable(listening));
  EXPECT_FALSE(WaylandSocketReachable(bound));
  EXPECT_FALSE(WaylandSocketReachable(dir + "/absent"));
  EXPECT_FALSE(WaylandSocketReachable(""));
  EXPECT_FALSE(WaylandSocketReachable("/" + std::string(200, 'x')));  // longer than a socket name
  close(server);
  close(deaf);
  unlink(listening.c_str());
  unlink(bound.c_str());
  rmdir(dir.c_str());

  // A display number no server has.
  int unused = 4711;
  struct stat st;
  while (stat(("/tmp/.X11-unix/X" + std::to_string(unused)).c_str(), &st) == 0) ++unused;
  EXPECT_FALSE(XDisplayReachable(":" + std::to_string(unused)));
  EXPECT_FALSE(XDisplayReachable(""));
  EXPECT_FALSE(XDisplayReachable("not a display name"));
}

// Sets variables for one scope, putting the previous values back.
class ScopedEnv {
public:
  void Set(const char* name, const char* value) {
    if (!saved.count(name)) {
      const char* old = getenv(name);
      saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    for (const auto& [name, value] : saved) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
  }

private:
  std::map<std::string, std::optional<std::string>> saved;
};

int makesApplication(int, char**) {
  TApplication app("NoScreen");
  return 0;
}

TEST(NoScreen, TheApplicationRaisesBeforeQtAndTheEntryPrintsOneLine) {
  ScopedEnv env;
  env.Set("QT_QPA_PLATFORM", nullptr);
  env.Set("DISPLAY", nullptr);
  env.Set("WAYLAND_DISPLAY", nullptr);
  try {
    TApplication app("NoScreen");
    ADD_FAILURE() << "an application object without a display";
  } catch (const TXNoScreen& x) {
    EXPECT_EQ(x.why(), "no display: neither DISPLAY nor WAYLAND_DISPLAY is set");
  }
  EXPECT_EQ(TApplication::Current(), nullptr);

  char name[] = "/usr/local/bin/prog";
  char* argv[] = {name, nullptr};
  testing::internal::CaptureStderr();
  const int status = RunEntry(1, argv, makesApplication);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(err, "prog: no display: neither DISPLAY nor WAYLAND_DISPLAY is set\n");
}

TEST(NoScreen, AnExplicitPlatformIsKeptAsItWas) {
  ScopedEnv env;
  env.Set("QT_QPA_PLATFORM", "offscreen");
  env.Set("DISPLAY", nullptr);
  {
    TApplication app("Offscreen");
    EXPECT_NE(QCoreApplication::instance(), nullptr);
  }
  EXPECT_STREQ(getenv("QT_QPA_PLATFORM"), "offscreen");
}

}  // namespace
