// The texts of the top-level reports: each exception kind's message, the
// prompt, the 255-byte limit, and the entry's last guard.

#include <QString>
#include <new>
#include <stdexcept>
#include <typeinfo>

#include "tests/framework/FrameworkTestSupport.h"
#include "framework/application/Entry.h"
#include "framework/report/ExceptionReport.h"

namespace {

template <class E>
std::exception_ptr raised(E e) {
  return std::make_exception_ptr(std::move(e));
}

TEST(ReportText, EachExceptionKindHasItsMessage) {
  struct Case {
    std::exception_ptr error;
    const char* message;
  };
  const Case cases[] = {
      {raised(xmsg("plain message")), "plain message"},
      {raised(TXInvalidMainWindow()), "Exception #32759 (no message available)."},
      {raised(TXWindow()), "Exception #32747 (no message available)."},
      {raised(TXGdi()), "Exception #32739 (no message available)."},
      {raised(TXMenu()), "Exception #32744 (no message available)."},
      {raised(TXGdi(IDS_GDIDELETEFAIL)), "Exception #32734 (no message available)."},
      {raised(std::bad_alloc()), "Out of memory"},
      {raised(std::bad_cast()), "Bad_cast"},
      {raised(std::bad_typeid()), "Bad_typeid"},
      {raised(std::runtime_error("not a message exception")), ""},
      {raised(42), ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExceptionMessage(c.error), c.message);
}

TEST(ReportText, ThePromptFollowsALineBreakAndAnEmptyMessageIsUnknown) {
  EXPECT_EQ(ReportText("boom", ResumePrompt), "boom\nOK to Resume?");
  EXPECT_EQ(ReportText("boom", nullptr), "boom");
  EXPECT_EQ(ReportText("", ResumePrompt), "Unknown Exception\nOK to Resume?");
  EXPECT_EQ(ReportText("", nullptr), "Unknown Exception");
}

TEST(ReportText, ALongTextIsShortenedToTheBufferKeepingThePrompt) {
  const std::string prompt = "\nOK to Resume?";
  const std::string ascii(1000, 'a');
  EXPECT_EQ(ReportText(ascii, ResumePrompt), std::string(255 - prompt.size(), 'a') + prompt);
  EXPECT_EQ(ReportText(ascii, nullptr), std::string(255, 'a'));
  EXPECT_EQ(ReportText(std::string(255, 'b'), nullptr).size(), 255u);

  // Two-byte characters: the cut never splits one.
  std::string accents;
  for (int i = 0; i < 200; ++i) accents += "\xC3\xA9";
  const std::string withPrompt = ReportText(accents, ResumePrompt);
  EXPECT_LE(withPrompt.size(), 255u);
  EXPECT_EQ(withPrompt.size(), 240u + prompt.size());
  EXPECT_EQ(withPrompt.substr(withPrompt.size() - prompt.size()), prompt);
  EXPECT_FALSE(QString::fromUtf8(withPrompt.c_str()).contains(QChar::ReplacementCharacter));
  EXPECT_EQ(ReportText(accents, nullptr).size(), 254u);
}

TEST(ReportText, CuttingStopsBeforeAnIncompleteCharacterOnly) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string cut;
  };
  const Case cases[] = {
      {"abc", 5, "abc"},
      {"abcdef", 3, "abc"},
      {"ab\xC3\xA9", 3, "ab"},       // inside a 2-byte character
      {"a\xE2\x82\xAC", 3, "a"},     // inside a 3-byte character
      {"\xF0\x9F\x98\x80z", 3, ""},  // inside a 4-byte character
      {"\xF0\x9F\x98\x80z", 4, "\xF0\x9F\x98\x80"},
      {"ab\xE9\xE9\xE9", 3, "ab\xE9"},        // Latin-1 bytes are single characters
      {"a\xA9\xA9\xA9\xA9", 3, "a\xA9\xA9"},  // stray continuation bytes too
      {"", 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CutAtCharacter(c.text, c.limit), c.cut) << c.text << " / " << c.limit;
}

TEST(ReportText, ALongExceptionTextInTheLoopIsShownShortened) {
  ScriptedBoxes boxes;
  boxes.answers = {IDNO};
  TTestApp app;
  auto* window = new TRecordingWindow("Long");
  window->onUser = [] { throw xmsg(std::string(5000, 'x')); };
  app.makeMain = [window] { return window; };
  Watchdog watchdog(app);
  Soon([&] { window->PostMessage(WM_TEST); });
  EXPECT_EQ(app.Run(), -1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text.size(), 255u);
  EXPECT_EQ(boxes.shown[0].text.substr(241), "\nOK to Resume?");
}

int throwsMessage(int, char**) { throw xmsg("entry failed"); }
int throwsOther(int, char**) { throw std::logic_error("x"); }
int returnsFive(int argc, char** argv) { return EntryArgc() == argc && EntryArgv() == argv ? 5 : 0; }

TEST(ReportEntry, AnExceptionLeavingTheEntryFunctionIsReportedWithOkAndGivesMinusOne) {
  ScriptedBoxes boxes;
  char name[] = "prog";
  char* argv[] = {name, nullptr};
  EXPECT_EQ(RunEntry(1, argv, returnsFive), 5);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(RunEntry(1, argv, throwsMessage), -1);
  EXPECT_EQ(RunEntry(1, argv, throwsOther), -1);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, "entry failed");
  EXPECT_EQ(boxes.shown[0].caption, "Unhandled Exception");
  EXPECT_EQ(boxes.shown[0].style, MB_OK | MB_ICONSTOP);
  EXPECT_EQ(boxes.shown[1].text, "Unknown Exception");
  EXPECT_EQ(EntryArgc(), 0);
  EXPECT_EQ(EntryArgv(), nullptr);
}

}  // namespace
