#include <png.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "TestImages.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/SafeOutputFile.h"

namespace {

using engine::Raster;
using imagefiles::CardFormat;

// A card buffer with CardImageStride plus extra padding filled with junk,
// which the writers must never read as pixels.
struct Card {
  uint32_t width, height, stride;
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> packed;  // the same pixels without padding

  Card(uint32_t w, uint32_t h) : width(w), height(h), stride(engine::CardImageStride(w) + 4) {
    packed = testimages::SyntheticPhoto(w, h, 3);
    bytes.assign(size_t(stride) * h, 0xA5);
    for (uint32_t y = 0; y < h; ++y) {
      std::memcpy(&bytes[size_t(y) * stride], &packed[size_t(y) * w * 3], size_t(w) * 3);
    }
  }
  bool Write(const std::string& path, CardFormat format) const {
    return imagefiles::WriteCard(path, format, bytes.data(), width, height, stride).Ok();
  }
};

// Marker segments of a JPEG up to the start of scan: (marker, payload).
std::vector<std::pair<uint8_t, std::vector<uint8_t>>> JpegSegments(const std::vector<uint8_t>& j) {
  std::vector<std::pair<uint8_t, std::vector<uint8_t>>> segments;
  size_t pos = 2;
  while (pos + 4 <= j.size() && j[pos] == 0xFF) {
    const uint8_t marker = j[pos + 1];
    const size_t length = size_t(j[pos + 2]) << 8 | j[pos + 3];
    segments.emplace_back(marker, std::vector<uint8_t>(j.begin() + pos + 4, j.begin() + pos + 2 + length));
    if (marker == 0xDA) break;
    pos += 2 + length;
  }
  return segments;
}

// libjpeg's quality scaling of the example tables of the JPEG standard.
std::vector<uint8_t> ScaledTableInZigzag(const unsigned* natural, int quality) {
  static const int kZigzag[64] = {
      0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
      41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
      30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
  std::vector<uint8_t> out;
  for (int i = 0; i < 64; ++i) {
    long q = (long(natural[kZigzag[i]]) * scale + 50) / 100;
    out.push_back(uint8_t(q < 1 ? 1 : q > 255 ? 255 : q));
  }
  return out;
}

const unsigned kLuminance[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const unsigned kChrominance[64] = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

TEST(CardWriter, JpegIsBaselineQuality80With100DpiJfif) {
  testimages::TempFolder folder;
  const Card card(45, 30);
  const std::string path = folder.File("card.png");  // the extension does not decide
  ASSERT_TRUE(card.Write(path, CardFormat::Jpeg));
  const std::vector<uint8_t> jpeg = testimages::ReadBytes(path);
  ASSERT_GE(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);

  bool sawJfif = false, sawSof0 = false;
  std::vector<std::vector<uint8_t>> tables;
  for (const auto& [marker, payload] : JpegSegments(jpeg)) {
    if (marker == 0xE0 && payload.size() >= 12 && std::memcmp(payload.data(), "JFIF", 5) == 0) {
      sawJfif = true;
      EXPECT_EQ(payload[7], 1);  // dots per inch
      EXPECT_EQ(payload[8] << 8 | payload[9], 100);
      EXPECT_EQ(payload[10] << 8 | payload[11], 100);
    }
    EXPECT_NE(marker, 0xC2) << "progressive";
    if (marker == 0xC0) {
      sawSof0 = true;
      EXPECT_EQ(payload[0], 8);
      EXPECT_EQ(payload[1] << 8 | payload[2], 30);
      EXPECT_EQ(payload[3] << 8 | payload[4], 45);
      EXPECT_EQ(payload[5], 3);
    }
    for (size_t i = 0; marker == 0xDB && i + 65 <= payload.size(); i += 65) {
      EXPECT_EQ(payload[i] >> 4, 0) << "8-bit table";
      tables.emplace_back(payload.begin() + i + 1, payload.begin() + i + 65);
    }
  }
  EXPECT_TRUE(sawJfif);
  EXPECT_TRUE(sawSof0);
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0], ScaledTableInZigzag(kLuminance, 80));
  EXPECT_EQ(tables[1], ScaledTableInZigzag(kChrominance, 80));

  Raster back;
  ASSERT_TRUE(imagefiles::DecodeImage(jpeg.data(), uint32_t(jpeg.size()), false, &back));
  ASSERT_EQ(back.width, 45u);
  ASSERT_EQ(back.height, 30u);
  long error = 0;
  for (size_t i = 0; i < card.packed.size(); ++i) error += std::abs(int(card.packed[i]) - back.pixels[i]);
  EXPECT_LT(double(error) / card.packed.size(), 8.0);
}

TEST(CardWriter, PngIsPlain8BitRgbAndRoundTripsExactly) {
  testimages::TempFolder folder;
  const Card card(31, 17);
  const std::string path = folder.File("card.jpg");
  ASSERT_TRUE(card.Write(path, CardFormat::Png));
  const std::vector<uint8_t> png = testimages::ReadBytes(path);
  const auto chunks = testimages::ListPngChunks(png);
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_EQ(chunks.front().name, "IHDR");
  EXPECT_EQ(chunks.back().name, "IEND");
  for (size_t i = 1; i + 1 < chunks.size(); ++i) EXPECT_EQ(chunks[i].name, "IDAT");
  const uint8_t* ihdr = &png[chunks[0].offset + 8];
  EXPECT_EQ(testimages::GetBigEndian32(ihdr), 31u);
  EXPECT_EQ(testimages::GetBigEndian32(ihdr + 4), 17u);
  EXPECT_EQ(ihdr[8], 8);
  EXPECT_EQ(ihdr[9], PNG_COLOR_TYPE_RGB);
  EXPECT_EQ(ihdr[12], PNG_INTERLACE_NONE);

  Raster back;
  ASSERT_TRUE(imagefiles::DecodeImage(png.data(), uint32_t(png.size()), false, &back));
  ASSERT_EQ(back.ByteSize(), card.packed.size());
  EXPECT_EQ(std::memcmp(back.pixels.get(), card.packed.data(), card.packed.size()), 0);
}

TEST(CardWriter, SavingOverAFileReplacesIt) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.jpg");
  testimages::WriteBytes(path, std::vector<uint8_t>(100000, 7));
#ifndef _WIN32
  chmod(path.c_str(), 0640);
#endif
  ASSERT_TRUE(Card(20, 10).Write(path, CardFormat::Png));
#ifndef _WIN32
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);  // the replaced file's permissions stay
#endif
  const std::vector<uint8_t> png = testimages::ReadBytes(path);
  EXPECT_EQ(png[1], 'P');
  EXPECT_LT(png.size(), 100000u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"card.jpg"});
}

TEST(CardWriter, LongNamesAndLinksSaveLikeAnyFile) {
  testimages::TempFolder folder;
  // The longest name a folder takes: a temporary named after it would not fit.
  const std::string longName = folder.File(std::string(251, 'c') + ".png");
  ASSERT_TRUE(Card(4, 4).Write(longName, CardFormat::Png));
  EXPECT_EQ(testimages::ReadBytes(longName)[1], 'P');

#ifndef _WIN32
  // Saving onto a link replaces the file it points to and keeps the link.
  ASSERT_EQ(mkdir(folder.File("real").c_str(), 0700), 0);
  const std::string real = folder.File("real/card.jpg");
  testimages::WriteBytes(real, std::vector<uint8_t>(10, 1));
  const std::string link = folder.File("link.jpg");
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  ASSERT_TRUE(Card(4, 4).Write(link, CardFormat::Png));
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(testimages::ReadBytes(real)[1], 'P');
#endif
}

TEST(CardWriter, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  testimages::TempFolder folder;
  const std::string path = folder.File("card.jpg");
  const std::vector<uint8_t> old(5000, 42);
  for (CardFormat format : {CardFormat::Jpeg, CardFormat::Png}) {
    // Several 4 KB JPEG buffers; a PNG makes several writes per chunk.
    const Card card = format == CardFormat::Jpeg ? Card(300, 200) : Card(100, 60);
    // Fail each write in turn, the last one included, until the save has
    // fewer writes than the hook waits for and succeeds.
    uint32_t nth = 1;
    for (;; ++nth) {
      testimages::WriteBytes(path, old);
      imagefiles::FailOutputWriteForTesting(nth);
      const bool written = card.Write(path, format);
      imagefiles::FailOutputWriteForTesting(0);
      EXPECT_EQ(folder.Names(), std::vector<std::string>{"card.jpg"});
      if (written) break;
      EXPECT_EQ(testimages::ReadBytes(path), old) << "write " << nth;
    }
    EXPECT_GE(nth, 4u);
    EXPECT_NE(testimages::ReadBytes(path), old);
  }
  // A write failing with no earlier file leaves nothing at all.
  const std::string fresh = folder.File("new.png");
  const Card card(10, 10);
  imagefiles::FailOutputWriteForTesting(2);
  EXPECT_FALSE(card.Write(fresh, CardFormat::Png));
  imagefiles::FailOutputWriteForTesting(0);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"card.jpg"});
}

TEST(CardWriter, BadTargetsAndArgumentsFailWithoutCreatingAnything) {
  testimages::TempFolder folder;
  const Card card(8, 8);
  EXPECT_FALSE(card.Write(folder.File("missing/card.jpg"), CardFormat::Jpeg));
  EXPECT_FALSE(card.Write(folder.File("missing/card.png"), CardFormat::Png));
  EXPECT_FALSE(card.Write(folder.path() + "/", CardFormat::Png));
  EXPECT_FALSE(card.Write("", CardFormat::Png));
  ASSERT_TRUE(std::filesystem::create_directory(folder.File("taken")));  // not replaced
  EXPECT_FALSE(card.Write(folder.File("taken"), CardFormat::Png));
  ASSERT_TRUE(std::filesystem::remove(folder.File("taken")));
  const std::string path = folder.File("card.png");
  EXPECT_FALSE(imagefiles::WriteCard(path, CardFormat::Png, card.bytes.data(), 8, 8, 23).Ok());
  EXPECT_FALSE(imagefiles::WriteCard(path, CardFormat::Jpeg, nullptr, 8, 8, 24).Ok());
  EXPECT_FALSE(imagefiles::WriteCard(path, CardFormat::Jpeg, card.bytes.data(), 0, 8, 24).Ok());
  // libjpeg refuses sides above 65500 with an error, which must end cleanly.
  std::vector<uint8_t> wide(size_t(engine::CardImageStride(70000)), 0);
  EXPECT_FALSE(imagefiles::WriteCard(path, CardFormat::Jpeg, wide.data(), 70000, 1,
                             engine::CardImageStride(70000)).Ok());
  EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
