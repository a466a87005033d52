#pragma once
// Whether Qt can load a platform plugin of a given name, found the way Qt
// finds them (QT_QPA_PLATFORM_PLUGIN_PATH, then the platforms/ folder under
// each library path) and matched by the names each plugin declares, without
// loading any. Works before the application object exists.

#include <string>

// True when a plugin declares `name` (case-insensitive), and also when no
// plugin folder could be read at all: then Qt alone can tell.
bool PlatformPluginInstalled(const std::string& name);
