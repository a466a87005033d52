#include "framework/application/ScreenChoice.h"

#include "framework/application/PlatformPlugins.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

enum class Kind { X, Wayland, Other };

// The kind of one entry of a QT_QPA_PLATFORM list ("name:options").
Kind kindOf(const std::string& entry) {
  const std::string name = entry.substr(0, entry.find(':'));
  if (name == "xcb") return Kind::X;
  if (name.rfind("wayland", 0) == 0) return Kind::Wayland;
  return Kind::Other;
}

std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = list.find(';', start);
    std::string part = list.substr(start, end == std::string::npos ? end : end - start);
    if (!part.empty()) parts.push_back(std::move(part));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// Tries one display at a time and remembers each, for the failure line.
class Attempt {
public:
  Attempt(const ScreenEnvironment& env, const ScreenProbes& probes) : env(env), probes(probes) {}

  bool Try(Kind kind) {
    if (kind == Kind::X) {
      if (env.display.empty()) {
        tried.push_back("X display (DISPLAY is not set)");
        return false;
      }
      tried.push_back("X display " + quoted(env.display));
      return probes.x && probes.x(env.display);
    }
    // Wayland's own default when the variable is unset.
    const std::string name = env.wayland.empty() ? "wayland-0" : env.wayland;
    const std::string path = WaylandSocketPath(name, env.runtimeDir);
    if (path.empty()) {
      tried.push_back("Wayland display " + quoted(name) + " (XDG_RUNTIME_DIR is not set)");
      return false;
    }
    tried.push_back("Wayland display " + quoted(name));
    return probes.wayland && probes.wayland(path);
  }

  std::string Failure() const {
    std::string line = "cannot connect to ";
    for (std::size_t i = 0; i < tried.size(); ++i) line += (i ? " or " : "") + tried[i];
    return line;
  }

private:
  const ScreenEnvironment& env;
  const ScreenProbes& probes;
  std::vector<std::string> tried;
};

}  // namespace

ScreenEnvironment ScreenEnvironment::Current() {
  return {variable("QT_QPA_PLATFORM"), variable("DISPLAY"), variable("WAYLAND_DISPLAY"),
          variable("XDG_RUNTIME_DIR"), variable("XDG_SESSION_TYPE")};
}

ScreenProbes ScreenProbes::Real() { return {XDisplayReachable, WaylandSocketReachable, PlatformPluginInstalled}; }

ScreenChoice ChooseScreen(const ScreenEnvironment& env, const ScreenProbes& probes) {
  Attempt attempt(env, probes);
  if (!env.platform.empty()) {
    const std::vector<std::string> entries = split(env.platform);
    std::string missing;  // the other platforms, none of which has a plugin
    std::size_t displays = 0;
    for (const std::string& entry : entries) {
      if (kindOf(entry) != Kind::Other) {
        ++displays;
        continue;
      }
      const std::string name = entry.substr(0, entry.find(':'));
      if (!probes.plugin || probes.plugin(name)) return {};  // Qt's business
      missing += (missing.empty() ? "" : " or ") + quoted(name);
    }
    if (displays == 0 && !missing.empty())
      return {{}, "no platform " + missing + " is installed (QT_QPA_PLATFORM)"};
    for (const std::string& entry : entries)
      if (kindOf(entry) != Kind::Other && attempt.Try(kindOf(entry))) return {entry, {}};
    if (entries.empty()) return {};
    return {{}, attempt.Failure()};
  }

  std::vector<std::pair<Kind, const char*>> candidates;
  if (!env.display.empty()) candidates.push_back({Kind::X, "xcb"});
  if (!env.wayland.empty()) {
    if (env.sessionType == "wayland")
      candidates.insert(candidates.begin(), {Kind::Wayland, "wayland"});
    else
      candidates.push_back({Kind::Wayland, "wayland"});
  }
  if (candidates.empty()) return {{}, "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"};
  for (const auto& [kind, platform] : candidates)
    if (attempt.Try(kind)) return {platform, {}};
  return {{}, attempt.Failure()};
}

std::string WaylandSocketPath(const std::string& name, const std::string& runtimeDir) {
  if (!name.empty() && name[0] == '/') return name;
  if (runtimeDir.empty()) return {};
  return runtimeDir + "/" + name;
}

bool XDisplayReachable(const std::string& name) {
  if (name.empty()) return false;  // xcb would take DISPLAY instead
  xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
  const bool reached = connection && xcb_connection_has_error(connection) == 0;
  if (connection) xcb_disconnect(connection);
  return reached;
}

bool WaylandSocketReachable(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool reached = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return reached;
}
