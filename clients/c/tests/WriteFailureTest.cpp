// Writes that fail: the failure comes back to the caller, the handle stays
// failed, and the file is never cut back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zorva/zorva.h>

#include <filesystem>
#include <string>

#include "clients/c/tests/ClientTestSupport.h"

namespace {

using clienttest::descriptorOf;
using clienttest::readFile;
using clienttest::ScratchDir;

bool contains(const char* text, const std::string& part) {
  return std::string(text).find(part) != std::string::npos;
}

TEST(ClientFailures, AnErrorFailsTheHandleForGood) {
  ScratchDir dir;
  const std::string file = dir / "broken.zv";
  zorva* z = clienttest::openWithoutDisplay(file);
  ASSERT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_OK);
  // The handle's descriptor now reads only: its next write fails.
  const int fd = descriptorOf(file);
  ASSERT_GE(fd, 0);
  const int readOnly = open(file.c_str(), O_RDONLY);
  ASSERT_EQ(dup2(readOnly, fd), fd);
  close(readOnly);

  EXPECT_EQ(zorva_circle(z, 5, 6, 7), ZORVA_EWRITE);
  const std::string first = zorva_errmsg(z);
  EXPECT_TRUE(contains(first.c_str(), "writing a circle item to " + file + ": Bad file descriptor")) << first;
  EXPECT_EQ(zorva_failed(z), ZORVA_EWRITE);
  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_EFAILED);
  EXPECT_EQ(zorva_text(z, 1, 2, "x"), ZORVA_EFAILED);
  EXPECT_EQ(zorva_errmsg(z), first) << "the first failure's message is kept";
  EXPECT_EQ(zorva_close(z, ZORVA_EXIT), ZORVA_EFAILED);
  EXPECT_EQ(readFile(file), "2 4 1 2 3 4 \n");
}

TEST(ClientFailures, AClosedDisplayIsReportedNotWrittenInto) {
  ScratchDir dir;
  const std::string file = dir / "closed.zv";
  zorva* z = clienttest::openWithoutDisplay(file);
  ASSERT_EQ(zorva_start(z), ZORVA_OK);
  // A display that closes removes its command file.
  const int reader = open(file.c_str(), O_RDONLY);
  ASSERT_EQ(unlink(file.c_str()), 0);

  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_ECLOSED);
  EXPECT_TRUE(contains(zorva_errmsg(z), "the display has closed")) << zorva_errmsg(z);
  EXPECT_EQ(zorva_failed(z), ZORVA_ECLOSED);
  EXPECT_EQ(zorva_line(z, 1, 2, 3, 4), ZORVA_EFAILED);
  struct stat st;
  ASSERT_EQ(fstat(reader, &st), 0);
  EXPECT_EQ(st.st_size, 5) << "only the start item was written";
  close(reader);
  zorva_close(z, ZORVA_LEAVE_OPEN);
}

// A folder on a tmpfs of one page, mounted for the test. Needs the right to
// mount (root in the machine's own namespace); the test is skipped without.
class TinyDisk {
public:
  TinyDisk() : mounted(mount("tmpfs", dir.path.c_str(), "tmpfs", 0, "size=4k") == 0) {}
  ~TinyDisk() {
    if (mounted) umount2(dir.path.c_str(), MNT_DETACH);
  }
  ScratchDir dir;
  const bool mounted;
};

TEST(ClientFailures, AFullDiskLeavesTheShortItemInPlace) {
  TinyDisk disk;
  if (!disk.mounted) GTEST_SKIP() << "cannot mount a tmpfs here";
  const std::string file = disk.dir / "full.zv";
  zorva* z = clienttest::openWithoutDisplay(file);
  const std::string text(250, 't');
  int rc = ZORVA_OK, items = 0;
  while (rc == ZORVA_OK && items < 100) {
    rc = zorva_text(z, 1, 2, text.c_str());
    ++items;
  }
  // 4096 bytes hold 15 whole items of 263 bytes and part of the 16th.
  EXPECT_EQ(rc, ZORVA_EWRITE);
  EXPECT_EQ(items, 16);
  EXPECT_TRUE(contains(zorva_errmsg(z), "only 151 of its 263 bytes were written")) << zorva_errmsg(z);
  EXPECT_EQ(zorva_text(z, 1, 2, "x"), ZORVA_EFAILED);
  zorva_close(z, ZORVA_LEAVE_OPEN);
  EXPECT_EQ(std::filesystem::file_size(file), 4096u) << "the file is never cut back";
}

}  // namespace
