#pragma once
// Text bytes as Qt text (framework internal): UTF-8 when they are valid
// UTF-8, else one character a byte.

#include <QString>
#include <string>

QString TextFromBytes(const std::string& bytes);
