// What zorva-render agrees to follow: regular files and FIFOs, the latter
// until their writers close them; directories, devices and sockets are
// refused with a message and status 1.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tests/tools/ToolRun.h"

namespace {

// Standard output and error together, with a time-out, so that a run that
// hangs on its input fails instead of holding the test.
ToolRun render(const std::string& args) { return runCommand("timeout 20 " + renderCommand(args) + " 2>&1"); }

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class RenderInputTest : public ::testing::Test {
protected:
  void SetUp() override {
    char name[] = "/tmp/zorva-render-input-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    dir = name;
  }
  void TearDown() override {
    if (writer.joinable()) writer.join();
    std::system(("rm -rf '" + dir + "'").c_str());
  }
  // A FIFO whose one writer comes after a while, writes in two parts with a
  // pause between them, and closes.
  std::string fifoWithWriter() {
    const std::string fifo = dir + "/input.fifo";
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writer = std::thread([fifo] {
      // Waits for the reader, at most 20 s.
      int fd = -1;
      for (int i = 0; i < 400 && fd < 0; ++i) {
        fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      if (fd < 0) return;
      ::fcntl(fd, F_SETFL, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      (void)!::write(fd, "2 4 10 20 110 20 ", 17);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      (void)!::write(fd, "2 4 10 40 110 40 ", 17);
      ::close(fd);
    });
    return fifo;
  }

  std::string dir;
  std::thread writer;
};

}  // namespace

TEST_F(RenderInputTest, RefusesDirectoriesDevicesAndSockets) {
  ::mkdir((dir + "/folder").c_str(), 0700);
  const std::string socket = dir + "/sock";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socket.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  struct Case {
    std::string name, kind;
  } cases[] = {{dir + "/folder", "a directory"}, {"/dev/null", "a device"}, {socket, "a socket"}};
  for (const Case& c : cases) {
    const ToolRun r = render("--trace " + c.name);
    EXPECT_EQ(r.status, 1) << c.name;
    EXPECT_EQ(r.out,
              "zorva-render: cannot open " + c.name + ": " + c.kind + ", not a regular file or a FIFO\n")
        << "no picture, one message";
  }
  ::close(sock);
}

TEST_F(RenderInputTest, FollowsAFifoUntilItsWriterClosesIt) {
  const std::string fifo = fifoWithWriter();
  const ToolRun r = render("--trace " + fifo);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(count(r.out, "LineTo("), 2u) << "both parts, the second after a pause:\n" << r.out;
}

TEST_F(RenderInputTest, TraceAndPictureFromOneFifoBothSeeEveryItem) {
  const std::string fifo = fifoWithWriter();
  const std::string png = dir + "/out.png";
  const ToolRun r = render("--trace -o " + png + " " + fifo);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(count(r.out, "LineTo("), 2u) << r.out;
  struct stat st;
  ASSERT_EQ(::stat(png.c_str(), &st), 0);
  EXPECT_GT(st.st_size, 0);
  EXPECT_EQ(::access(fifo.c_str(), F_OK), 0) << "the FIFO is left as it was";
}
