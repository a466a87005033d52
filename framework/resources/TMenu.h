#pragma once
// Menu resources: a menu bar described as text, compiled into the program
// (resources/<NAME>.menu) and parsed when a window that names it is created.
//
//   # comment
//   popup "&Edit"                      a drop-down, up to its `end`
//     item "&Copy to clipboard" 100    a command: its text and id (0-65535)
//     item "&Fit" 105 key "Ctrl+F"     ... and keys that give the command
//     separator
//   end
//
// A key is written as Qt's portable key sequences are ("Ctrl+C", "Ctrl++",
// "+", "Num++" for the keypad's plus); up to 4 keys an item.
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
  std::vector<std::string> keys;  // Command: the keys that give it
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
  static constexpr std::size_t MaxKeys = 4;
};
