#pragma once
// The one rule by which every byte string the program shows becomes
// characters (drawn text, window captions, box texts, menu labels): UTF-8
// when the bytes are valid UTF-8 as a whole, else one character per byte in
// Windows-1252. A NUL is a character like any other.

#include <QString>
#include <string_view>

QString DecodeTextBytes(std::string_view bytes);
// The first `count` bytes at `bytes`; nothing for a count of 0 or less.
QString DecodeTextBytes(const char* bytes, int count);
