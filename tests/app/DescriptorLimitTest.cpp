// The display's descriptor limit: raised to the hard limit at start, and a
// hard limit below what the display needs refused in one line. Each case
// runs in a child process, since a lowered hard limit cannot be raised.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "app/DescriptorLimit.h"

namespace {

// Sets the limits, raises, and exits with 0 when `check` holds.
template <class Check>
void runWith(rlim_t soft, rlim_t hard, Check check) {
  rlimit limit{soft, hard};
  if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) std::exit(3);
  const std::string line = RaiseDescriptorLimit();
  rlimit now{};
  ::getrlimit(RLIMIT_NOFILE, &now);
  std::fprintf(stderr, "[%s] soft %lu\n", line.c_str(), static_cast<unsigned long>(now.rlim_cur));
  std::exit(check(line, now) ? 0 : 1);
}

TEST(DescriptorLimit, TheSoftLimitIsRaisedToTheHardOne) {
  rlimit current{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &current), 0);
  if (current.rlim_max < 200) GTEST_SKIP() << "the hard limit here is " << current.rlim_max;
  EXPECT_EXIT(runWith(12, current.rlim_max,
                      [&](const std::string& line, const rlimit& now) {
                        return line.empty() && now.rlim_cur == current.rlim_max;
                      }),
              testing::ExitedWithCode(0), "");
}

TEST(DescriptorLimit, AHardLimitBelowTheNeedIsOneLine) {
  EXPECT_EXIT(runWith(12, 40,
                      [](const std::string& line, const rlimit& now) {
                        return now.rlim_cur == 40 && line.find('\n') == std::string::npos;
                      }),
              testing::ExitedWithCode(0),
              "\\[the limit of open files \\(40\\) is too low; the display needs 64\\] soft 40");
}

}  // namespace
