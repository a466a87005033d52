#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "tests/stream/StreamFixture.h"

using P = zvItemProbe;
using Args = std::array<int, 5>;

TEST_F(StreamTest, ItemSplitOverTwoReadsCompletesOnTheSecond) {
  append("2 4 10 20 11");
  tick();
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(stream->Carried(), 12) << "the half item waits at the front of the buffer";
  EXPECT_TRUE(host.timerArmed);
  append("0 220 ");
  tick();
  ASSERT_EQ(count(), 1);
  EXPECT_EQ(P::args(at(0)), (Args{10, 20, 110, 220, 0}));
  EXPECT_EQ(takeTrace(), "MoveToEx(10,-20)\nLineTo(110,-220)\n");
}

TEST(ParsePass, TakesTheBytesOfCompleteItemsOnlyAndStopsWhereTheSinkSays) {
  struct Counting : ItemSink {
    int items = 0;
    bool TakeItem(zvItem& item) override {
      ++items;
      return item.GetFunc() != ZV_EXIT;
    }
  } sink;
  zvItem item;
  EXPECT_EQ(CommandReader::ParsePass(sink, item, "2 4 1 2 3"), 0);
  EXPECT_EQ(CommandReader::ParsePass(sink, item, "2 4 1 2 3 4 2 4 5"), 11);
  EXPECT_EQ(sink.items, 1);
  EXPECT_EQ(CommandReader::ParsePass(sink, item, "2 4 1 2 3 4 1 0 2 4 5 6 7 8 "), -1);
  EXPECT_EQ(sink.items, 3) << "nothing after the item that stopped it";
}

TEST_F(StreamTest, ItemLongerThanTheBufferIsContinuedAcrossReads) {
  // 2000 bytes of text: kept up to 255, the rest consumed as it arrives.
  append("3 4 1 2 2000 " + std::string(2000, 'x') + "2 4 1 1 2 2 ");
  tick();
  EXPECT_TRUE(host.timerArmed);
  ASSERT_EQ(count(), 2);
  EXPECT_EQ(P::args(at(0)), (Args{1, 2, 2000, 0, 0}));
  EXPECT_EQ(P::str(at(0)), std::string(255, 'x'));
  // The long item is the first of its pass; the line after it is read with
  // the same working item, so it carries the text along.
  EXPECT_EQ(P::args(at(1)), (Args{1, 1, 2, 2, 0}));
  EXPECT_EQ(P::str(at(1)), std::string(255, 'x'));
  EXPECT_LT(stream->Carried(), CommandStream::BufSize - 1);
}

TEST_F(StreamTest, ClearAtStartAndRightAfterStartIsIgnored) {
  append("12 0 ");
  tick();
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(host.paintsPosted, 0);
  append("0 0 12 0 ");
  tick();
  EXPECT_EQ(count(), 7);
  EXPECT_EQ(host.paintsPosted, 1);
  EXPECT_FALSE(host.erasePending);
  EXPECT_EQ(state.clearDisplayList, 1);
}

TEST_F(StreamTest, StartListsDefaultsAndLeavesThePictureUntilErased) {
  append("2 4 1 1 5 5 0 0 ");
  tick();
  ASSERT_EQ(count(), 7);
  const int white[3] = {255, 255, 255};
  const int five = 5, twelve = 12, one = 1;
  EXPECT_TRUE(at(0) == zvItem(ZV_TEXT_FONT, 1, &five, "Arial"));
  EXPECT_TRUE(at(1) == zvItem(ZV_TEXT_HEIGHT, 1, &twelve, ""));
  EXPECT_TRUE(at(2) == zvItem(ZV_TEXT_COLOR, 3, white, ""));
  EXPECT_TRUE(at(3) == zvItem(ZV_TEXT_ALIGN, 1, &one, ""));
  EXPECT_TRUE(at(4) == zvItem(ZV_LINE_COLOR, 3, white, ""));
  EXPECT_TRUE(at(5) == zvItem(ZV_LINE_WIDTH, 1, &one, ""));
  EXPECT_TRUE(at(6) == zvItem(ZV_LINE_TYPE, 1, &one, ""));
  // The live context takes the seven defaults at once, as the replay will.
  EXPECT_EQ(takeTrace(),
            "MoveToEx(1,-1)\nLineTo(5,-5)\nSetViewportOrgEx(0,600)\nSetBkMode(TRANSPARENT)\n"
            "CreateFontA(0,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font1\nSelectObject(font1)\n"
            "CreateFontA(12,0,0,0,400,0,0,0,1,0,0,0,0,\"Arial\")=font2\nSelectObject(font2)\nDeleteObject(font1)\n"
            "SetTextColor(0x00FFFFFF)\nSetTextAlign(0)\n"
            "CreatePen(0,0,0x00FFFFFF)=pen1\nSelectObject(pen1)\n"
            "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\nDeleteObject(pen1)\n"
            "GetStockObject(WHITE_PEN)\nSelectObject(WHITE_PEN)\n");
  EXPECT_FALSE(host.erasePending);
  EXPECT_EQ(host.paintsPosted, 1);
}

TEST_F(StreamTest, TwoClearsInARowBothAct) {
  append("0 0 2 4 1 1 2 2 12 0 12 0 ");
  tick();
  EXPECT_EQ(count(), 7);
  EXPECT_EQ(host.paintsPosted, 3);
  EXPECT_TRUE(host.erasePending);
  EXPECT_EQ(state.clearDisplayList, 0) << "clear items leave the flag as it was";
}

TEST_F(StreamTest, ClearKeepsTheCurrentAttributes) {
  // Right-aligned, dotted, red lines of width 3, green text of height 20 in
  // a named face: drawn live, then rebuilt by the clear.
  append("0 0 10 1 3 7 1 3 4 3 255 0 0 6 1 3 5 3 0 255 0 8 1 20 9 2 4 Mono 2 4 1 1 2 2 12 0 ");
  tick();
  ASSERT_EQ(count(), 7);
  const int four = 4, twenty = 20, right = 3, dotted = 3, width = 3;
  const int green[3] = {0, 255, 0}, red[3] = {255, 0, 0};
  EXPECT_TRUE(at(0) == zvItem(ZV_TEXT_FONT, 1, &four, "Mono"));
  EXPECT_TRUE(at(1) == zvItem(ZV_TEXT_HEIGHT, 1, &twenty, ""));
  EXPECT_TRUE(at(2) == zvItem(ZV_TEXT_COLOR, 3, green, ""));
  EXPECT_TRUE(at(3) == zvItem(ZV_TEXT_ALIGN, 1, &right, ""));
  EXPECT_TRUE(at(4) == zvItem(ZV_LINE_COLOR, 3, red, ""));
  EXPECT_TRUE(at(5) == zvItem(ZV_LINE_WIDTH, 1, &width, ""));
  EXPECT_TRUE(at(6) == zvItem(ZV_LINE_TYPE, 1, &dotted, ""));
}

TEST_F(StreamTest, ClearBeforeAnyFontUsesTheEmptyFaceName) {
  append("2 4 1 1 2 2 12 0 ");
  tick();
  ASSERT_EQ(count(), 7);
  const int zero = 0;
  EXPECT_TRUE(at(0) == zvItem(ZV_TEXT_FONT, 1, &zero, ""));
}

TEST_F(StreamTest, ExitStopsParsingAndPolling) {
  append("2 4 1 1 2 2 1 0 2 4 5 5 6 6 ");
  tick();
  EXPECT_EQ(count(), 1);
  EXPECT_TRUE(host.closePosted);
  EXPECT_FALSE(host.timerArmed) << "polling stays stopped after an exit item";
}

TEST_F(StreamTest, NulByteReadsAsABlankEvenInsideAString) {
  // A C string written with its terminator, and a NUL inside a text.
  const char bytes[] = "2 4 1 1 2 2 \0 2 4 3 3 4 4 3 4 0 0 3 a\0b";
  append(std::string(bytes, sizeof bytes - 1));
  tick();
  ASSERT_EQ(count(), 3);
  EXPECT_EQ(P::args(at(1)), (Args{3, 3, 4, 4, 0}));
  EXPECT_EQ(P::str(at(2)), "a b");
  for (int i = 0; i < 100; ++i) append("2 4 5 5 6 6 ");
  tick();
  EXPECT_EQ(count(), 103);
  EXPECT_EQ(stream->Carried(), 1) << "only the space after the last item waits";
  EXPECT_TRUE(host.timerArmed);
}

TEST_F(StreamTest, AFileCutShorterIsReadAgainFromItsStart) {
  append("2 4 1 1 2 2 2 4 3 3 4 4 2 4 5 5 ");
  tick();
  ASSERT_EQ(count(), 2);
  ASSERT_EQ(stream->Carried(), 9) << "half an item waits";
  // The client reopens the file for writing and starts a new picture. The
  // half item carried from the old text is dropped.
  ASSERT_EQ(::ftruncate(writer, 0), 0);
  ASSERT_EQ(::lseek(writer, 0, SEEK_SET), 0);
  append("0 0 2 2 9 9 ");
  tick();
  ASSERT_EQ(count(), 8) << "the start item decides what the list holds";
  EXPECT_EQ(P::args(at(7)), (Args{9, 9, 0, 0, 0}));
  EXPECT_EQ(host.paintsPosted, 1);
  // A file that only grows is read on from where the last read stopped.
  append("2 4 7 7 8 8 ");
  tick();
  ASSERT_EQ(count(), 9);
  EXPECT_EQ(P::args(at(8)), (Args{7, 7, 8, 8, 0}));
}

TEST_F(StreamTest, ShorterFileWithoutAStartItemAddsToThePicture) {
  append("2 4 1 1 2 2 2 4 3 3 4 4 ");
  tick();
  ASSERT_EQ(::ftruncate(writer, 0), 0);
  ASSERT_EQ(::lseek(writer, 0, SEEK_SET), 0);
  append("2 2 9 9 ");
  tick();
  ASSERT_EQ(count(), 3) << "re-reading resets neither the list nor the window";
  EXPECT_EQ(P::args(at(2))[0], 9);
  EXPECT_EQ(host.paintsPosted, 0);
}

TEST_F(StreamTest, UnknownKindIsStoredAndDrawsNothing) {
  append("0 0 20 0 ");
  tick();
  takeTrace();
  EXPECT_EQ(count(), 8);
  EXPECT_EQ(P::func(at(7)), 20);
  EXPECT_EQ(state.clearDisplayList, 0);
}

TEST_F(StreamTest, TheThousandAndSecondItemGrowsTheList) {
  std::string text = "0 0 ";
  for (int i = 0; i < 995; ++i) text += "2 4 " + std::to_string(i) + " 0 0 0 ";
  append(text);
  tick();
  EXPECT_EQ(count(), 1002);
  EXPECT_EQ(P::args(at(7))[0], 0);
  EXPECT_EQ(P::args(at(1001))[0], 994);
}

TEST_F(StreamTest, OneWorkingItemCarriesArgumentsAndTextWithinAPass) {
  append("3 4 1 2 3 abc2 4 7 8 9 10 2 2 5 6 ");
  tick();
  ASSERT_EQ(count(), 3);
  EXPECT_EQ(P::args(at(2)), (Args{5, 6, 9, 10, 0}));
  EXPECT_EQ(P::str(at(2)), "abc");
  // The next pass starts with a fresh item.
  append("2 2 1 1 ");
  tick();
  EXPECT_EQ(P::args(at(3)), (Args{1, 1, 0, 0, 0}));
  EXPECT_EQ(P::str(at(3)), "");
}

TEST_F(StreamTest, ItemsCarryingATextShareOneCopyOfIt) {
  append("3 4 1 2 5 Hello2 4 1 1 2 2 2 4 3 3 4 4 9 2 4 Mono2 4 5 5 6 6 ");
  tick();
  ASSERT_EQ(count(), 5);
  EXPECT_EQ(P::str(at(1)), "Hello");
  EXPECT_EQ(P::str(at(2)), "Hello");
  EXPECT_TRUE(P::sharesString(at(0), at(1)));
  EXPECT_TRUE(P::sharesString(at(0), at(2)));
  EXPECT_EQ(P::str(at(4)), "Mono");
  EXPECT_TRUE(P::sharesString(at(3), at(4)));
  EXPECT_FALSE(P::sharesString(at(0), at(4)));
  // A clear overwrites the slots; the bytes the old items shared stay right
  // for every item still holding them.
  append("12 0 3 4 1 2 5 World2 4 7 7 8 8 ");
  tick();
  ASSERT_EQ(count(), 9);
  EXPECT_EQ(P::str(at(7)), "World");
  EXPECT_EQ(P::str(at(8)), "World");
  EXPECT_EQ(P::str(at(0)), "Mono") << "the clear's font item keeps the current face";
}

TEST_F(StreamTest, ReadErrorCountsAsNoNewBytes) {
  CommandStream broken(host, state, -1, dc.get());
  broken.EvTimer(1);
  EXPECT_TRUE(host.timerArmed);
  EXPECT_EQ(count(), 0);
}

// A real client process appends items in pieces of random size while the
// stream polls: every item arrives once, in order.
TEST_F(StreamTest, ConcurrentWriterLosesAndDuplicatesNothing) {
  std::mt19937 rng(7);
  std::string text;
  std::vector<zvItem> expected;
  for (int i = 0; i < 3000; ++i) {
    if (i % 7 == 3) {
      std::string s = "t" + std::to_string(i) + " a\nb";
      text += "3 4 " + std::to_string(i) + " 5 " + std::to_string(s.size()) + " " + s;
      const int a[3] = {i, 5, static_cast<int>(s.size())};
      expected.emplace_back(ZV_TEXT, 3, a, s.c_str());
    } else {
      const int a[4] = {i, static_cast<int>(rng() % 2000), -i, 17};
      text +=
          "2 4 " + std::to_string(a[0]) + " " + std::to_string(a[1]) + " " + std::to_string(a[2]) + " 17 \n";
      expected.emplace_back(ZV_LINE, 4, a, "");
    }
  }

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::mt19937 r(11);
    for (size_t pos = 0; pos < text.size();) {
      const size_t n = std::min<size_t>(1 + r() % 700, text.size() - pos);
      if (::write(writer, text.data() + pos, n) != static_cast<ssize_t>(n)) ::_exit(1);
      pos += n;
      if (r() % 4 == 0) ::usleep(r() % 3000);
    }
    ::_exit(0);
  }

  int status = 0;
  bool done = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done && std::chrono::steady_clock::now() < deadline) {
    done = ::waitpid(child, &status, WNOHANG) == child;
    tick();  // after the writer has ended, one more tick reads the rest
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  ASSERT_TRUE(done) << "watchdog: the writer did not finish";
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(count(), static_cast<int>(expected.size()));
  // A line after a text in the same pass carries that text along, so the
  // string is compared for texts only.
  for (int i = 0; i < count(); ++i) {
    const zvItem& got = at(i);
    const zvItem& want = expected[static_cast<size_t>(i)];
    ASSERT_EQ(P::func(got), P::func(want)) << "item " << i;
    ASSERT_EQ(P::count(got), P::count(want)) << "item " << i;
    for (int k = 0; k < P::count(want); ++k) {
      ASSERT_EQ(P::args(got)[k], P::args(want)[k]) << "item " << i;
    }
    if (P::func(want) == ZV_TEXT) {
      ASSERT_EQ(P::str(got), P::str(want)) << "item " << i;
    }
  }
}

// Every kind of the kind table: control kinds act and are never stored,
// every other kind is stored and handed to the rendering. A control kind
// added to the table without its action here would be stored.
TEST_F(StreamTest, ControlKindsAreNeverStoredAndEveryOtherKindIs) {
  for (const ItemKind& kind : itemKinds) {
    TearDown();
    SetUp();
    std::string text = std::to_string(kind.code) + " " + std::to_string(kind.fileCount()) + " ";
    for (int i = 1; i < kind.intArgs(); ++i) text += std::to_string(i) + " ";
    if (kind.string)
      text += "1 s";
    else if (kind.intArgs() > 0)
      text += std::to_string(kind.intArgs()) + " ";
    append("2 4 1 1 2 2 " + text + " 2 4 3 3 4 4 ");
    tick();
    bool stored = false;
    for (int i = 0; i < count(); ++i) stored = stored || P::func(at(i)) == kind.code;
    EXPECT_EQ(stored, kind.itemClass != ItemClass::Control) << kind.constant;
  }
}
