// Reading a picture or layout file only as far as it declares: what a
// small file can cost before it is refused, and that every sound file is
// still read to its last byte.

#include <gtest/gtest.h>
#include <png.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "AllocationProbe.h"
#include "LayoutTestFiles.h"
#include "TestImages.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/ReadPictureFile.h"

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;
using Bytes = std::vector<uint8_t>;

// The process's CPU time: robust on a loaded machine, unlike wall time.
double CpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return double(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
  };
  return seconds(kernel) + seconds(user);
#else
  return double(std::clock()) / CLOCKS_PER_SEC;
#endif
}

// The file at `path` grown to `size` bytes with zeros (sparse where the
// file system can).
void GrowTo(const std::string& path, uint64_t size) { std::filesystem::resize_file(path, size); }

struct Read {
  ImageStatus status;
  Bytes bytes;
  double cpuSeconds = 0;
  size_t largestAllocation = 0;
  bool probed = false;
};

Read ReadFile(const std::string& path) {
  Read read;
  const double start = CpuSeconds();
  read.probed = testimages::LargestAllocationDuring(
      [&] { read.status = imagefiles::ReadPictureFile(path, &read.bytes); },
      &read.largestAllocation);
  read.cpuSeconds = CpuSeconds() - start;
  return read;
}

Bytes Jpeg(uint32_t w, uint32_t h, testimages::JpegOptions options = {}) {
  return testimages::EncodeJpeg(testimages::SyntheticPhoto(w, h, 3).data(), w, h, 3, options);
}

TEST(ReadPictureFile, SoundFilesAreReadToTheirLastByte) {
  testimages::TempFolder folder;
  testimages::JpegOptions progressive;
  progressive.progressive = true;
  testimages::JpegOptions tagged;
  tagged.exif = testimages::ExifBlock(6, false);
  testimages::PngPicture interlaced = testimages::MakePngPicture(PNG_COLOR_TYPE_PALETTE, 4, 61, 33);
  interlaced.interlaced = true;
  const Bytes png =
      testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_RGB_ALPHA, 16, 90, 70));
  // A JPEG whose first segment holds end-of-image markers in its data, and
  // one with fill bytes before a marker: neither ends the file early.
  const Bytes jpeg = Jpeg(50, 40);
  Bytes markersInData(jpeg.begin(), jpeg.begin() + 2);
  for (uint8_t b : {0xFF, 0xEF, 0x00, 0x06, 0xFF, 0xD9, 0xFF, 0xD9}) markersInData.push_back(b);
  markersInData.insert(markersInData.end(), jpeg.begin() + 2, jpeg.end());
  Bytes fill(jpeg.begin(), jpeg.begin() + 2);
  fill.insert(fill.end(), {0xFF, 0xFF, 0xFF});
  fill.insert(fill.end(), jpeg.begin() + 2, jpeg.end());
  const struct {
    const char* name;
    Bytes bytes;
  } files[] = {
      {"rgba16.png", png},
      {"palette-interlaced.png", testimages::EncodePng(interlaced)},
      {"exif.png", testimages::WithPngExif(png, testimages::ExifBlock(3, true))},
      {"padded.png", layouttest::PadPng(png, png.size() + 5000)},
      {"baseline.jpg", Jpeg(200, 120)},
      {"progressive.jpg", Jpeg(333, 201, progressive)},
      {"exif.jpg", Jpeg(64, 48, tagged)},
      {"markers-in-data.jpg", markersInData},
      {"fill.jpg", fill},
      {"layout.jli", layouttest::SimpleLayoutFile(layouttest::RegionMapPng(40, 30),
                                                  layouttest::OverlayPng(40, 30))},
      {"text.txt", Bytes{'h', 'i'}},
      {"empty", Bytes{}},
  };
  for (const auto& file : files) {
    const std::string path = folder.File(file.name);
    testimages::WriteBytes(path, file.bytes);
    Bytes bytes;
    EXPECT_TRUE(imagefiles::ReadPictureFile(path, &bytes)) << file.name;
    EXPECT_EQ(bytes, file.bytes) << file.name;
    // Cut short anywhere, a file is read as far as it goes, for the decoder
    // to say what is missing.
    for (size_t cut : {size_t(1), size_t(9), size_t(40), file.bytes.size() / 2,
                       file.bytes.size() - 1}) {
      if (cut >= file.bytes.size()) continue;
      const Bytes part(file.bytes.begin(), file.bytes.begin() + long(cut));
      testimages::WriteBytes(path, part);
      EXPECT_TRUE(imagefiles::ReadPictureFile(path, &bytes)) << file.name << " cut at " << cut;
      EXPECT_EQ(bytes, part) << file.name << " cut at " << cut;
    }
  }
}

TEST(ReadPictureFile, BytesAfterAPicturesEndAreNeverRead) {
  testimages::TempFolder folder;
  // About 1 MB of PNG, then 1 GiB of zeros; a JPEG and a layout likewise.
  const uint32_t w = 900, h = 800;
  const Bytes photo = testimages::SyntheticPhoto(w, h, 3);
  const Bytes png = testimages::EncodeRgbPng(photo.data(), w, h, false);
  ASSERT_GT(png.size(), 800000u);
  const Bytes jpeg = Jpeg(w, h);
  const Bytes layout = layouttest::SimpleLayoutFile(layouttest::RegionMapPng(w, h),
                                                    layouttest::OverlayPng(w, h));
  engine::Raster expected;
  ASSERT_TRUE(imagefiles::DecodeImage(png.data(), uint32_t(png.size()), false, &expected));
  for (const Bytes* file : {&png, &jpeg, &layout}) {
    const std::string path = folder.File("tail");
    testimages::WriteBytes(path, *file);
    GrowTo(path, file->size() + (uint64_t(1) << 30));
    const Read read = ReadFile(path);
    ASSERT_TRUE(read.status);
    if (file == &layout) {
      // One byte more, so that the layout's reader sees the file is longer
      // than its layers.
      EXPECT_EQ(read.bytes.size(), file->size() + 1);
      imagefiles::LayoutLayers layers;
      EXPECT_EQ(imagefiles::ReadLayoutLayers(read.bytes.data(), read.bytes.size(),
                                             imagefiles::ImageFiles(), &layers),
                imagefiles::LayoutStatus::DamagedContainer);
    } else {
      EXPECT_EQ(read.bytes, *file);
    }
    EXPECT_LT(read.cpuSeconds, 0.1);
    if (read.probed) {
      EXPECT_LT(read.largestAllocation, size_t(16) << 20);
    }
  }
  // The PNG decodes from what was read: read and decoded within 0.1 s.
  const std::string path = folder.File("tail.png");
  testimages::WriteBytes(path, png);
  GrowTo(path, png.size() + (uint64_t(1) << 30));
  const double start = CpuSeconds();
  Bytes bytes;
  engine::Raster decoded;
  ASSERT_TRUE(imagefiles::ReadPictureFile(path, &bytes));
  ASSERT_TRUE(imagefiles::DecodeImage(bytes.data(), uint32_t(bytes.size()), false, &decoded));
  EXPECT_LT(CpuSeconds() - start, 0.1);
  EXPECT_EQ(Bytes(decoded.pixels.get(), decoded.pixels.get() + decoded.ByteSize()),
            Bytes(expected.pixels.get(), expected.pixels.get() + expected.ByteSize()));
}

// 4,000 MB files that declare little or nothing: each costs a few reads.
TEST(ReadPictureFile, HugeFilesAreRefusedByWhatTheyDeclare) {
  testimages::TempFolder folder;
  const uint64_t huge = uint64_t(4000) << 20;
  const Bytes png = layouttest::OverlayPng(16, 16);
  // A PNG whose first image data chunk claims 1.9 GB for 16 x 16 pixels.
  Bytes hugeIdat(png.begin(), png.begin() + 33);
  for (uint8_t b : {0x70, 0x00, 0x00, 0x00}) hugeIdat.push_back(b);
  for (char c : std::string("IDAT")) hugeIdat.push_back(uint8_t(c));
  // A layout whose first layer claims nearly 4 GB, holding a small PNG.
  Bytes hugeLayer;
  layouttest::AppendText(hugeLayer, "JQLayeredImage_1LAER");
  layouttest::AppendLe32(hugeLayer, 0xF0000000u);
  layouttest::AppendText(hugeLayer, "DOCU");
  layouttest::AppendLe32(hugeLayer, 0xEFFFFFF0u);
  hugeLayer.insert(hugeLayer.end(), png.begin(), png.end());
  // A PNG that declares 200 MP, as the decoder would refuse it.
  Bytes tooLarge(png.begin(), png.end());
  testimages::PutBigEndian32(&tooLarge[16], 20000);
  testimages::PutBigEndian32(&tooLarge[20], 10000);
  // WebP, TIFF and HEIF, each once declaring a picture above the cap and
  // once claiming nearly the whole 4 GB for a small one.
  auto le32 = [](Bytes& b, uint32_t v) { layouttest::AppendLe32(b, v); };
  auto be32 = [](Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
  };
  auto text = [](Bytes& b, const char* t) { layouttest::AppendText(b, t); };
  auto webp = [&](uint32_t riffSize, uint32_t width, uint32_t height) {
    Bytes b;
    text(b, "RIFF");
    le32(b, riffSize);
    text(b, "WEBPVP8L");
    le32(b, 100);
    b.push_back(0x2F);  // lossless, then 14 bits each of width - 1 and height - 1
    le32(b, (width - 1) | (height - 1) << 14);
    b.resize(b.size() + 32);
    return b;
  };
  auto tiff = [&](uint32_t directory, uint32_t width, uint32_t height) {
    Bytes b = {'I', 'I', 42, 0};
    le32(b, directory);
    b.push_back(2), b.push_back(0);
    for (const uint32_t tag : {256u, 257u}) {
      b.push_back(uint8_t(tag)), b.push_back(uint8_t(tag >> 8));
      b.push_back(4), b.push_back(0);  // one LONG
      le32(b, 1);
      le32(b, tag == 256 ? width : height);
    }
    le32(b, 0);
    return b;
  };
  auto heif = [&](uint32_t mdatSize, uint32_t width, uint32_t height) {
    Bytes b;
    be32(b, 16);
    text(b, "ftypheic");
    be32(b, 0);
    if (mdatSize != 0) {
      be32(b, mdatSize);
      text(b, "mdat");
      return b;
    }
    be32(b, 48);
    text(b, "meta");
    be32(b, 0);
    be32(b, 36);
    text(b, "iprp");
    be32(b, 28);
    text(b, "ipco");
    be32(b, 20);
    text(b, "ispe");
    be32(b, 0);
    be32(b, width);
    be32(b, height);
    return b;
  };
  const ImageStatus extraData = ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData);
  const struct {
    const char* name;
    Bytes start;
    ImageStatus expected;
  } cases[] = {
      {"too-large", tooLarge, ImageStatus::TooLarge(20000, 10000)},
      {"webp-too-large", webp(200, 16384, 16384), ImageStatus::TooLarge(16384, 16384)},
      {"webp-huge-riff", webp(0xF0000000u, 100, 100), extraData},
      {"tiff-too-large", tiff(8, 60000, 60000), ImageStatus::TooLarge(60000, 60000)},
      {"tiff-far-directory", tiff(0xF0000000u, 100, 100), extraData},
      {"heif-too-large", heif(0, 60000, 60000), ImageStatus::TooLarge(60000, 60000)},
      {"heif-huge-mdat", heif(0xF0000000u, 0, 0), extraData},
      {"zeros", {}, ImageStatus()},
      {"idat", hugeIdat, ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData)},
      {"layer", hugeLayer, ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData)},
      {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10},
       ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::ExtraData)},
  };
  for (const auto& c : cases) {
    const std::string path = folder.File(c.name);
    testimages::WriteBytes(path, c.start);
    GrowTo(path, huge);
    const Read read = ReadFile(path);
    EXPECT_EQ(read.status.failure, c.expected.failure) << c.name;
    EXPECT_EQ(read.status.detail, c.expected.detail) << c.name;
    EXPECT_EQ(read.status.width, c.expected.width) << c.name;
    // A JPEG's other segments may hold up to 16 MiB before its frame, which
    // are read; the others cost a few reads.
    const bool jpeg = c.start.size() == 6;
    EXPECT_LT(read.cpuSeconds, jpeg ? 0.5 : 0.1) << c.name;
    if (read.probed && !jpeg) {
      EXPECT_LT(read.largestAllocation, size_t(16) << 20) << c.name;
    }
    if (read.status) {
      // Zeros: the first bytes, which are neither a picture nor a layout.
      EXPECT_LE(read.bytes.size(), 32u);
      engine::Raster photo;
      EXPECT_EQ(imagefiles::DecodeImage(read.bytes.data(), uint32_t(read.bytes.size()),
                                        imagefiles::DecodeMode::Photo, &photo)
                    .failure,
                ImageFailure::NotAPicture);
      imagefiles::LayoutLayers layers;
      EXPECT_EQ(imagefiles::ReadLayoutLayers(read.bytes.data(), read.bytes.size(),
                                             imagefiles::ImageFiles(), &layers),
                imagefiles::LayoutStatus::NotLayoutFile);
    }
  }
  // The program's own port reads the same way.
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(imagefiles::ImageFiles().ReadFile(folder.File("idat"), &bytes));
}

}  // namespace
