// A display state starts as the program does, and Restart brings every part
// of it back there: the list (storage kept), the flag and all seven
// attributes.
#include <gtest/gtest.h>

#include "stream/DisplayState.h"

TEST(DisplayState, RestartBringsBackTheProgramStart) {
  DisplayState state;
  const DrawAttributes start;
  auto expectAtStart = [&start](const DisplayState& s) {
    EXPECT_EQ(s.displayList.Count(), 0);
    EXPECT_EQ(s.clearDisplayList, 1);
    EXPECT_EQ(s.fontName, start.fontName);
    EXPECT_EQ(s.fontHeight, 0);
    EXPECT_EQ(s.textAlig, TA_LEFT | TA_TOP);
    EXPECT_EQ(s.lineWidth, 0);
    EXPECT_EQ(s.lineType, PS_SOLID);
    EXPECT_EQ(s.lineColor.GetValue(), 0u);
    EXPECT_EQ(s.textColor.GetValue(), 0u);
  };
  expectAtStart(state);

  const int args[4] = {1, 2, 3, 4};
  for (int i = 0; i < 1002; ++i) state.displayList.Add(zvItem(ZV_LINE, 4, args, ""));
  state.clearDisplayList = 0;
  state.setFontName("Arial");
  state.fontHeight = 12;
  state.textAlig = TA_RIGHT;
  state.lineWidth = 3;
  state.lineType = PS_DOT;
  state.lineColor = TColor(1, 2, 3);
  state.textColor = TColor(4, 5, 6);

  state.Restart();
  expectAtStart(state);
  EXPECT_EQ(state.displayList.Count(), 0);
}
