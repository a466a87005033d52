#pragma once
// Reads clients/tests/item_bytes.txt, the byte cases that both client
// libraries' tests run (the file states its syntax). A line that breaks
// the syntax throws std::runtime_error naming the line.

#include <cstddef>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace itembytes {

struct Case {
  int line;                        // in the file, from 1
  std::string call;                // "line", "text_color", ...
  std::vector<int> ints;           // the integer arguments, in order
  std::optional<std::string> str;  // the string argument, if any
  std::string bytes;               // what the call writes
};

namespace detail {

[[noreturn]] inline void fail(int line, const std::string& what) {
  throw std::runtime_error("item_bytes.txt line " + std::to_string(line) + ": " + what);
}

inline int hexDigit(int line, char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  fail(line, std::string("not a hex digit: ") + c);
}

// The quoted text at s[pos] (the opening quote), decoded; pos ends after
// the closing quote.
inline std::string quoted(int line, const std::string& s, std::size_t& pos) {
  std::string out;
  for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
    if (s[pos] != '\\') {
      out += s[pos];
      continue;
    }
    if (++pos >= s.size()) break;
    switch (s[pos]) {
      case 'n':
        out += '\n';
        break;
      case '\\':
      case '"':
        out += s[pos];
        break;
      case 'x':
        if (pos + 2 >= s.size()) fail(line, "\\x needs two hex digits");
        out += static_cast<char>(hexDigit(line, s[pos + 1]) * 16 + hexDigit(line, s[pos + 2]));
        pos += 2;
        break;
      default:
        fail(line, std::string("unknown escape \\") + s[pos]);
    }
  }
  if (pos >= s.size()) fail(line, "a quoted text does not end");
  ++pos;
  return out;
}

inline Case parse(int line, const std::string& s) {
  Case c{line, {}, {}, {}, {}};
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < s.size() && s[pos] == ' ') ++pos;
  };
  auto word = [&] {
    const std::size_t from = pos;
    while (pos < s.size() && s[pos] != ' ') ++pos;
    return s.substr(from, pos - from);
  };
  c.call = word();
  for (;;) {
    skipBlanks();
    if (pos >= s.size()) fail(line, "no \"=>\" and bytes");
    if (s[pos] == '"') {
      if (c.str) fail(line, "a second string argument");
      c.str = quoted(line, s, pos);
      continue;
    }
    const std::string token = word();
    if (token == "=>") break;
    std::size_t used = 0;
    try {
      c.ints.push_back(std::stoi(token, &used));
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != token.size()) fail(line, "not an integer: " + token);
  }
  skipBlanks();
  if (pos >= s.size() || s[pos] != '"') fail(line, "the bytes are not quoted");
  c.bytes = quoted(line, s, pos);
  skipBlanks();
  if (pos != s.size()) fail(line, "text after the bytes");
  return c;
}

}  // namespace detail

inline std::vector<Case> readCases(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<Case> cases;
  std::string s;
  for (int line = 1; std::getline(in, s); ++line) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos || s[first] == '#') continue;
    cases.push_back(detail::parse(line, s));
  }
  return cases;
}

// The cases of the checked-in file.
inline std::vector<Case> readCases() { return readCases(ZORVA_SOURCE_DIR "/clients/tests/item_bytes.txt"); }

}  // namespace itembytes
