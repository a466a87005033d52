#pragma once
// Text bytes as characters: UTF-8 when the bytes are valid UTF-8, else one
// character per byte in Windows-1252. A NUL is a character like any other.

#include <QString>

QString DecodeTextBytes(const char* bytes, int count);
