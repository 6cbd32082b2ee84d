#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>

#include "TestImages.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ReadWholeFile.h"

namespace {

using imagefiles::ReadWholeFile;

TEST(ReadWholeFile, ReadsEveryByteAndRefusesWhatIsNotAFile) {
  testimages::TempFolder folder;
  std::vector<uint8_t> content(300000);
  for (size_t i = 0; i < content.size(); ++i) content[i] = uint8_t(i * 7 + (i >> 9));
  const std::string path = folder.File("photo \xC3\xA9t\xC3\xA9.jpg");  // UTF-8 name
  testimages::WriteBytes(path, content);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(path, &bytes));
  EXPECT_EQ(bytes, content);

  testimages::WriteBytes(folder.File("empty"), {});
  EXPECT_TRUE(ReadWholeFile(folder.File("empty"), &bytes));
  EXPECT_TRUE(bytes.empty());

  EXPECT_FALSE(ReadWholeFile(folder.File("missing"), &bytes));
  EXPECT_FALSE(ReadWholeFile(folder.path(), &bytes));
#ifndef _WIN32
  ASSERT_EQ(mkfifo(folder.File("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(folder.File("fifo"), &bytes));  // and does not hang
#else
  EXPECT_FALSE(ReadWholeFile("CONIN$", &bytes));  // a console: not a file, and no hang
  EXPECT_FALSE(ReadWholeFile("\\\\.\\pipe\\tessary-none", &bytes));
#endif
}

TEST(ReadWholeFile, RefusesFilesOf4GiBAndMoreWithoutReadingThem) {
  testimages::TempFolder folder;
  const std::string path = folder.File("huge");
#ifdef _WIN32
  testimages::WriteBytes(path, {});
  std::filesystem::resize_file(path, uintmax_t(1) << 32);
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t(1) << 32), 0);  // sparse: costs no disk
  ::close(fd);
#endif
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(path, &bytes));
}

TEST(ImageFiles, ReadsAndDecodesThroughTheEnginePort) {
  testimages::TempFolder folder;
  const uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  testimages::WriteBytes(folder.File("a.png"), testimages::EncodeRgbPng(rgb, 2, 2, false));
  const imagefiles::ImageFiles files;
  const engine::ImageReader& reader = files;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(reader.ReadFile(folder.File("a.png"), &bytes));
  engine::Raster out;
  ASSERT_TRUE(reader.Decode(bytes.data(), uint32_t(bytes.size()), false, &out));
  EXPECT_EQ(out.width, 2u);
  EXPECT_EQ(out.pixels[11], 12);
  EXPECT_FALSE(reader.Decode(bytes.data(), 5, false, &out));
}

}  // namespace
