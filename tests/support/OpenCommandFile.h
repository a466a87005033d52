#pragma once
// The command file as the program hands it to the display window: opened,
// or a test failure.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "stream/CommandFile.h"

inline std::unique_ptr<CommandFile> OpenCommandFile(const std::string& path) {
  auto file = std::make_unique<CommandFile>();
  EXPECT_TRUE(file->Open(path.c_str())) << path << ": " << file->Input().Problem();
  return file;
}
