#pragma once
// A test that draws needs a Qt GUI application: each test makes one unless
// one exists already, and ends it with the test, so that tests making their
// own application can run in the same program.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

class GuiAppTest : public testing::Test {
protected:
  void SetUp() override {
    if (!QCoreApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);
  }

private:
  int argc = 1;
  char name[16] = "test_tools";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
};
