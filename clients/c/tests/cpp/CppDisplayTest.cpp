// The C++ Display over the real library: a move-only handle that closes
// itself, errors as exceptions and as error codes with the library's code
// and message, and a real display drawn into and closed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <type_traits>
#include <zorva/zorva.hpp>

#include "clients/c/tests/ClientTestSupport.h"
#include "clients/c/tests/shared_picture.hpp"

namespace {

using clienttest::descriptorOf;
using clienttest::fakeZorvad;
using clienttest::readFile;
using clienttest::ScratchDir;
namespace fs = std::filesystem;

static_assert(!std::is_copy_constructible_v<Zorva::Display> && !std::is_copy_assignable_v<Zorva::Display>);
static_assert(std::is_nothrow_move_constructible_v<Zorva::Display> &&
              std::is_nothrow_move_assignable_v<Zorva::Display> &&
              std::is_nothrow_destructible_v<Zorva::Display>);

Zorva::Options noLaunch(Zorva::Close atClose = Zorva::Close::leave_open) {
  Zorva::Options options;
  options.launch = false;
  options.at_close = atClose;
  return options;
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The Error that `f` throws; fails the test when it throws none.
template <class F>
Zorva::Error thrown(F f) {
  try {
    f();
  } catch (const Zorva::Error& e) {
    return e;
  }
  ADD_FAILURE() << "no Zorva::Error was thrown";
  return Zorva::Error(ZORVA_OK, "");
}

TEST(CppDisplay, TheDestructorClosesAsOpenWasTold) {
  ScratchDir dir;
  for (const auto& [atClose, bytes] :
       {std::pair{Zorva::Close::leave_open, "0 0 \n"}, std::pair{Zorva::Close::exit, "0 0 \n1 0 \n"}}) {
    const std::string file = dir / ("closes" + std::to_string(int(atClose)) + ".zv");
    {
      Zorva::Display d = Zorva::Display::open(file, noLaunch(atClose));
      EXPECT_EQ(d.file(), file);
      EXPECT_NE(descriptorOf(file), -1);
      d.start();
    }
    EXPECT_EQ(descriptorOf(file), -1) << "the destructor closed the descriptor";
    EXPECT_EQ(readFile(file), bytes);
  }
}

TEST(CppDisplay, AMoveHandsTheHandleOver) {
  ScratchDir dir;
  const std::string a = dir / "a.zv", b = dir / "b.zv";
  Zorva::Display first = Zorva::Display::open(a, noLaunch(Zorva::Close::exit));
  Zorva::Display second = std::move(first);
  EXPECT_EQ(first.file(), "");
  EXPECT_EQ(first.native_handle(), nullptr);
  const Zorva::Error e = thrown([&] { first.start(); });
  EXPECT_EQ(e.status(), Zorva::Status::invalid);
  EXPECT_STREQ(e.what(), "the Zorva::Display holds no handle (moved from or closed)");
  second.start();
  {
    Zorva::Display third = Zorva::Display::open(b, noLaunch(Zorva::Close::exit));
    third = std::move(second);  // closes b first, with its exit item
    EXPECT_EQ(readFile(b), "1 0 \n");
    third.clear();
  }
  EXPECT_EQ(readFile(a), "0 0 \n12 0 \n1 0 \n");
  first.close();  // holds nothing: does nothing
}

// A display that closed (it removes its file) fails the handle for good:
// the exception carries the library's code and message, the error-code
// overloads the code, and close() still lets the handle go.
TEST(CppDisplay, ErrorsCarryTheLibrarysCodeAndMessage) {
  ScratchDir dir;
  const std::string file = dir / "gone.zv";
  Zorva::Display d = Zorva::Display::open(file, noLaunch(Zorva::Close::exit));
  d.start();
  EXPECT_FALSE(d.failed());
  fs::remove(file);
  const Zorva::Error e = thrown([&] { d.line(1, 2, 3, 4); });
  EXPECT_EQ(e.code(), Zorva::Status::closed);
  EXPECT_EQ(e.code().category().name(), std::string("zorva"));
  EXPECT_TRUE(contains(e.what(), "the display has closed (it removed the command file " + file + ")"))
      << e.what();
  EXPECT_EQ(d.failed(), Zorva::Status::closed);
  std::error_code ec;
  EXPECT_FALSE(d.text(1, 2, "x", ec));
  EXPECT_EQ(ec, Zorva::Status::failed);
  EXPECT_EQ(ec.message(), "the handle failed earlier");
  EXPECT_EQ(thrown([&] { d.close(); }).status(), Zorva::Status::failed);
  EXPECT_EQ(d.native_handle(), nullptr);
  d.close(ec);
  EXPECT_FALSE(ec);
}

TEST(CppDisplay, OpeningFailsWithTheLibrarysReason) {
  ScratchDir dir;
  const std::string taken = dir / "taken.zv";
  std::ofstream(taken) << "theirs";
  Zorva::Options launch;
  launch.zorvad = fakeZorvad(dir, "echo 'zorvad: no display' >&2; exit 1");
  struct Case {
    std::string file;
    Zorva::Options options;
    Zorva::Status status;
    std::string message;
  };
  const Case cases[] = {
      {taken, noLaunch(), Zorva::Status::file, "exists already"},
      {std::string("bad\0name", 8), noLaunch(), Zorva::Status::invalid,
       "the command file's name holds a NUL byte"},
      {dir / "launch.zv", launch, Zorva::Status::launch, "exited with status 1: zorvad: no display"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const Zorva::Error e = thrown([&] { Zorva::Display::open(c.file, c.options); });
    EXPECT_EQ(e.status(), c.status);
    EXPECT_TRUE(contains(e.what(), c.message)) << e.what();
    std::error_code ec;
    const Zorva::Display d = Zorva::Display::open(c.file, c.options, ec);
    EXPECT_EQ(ec, c.status);
    if (d.native_handle()) {
      EXPECT_TRUE(contains(d.message(), c.message)) << d.message();
    }
    EXPECT_EQ(d.file(), "");
  }
  EXPECT_EQ(readFile(taken), "theirs");
  EXPECT_FALSE(fs::exists(dir / "launch.zv"));
}

TEST(CppDisplay, TheCategoryNamesEveryStatus) {
  for (int status = ZORVA_ENOMEM; status <= ZORVA_CUT; ++status) {
    const std::error_code ec = static_cast<Zorva::Status>(status);
    EXPECT_EQ(ec.value(), status);
    EXPECT_EQ(ec.message(), zorva_strerror(status));
  }
  EXPECT_EQ(Zorva::category().name(), std::string("zorva"));
  EXPECT_NE(std::error_code(Zorva::Status::closed), std::error_code(-6, std::generic_category()));
}

// The real display, found in the build tree's bin folder as the C tests find
// it, draws the shared picture and closes on the exit item, which makes it
// delete its file.
TEST(CppDisplay, DrawsIntoTheRealDisplay) {
  ScratchDir dir;
  const std::string file = dir / "real.zv";
  unsetenv("ZORVAD");
  Zorva::Options options;
  options.at_close = Zorva::Close::exit;
  {
    Zorva::Display d = Zorva::Display::open(file, options);
    drawSharedPicture(d);
    EXPECT_FALSE(d.failed()) << d.message();
  }
  // Watchdog: the display reads twice a second; 30 s is far beyond that.
  for (int i = 0; i < 300 && fs::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(file)) << "the display did not close on the exit item";
}

}  // namespace
