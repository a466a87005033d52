#include "framework/resources/TResources.h"

#include <map>

namespace {

struct Table {
  std::map<std::string, std::string> menus;
  std::map<unsigned, std::string> icons;
  std::string programName;
};

Table& table() {
  static Table t;
  return t;
}

}  // namespace

namespace TResources {

void SetMenu(const std::string& name, const std::string& path) { table().menus[name] = path; }

std::string MenuPath(const std::string& name) {
  const auto it = table().menus.find(name);
  return it == table().menus.end() ? std::string() : it->second;
}

void SetIcon(unsigned id, const std::string& path) { table().icons[id] = path; }

std::string IconPath(unsigned id) {
  const auto it = table().icons.find(id);
  return it == table().icons.end() ? std::string() : it->second;
}

void SetProgramName(const std::string& name) { table().programName = name; }

const std::string& ProgramName() { return table().programName; }

}  // namespace TResources
