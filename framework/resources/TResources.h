#pragma once
// The program's resources, which the framework looks up by name: menu
// templates and icons (each a file path, or a ":/..." path of resources
// compiled into the program), and the program's name. The program sets
// them before it makes its application and windows; the framework has
// none of its own.

#include <string>

namespace TResources {

// The menu template named `name` (TWindowAttr::Menu) is read from `path`.
void SetMenu(const std::string& name, const std::string& path);
// The path of menu `name`; empty when the program set none.
std::string MenuPath(const std::string& name);

// Icon `id` (TFrameWindow::IconResId) is read from `path`.
void SetIcon(unsigned id, const std::string& path);
std::string IconPath(unsigned id);

// The program's name, where the system wants one and the command line
// gave none; empty until set.
void SetProgramName(const std::string& name);
const std::string& ProgramName();

}  // namespace TResources
