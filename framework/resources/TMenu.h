#pragma once
// Menu resources: a menu bar described as text, compiled into the program
// (resources/<NAME>.menu) and parsed when a window that names it is created.
//
//   # comment
//   popup "&Edit"                      a drop-down, up to its `end`
//     item "&Copy to clipboard" 100    a command: its text and id (0-65535)
//     separator
//   end
//
// Popups nest up to 8 deep. `&` marks the mnemonic letter; inside quotes,
// \" and \\ stand for " and \.

#include <string>
#include <string_view>
#include <vector>

#include "framework/report/Exceptions.h"

struct TMenuItem {
  enum Kind { Command, Separator, Popup };
  Kind kind = Command;
  std::string text;              // Command and Popup
  unsigned id = 0;               // Command
  std::vector<TMenuItem> items;  // Popup
};

class TMenu {
public:
  using TXMenu = ::TXMenu;

  // Parses a description; raises TXMenu (32744) for any text that is not
  // one. Survives any bytes.
  static std::vector<TMenuItem> Parse(std::string_view text);
  // The compiled-in menu resource `name`, parsed; raises TXMenu (32744) when
  // there is none of that name.
  static std::vector<TMenuItem> Load(const std::string& name);

  static constexpr int MaxDepth = 8;
};
