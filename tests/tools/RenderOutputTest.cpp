// Where tessary-render's card goes (standard output, a FIFO) and what a
// huge layout costs it.

// FIFOs, and peak memory from wait4: POSIX only. On Windows, the render check
// under Wine (scripts/windows-render-check.sh) compares standard output.
#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/TestImages.h"
#include "tools/ToolRunner.h"
#include "tools/TwoSlotLayout.h"

namespace {

using layouttest::Bytes;

class RenderOutputTest : public tooltest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    const Bytes layout = tooltest::TwoSlotLayoutFile();
    ASSERT_FALSE(layout.empty());
    WriteBytes("two.jli", layout);
  }

  tooltest::ToolResult RenderTwo(const std::string& output, const std::string& format) const {
    return Render({"--layout", Path("two.jli"), "--format", format, "-o", output});
  }
};

TEST_F(RenderOutputTest, DashWritesTheCardToStandardOutput) {
  for (const std::string format : {"png", "jpeg"}) {
    const tooltest::ToolResult toFile = RenderTwo(Path("card"), format);
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
    const tooltest::ToolResult toOutput = RenderTwo("-", format);
    ASSERT_EQ(toOutput.exitCode, 0) << toOutput.err;
    EXPECT_TRUE(toOutput.err.empty());
    const Bytes saved = ReadBytes("card");
    EXPECT_EQ(Bytes(toOutput.out.begin(), toOutput.out.end()), saved) << format;
    EXPECT_FALSE(std::filesystem::exists(Path("-")));
  }
  // The slot list would be mixed into the card.
  const tooltest::ToolResult both = Render({"--layout", Path("two.jli"), "--slots", "-o", "-"});
  EXPECT_EQ(both.exitCode, 2);
  EXPECT_TRUE(both.out.empty());
}

TEST_F(RenderOutputTest, AFifoGetsTheCardAndIsNotReplaced) {
  const std::string fifo = Path("card.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Bytes received;
  std::thread reader([&] {
    const int fd = open(fifo.c_str(), O_RDONLY);
    uint8_t buffer[4096];
    ssize_t n = 0;
    while (fd >= 0 && (n = read(fd, buffer, sizeof buffer)) > 0) {
      received.insert(received.end(), buffer, buffer + n);
    }
    if (fd >= 0) close(fd);
  });
  const tooltest::ToolResult result = RenderTwo(fifo, "png");
  reader.join();
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(RenderTwo(Path("card.png"), "png").exitCode, 0);
  EXPECT_EQ(received, ReadBytes("card.png"));
  struct stat info {};
  ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(RenderOutputTest, AFolderIsRefusedWithItsReason) {
  const tooltest::ToolResult result = RenderTwo(dir_.string(), "png");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "tessary-render: " + dir_.string() +
                            ": cannot be written (the card cannot be saved there: it is a "
                            "folder)\n");
}

// A 9999 x 9999 layout: two layers of 400 MB each once decoded. Loading it
// holds the two decoded layers and nothing more of that size: they move
// into the template rather than being copied.
TEST_F(RenderOutputTest, AHugeLayoutLoadsWithinTwiceItsTemplateSize) {
  constexpr uint32_t kSide = 9999;
  const Bytes layer = testimages::ZeroGreyPng(kSide, kSide, 8);
  WriteBytes("huge.jli", layouttest::SimpleLayoutFile(layer, layer));
  const tooltest::ToolResult result = Render({"--layout", Path("huge.jli"), "--slots"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "slot 0 key 0x000000 box 0 0 9999 9999\n");
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "peak memory is not measured under AddressSanitizer";
#else
  const double peakBytes = double(result.peakKilobytes) * 1024;
  const double templateBytes = 2.0 * kSide * kSide * 4;
  EXPECT_LT(peakBytes, 850e6) << "peak " << peakBytes / 1e6 << " MB";
  RecordProperty("peak_megabytes", int(peakBytes / 1e6));
  EXPECT_GT(peakBytes, templateBytes) << "both layers are decoded";
#endif
}

}  // namespace
#endif  // _WIN32
