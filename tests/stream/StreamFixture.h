#pragma once
// A command file in a temporary folder, followed by a CommandStream that
// records its drawing calls, in a headless 800x600 window.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "stream/CommandStream.h"
#include "stream/DisplayState.h"
#include "stream/HeadlessHost.h"
#include "framework/gdi/TClientDC.h"
#include "framework/surface/RecordingSurface.h"
#include "tests/items/zvItemProbe.h"

class StreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zorva-stream-XXXXXX";
    writer = ::mkstemp(name);
    ASSERT_GE(writer, 0);
    path = name;
    reader = ::open(name, O_RDONLY);
    ASSERT_GE(reader, 0);
    state.Restart();  // a test may start afresh with TearDown and SetUp
    recorder = std::make_unique<RecordingSurface>(trace);
    dc = std::make_unique<TClientDC>(*recorder);
    stream = std::make_unique<CommandStream>(host, state, reader, dc.get());
  }
  void TearDown() override {
    stream.reset();
    dc.reset();
    recorder.reset();
    ::close(reader);
    ::close(writer);
    ::unlink(path.c_str());
  }

  void append(const std::string& bytes) {
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void tick() { stream->EvTimer(1); }
  // The trace written since the last call.
  std::string takeTrace() {
    std::string t = trace.str();
    trace.str("");
    return t;
  }
  int count() const { return state.displayList.Count(); }
  const zvItem& at(int i) { return state.displayList[i]; }

  std::string path;
  int writer = -1, reader = -1;
  DisplayState state;
  HeadlessHost host{800, 600};
  std::ostringstream trace;
  std::unique_ptr<RecordingSurface> recorder;
  std::unique_ptr<TClientDC> dc;
  std::unique_ptr<CommandStream> stream;
};
