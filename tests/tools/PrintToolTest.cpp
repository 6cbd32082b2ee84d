// tessary-render at print size, --designs, and tessary-layout --ppi.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/CardDocument.h"
#include "document/CardExport.h"
#include "document/DesignSizes.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/PngDensity.h"
#include "resources/BuiltInImages.h"
#include "tools/ToolRunner.h"

namespace {

using layouttest::Bytes;

bool HasArtwork() { return resources::FindPngResource(301).size != 0; }

Bytes PhotoPng(uint32_t width, uint32_t height) {
  Bytes pixels(size_t(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 % 251);
  return layouttest::EncodePng(width, height, 3, pixels);
}

// A JPEG's JFIF density and its size from its first SOF0.
struct JpegHeader {
  int density = -1;
  uint32_t width = 0, height = 0;
};
JpegHeader Header(const Bytes& j) {
  JpegHeader h;
  for (size_t i = 2; i + 12 < j.size(); ++i) {
    if (j[i] != 0xFF) continue;
    if (j[i + 1] == 0xE0 && std::memcmp(&j[i + 4], "JFIF", 5) == 0) h.density = j[i + 12] << 8 | j[i + 13];
    if (j[i + 1] == 0xC0) {
      h.height = uint32_t(j[i + 5] << 8 | j[i + 6]);
      h.width = uint32_t(j[i + 7] << 8 | j[i + 8]);
      break;
    }
  }
  return h;
}

class PrintToolTest : public tooltest::ToolTest {};

TEST_F(PrintToolTest, DesignsAreListedWithTheirPixelsAndInches) {
  const tooltest::ToolResult result = Render({"--designs"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(tooltest::CountLines(result.out), 9);
  EXPECT_EQ(result.out.rfind("0  Frost       900 x 600   6 x 4 in   print 1800 x 1200 at 300 ppi\n", 0),
            0u)
      << result.out;
  EXPECT_NE(result.out.find("5  Wedding     750 x 1050  5 x 7 in   print 1500 x 2100 at 300 ppi\n"),
            std::string::npos)
      << result.out;
}

TEST_F(PrintToolTest, PrintIsTheDesignsPrintVersionFramedAsTheScreenCard) {
  if (!HasArtwork()) GTEST_SKIP() << "built-in artwork not in this build";
  WriteBytes("photo.png", PhotoPng(1500, 1100));
  const std::vector<std::string> card = {"--template", "0",        "--photo", "0=" + Path("photo.png"),
                                         "--zoom",     "0=1.5625", "--pan",   "0=0.4,0.55"};
  auto with = [&card](std::vector<std::string> more) {
    more.insert(more.begin(), card.begin(), card.end());
    return more;
  };
  tooltest::ToolResult result = Render(with({"--print", "--slots", "-o", Path("card.jpg")}));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(result.err.empty()) << result.err;  // 1500 pixels across 2.9 in: sharp
  // The print version's boxes: the screen's, exactly twice.
  EXPECT_EQ(result.out,
            "slot 0 key 0x0000F8 box 916 24 1776 584\n"
            "slot 1 key 0x00F800 box 24 24 884 584\n"
            "slot 2 key 0xF80000 box 24 616 884 1176\n"
            "slot 3 key 0xF800F8 box 916 616 1776 1176\n"
            "slot 4 key 0xF8F800 box 644 344 1156 856\n");
  const JpegHeader jpeg = Header(ReadBytes("card.jpg"));
  EXPECT_EQ(jpeg.width, 1800u);
  EXPECT_EQ(jpeg.height, 1200u);
  EXPECT_EQ(jpeg.density, 300);
  ASSERT_EQ(Render(with({"--print", "-o", Path("card.png")})).exitCode, 0);
  const Bytes png = ReadBytes("card.png");
  EXPECT_EQ(imagefiles::ReadPngPpi(png.data(), uint32_t(png.size())), 300u);

  // What Save writes at the print size, built in this process.
  const imagefiles::ImageFiles files;
  document::CardDocument doc(files);
  ASSERT_TRUE(doc.Start(0));
  ASSERT_TRUE(doc.LoadPhoto(0, Path("photo.png")));
  doc.EditSlots(
      [](engine::SlotList& slots) {
        slots[0].zoom = 1.5625f;
        slots[0].panX = 0.4f;
        slots[0].panY = 0.55f;
        return true;
      },
      document::Commit::Step);
  const document::DesignInfo info = document::DescribeDesign(doc.State());
  ASSERT_TRUE(document::ExportCard(doc.State(), *info.PrintSize(), files, Path("saved.png"),
                                   imagefiles::CardFormat::Png));
  EXPECT_EQ(png, ReadBytes("saved.png"));

  // Without --print: the screen card, 900 x 600 at 100 dpi as always.
  ASSERT_EQ(Render(with({"-o", Path("screen.jpg")})).exitCode, 0);
  const JpegHeader screen = Header(ReadBytes("screen.jpg"));
  EXPECT_EQ(screen.width, 900u);
  EXPECT_EQ(screen.density, 100);
}

TEST_F(PrintToolTest, APhotoThatWouldPrintSoftIsNamedOnStandardError) {
  if (!HasArtwork()) GTEST_SKIP() << "built-in artwork not in this build";
  WriteBytes("small.png", PhotoPng(800, 600));
  WriteBytes("large.png", PhotoPng(2400, 1600));
  // The postcard's one region: 828 x 528 at 150 ppi, 5.5 x 3.5 in.
  tooltest::ToolResult result =
      Render({"--template", "8", "--print", "--photo", "0=" + Path("small.png"), "-o", Path("a.jpg")});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "tessary-render: warning: " + Path("small.png") +
                            " (slot 0): This photo will print at 144 ppi and may look soft. Zoom "
                            "out or use a larger photo.\n");
  EXPECT_EQ(Header(ReadBytes("a.jpg")).width, 1800u);  // written all the same
  result = Render({"--template", "8", "--photo", "0=" + Path("small.png"), "-o", Path("b.jpg")});
  EXPECT_TRUE(result.err.empty()) << "the screen size is no print: " << result.err;
  result = Render({"--template", "8", "--print", "--photo", "0=" + Path("large.png"), "-o",
                   Path("c.jpg")});
  EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(PrintToolTest, ALayoutStampedWithAResolutionPrintsAtItsOwnSize) {
  WriteBytes("map.png", layouttest::RegionMapPng(600, 400));
  WriteBytes("overlay.png", layouttest::OverlayPng(600, 400));
  WriteBytes("photo.png", PhotoPng(300, 200));
  ASSERT_EQ(Layout({"--ppi", "300", Path("map.png"), Path("overlay.png"), "-o", Path("print.jli")})
                .exitCode,
            0);
  ASSERT_EQ(Layout({Path("map.png"), Path("overlay.png"), "-o", Path("plain.jli")}).exitCode, 0);
  imagefiles::LayoutLayers layers;
  ASSERT_EQ(imagefiles::ReadLayoutFile(Path("print.jli"), imagefiles::ImageFiles(), &layers),
            imagefiles::LayoutStatus::Ok);
  EXPECT_EQ(layers.ppi, 300u);

  // A 2 x 1.33 in card; its left region, 1 x 1.33 in, shows 150 x 200 of the photo.
  tooltest::ToolResult result = Render({"--layout", Path("print.jli"), "--print", "--photo",
                                        "0=" + Path("photo.png"), "-o", Path("card.jpg")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find("will print at 150 ppi"), std::string::npos) << result.err;
  const JpegHeader jpeg = Header(ReadBytes("card.jpg"));
  EXPECT_EQ(jpeg.width, 600u);
  EXPECT_EQ(jpeg.density, 300);
  // Its own size is its print size: the same card and the same warning without --print.
  result = Render({"--layout", Path("print.jli"), "--photo", "0=" + Path("photo.png"), "-o",
                   Path("own.jpg")});
  EXPECT_EQ(ReadBytes("own.jpg"), ReadBytes("card.jpg"));
  EXPECT_FALSE(result.err.empty());

  // A layout that records no resolution has no print size.
  result = Render({"--layout", Path("plain.jli"), "--print", "-o", Path("no.jpg")});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("--ppi"), std::string::npos) << result.err;
  for (const char* bad : {"0", "10001", "3x", "", "-5"}) {
    result = Layout({"--ppi", bad, Path("map.png"), Path("overlay.png"), "-o", Path("x.jli")});
    EXPECT_EQ(result.exitCode, 2) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("no.jpg")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.jli")));
}

}  // namespace
