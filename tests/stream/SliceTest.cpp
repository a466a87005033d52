// A step that pauses between reads gives the same items, drawing calls and
// requests, in the same order, as a step that runs to its end.
#include "tests/stream/StreamFixture.h"

namespace {

// Lets the step pause after every read and records when requests come.
struct SlicingHost : HeadlessHost {
  SlicingHost() : HeadlessHost(800, 600) {}
  bool SlicesSteps() const override { return true; }
  void PostStepContinuation() override {
    ++pauses;
    if (timerArmed) armedDuringStep = true;
  }
  void PostPaintRequest() override {
    HeadlessHost::PostPaintRequest();
    log += "paint;";
  }
  void InvalidateClient(bool erase) override {
    HeadlessHost::InvalidateClient(erase);
    log += "invalidate;";
  }
  void PostCloseRequest() override {
    HeadlessHost::PostCloseRequest();
    log += "close;";
  }
  int pauses = 0;
  bool armedDuringStep = false;
  std::string log;
};

std::string picture() {
  std::string text = "2 4 1 1 5 5 0 0 ";
  for (int i = 0; i < 400; ++i) {
    text += "2 4 " + std::to_string(i) + " 0 10 10 ";
    if (i == 150) text += "12 0 4 3 255 0 0 ";
    if (i == 300) text += "3 4 5 5 3 abc 2 2 7 7 ";
  }
  return text + "1 0 2 4 9 9 9 9 ";
}

}  // namespace

TEST_F(StreamTest, SlicedStepGivesWhatAWholeStepGives) {
  append(picture());
  tick();
  const std::string whole = takeTrace();
  const int items = count();
  const int paints = host.paintsPosted;
  ASSERT_TRUE(host.closePosted);

  // The same file again, through a step that pauses after every read.
  TearDown();
  SetUp();
  takeTrace();  // the end of the first context
  SlicingHost slicing;
  stream = std::make_unique<CommandStream>(slicing, state, reader, dc.get());
  stream->SetSlice(std::chrono::nanoseconds(0));
  append(picture());
  stream->EvTimer(1);
  while (stream->StepRunning()) {
    EXPECT_EQ(slicing.log, "") << "requests wait for the end of the step";
    stream->ContinueStep();
  }
  EXPECT_GT(slicing.pauses, 5);
  EXPECT_FALSE(slicing.armedDuringStep);
  EXPECT_FALSE(slicing.timerArmed) << "after an exit item polling stays stopped";
  EXPECT_EQ(takeTrace(), whole);
  EXPECT_EQ(count(), items);
  EXPECT_EQ(slicing.paintsPosted, paints);
  EXPECT_EQ(slicing.log, "paint;invalidate;paint;close;");
}

TEST_F(StreamTest, SlicedStepWithoutExitRearmsTheTimerOnlyAtItsEnd) {
  SlicingHost slicing;
  stream = std::make_unique<CommandStream>(slicing, state, reader, dc.get());
  stream->SetSlice(std::chrono::nanoseconds(0));
  for (int i = 0; i < 300; ++i) append("2 4 1 2 3 4 ");
  stream->EvTimer(1);
  EXPECT_TRUE(stream->StepRunning());
  EXPECT_FALSE(slicing.timerArmed);
  stream->ContinueStep();
  while (stream->StepRunning()) stream->ContinueStep();
  EXPECT_TRUE(slicing.timerArmed);
  EXPECT_EQ(count(), 300);
  stream->ContinueStep();  // no step is running: nothing happens
  EXPECT_EQ(count(), 300);
}
