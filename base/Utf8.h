#pragma once
// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF),
// checked a piece at a time, so that a text too long to hold can still be
// judged as a whole.

#include <cstddef>
#include <cstdint>

class Utf8Check {
public:
  // Takes the next `n` bytes of the text.
  void Feed(const unsigned char* s, std::size_t n);
  // Whether every byte fed so far belongs to a valid sequence and the last
  // sequence is complete.
  bool Valid() const { return !bad && need == 0; }

  // The length of the sequence that the lead byte `c` starts (1 for ASCII),
  // or 0 when `c` cannot start one.
  static int SequenceLength(unsigned char c);

private:
  std::uint8_t need = 0;   // continuation bytes still expected
  std::uint8_t lo = 0x80;  // allowed range of the next continuation byte
  std::uint8_t hi = 0xBF;
  bool bad = false;
};

// Whether the `n` bytes at `s` are valid UTF-8 as a whole.
bool IsUtf8(const unsigned char* s, std::size_t n);
