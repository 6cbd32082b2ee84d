#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/BuiltInDesigns.h"
#include "document/PhotoFile.h"
#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/compose/CardCompositor.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/TestImages.h"
#include "resources/BuiltInImages.h"
#include "tools/ToolRunner.h"
#include "tools/TwoSlotLayout.h"

namespace {

using layouttest::Bytes;
using tooltest::CountLines;

bool HasArtwork() { return resources::FindPngResource(201).size != 0; }

// A photo with something to scale: every pixel differs from its neighbours.
Bytes PhotoPng(uint32_t width, uint32_t height) {
  Bytes pixels(size_t(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 % 251);
  return layouttest::EncodePng(width, height, 3, pixels);
}

engine::Raster Decode(const Bytes& file) {
  engine::Raster picture;
  imagefiles::DecodeImage(file.data(), uint32_t(file.size()), false, &picture);
  return picture;
}

class RenderToolTest : public tooltest::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    const Bytes layout = tooltest::TwoSlotLayoutFile();
    ASSERT_FALSE(layout.empty());
    WriteBytes("two.jli", layout);
    WriteBytes("photo.png", PhotoPng(37, 23));
    WriteBytes("notes.txt", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  }

  tooltest::ToolResult RenderTwo(std::vector<std::string> extra) const {
    std::vector<std::string> args{"--layout", Path("two.jli"), "--photo", "1=" + Path("photo.png")};
    args.insert(args.end(), extra.begin(), extra.end());
    return Render(args);
  }
};

TEST_F(RenderToolTest, UsageErrorsExitWith2AndShowTheUsage) {
  const std::vector<std::vector<std::string>> badLines = {
      {},
      {"--slots", "--bogus"},
      {"--template", "9", "--slots"},
      {"--print", "--size", "900x600", "-o", Path("a.png")},
      {"--template", "0", "--layout", Path("two.jli"), "-o", Path("a.png")},
      {"--size", "0x600", "-o", Path("a.png")},
      {"--size", "20000x20000", "-o", Path("a.png")},
      {"--pan", "0=0.5", "-o", Path("a.png")},
      {"--pan", "0=nan,0.5", "-o", Path("a.png")},
      {"--zoom", "0=0.99", "-o", Path("a.png")},
      {"--zoom", "0=8.01", "-o", Path("a.png")},
      {"--zoom", "0=", "-o", Path("a.png")},
      {"--zoom", "2", "-o", Path("a.png")},
      {"--photo", "x.png", "-o", Path("a.png")},
      {"--format", "gif", "-o", Path("a.png")},
      {"-o"},
      // Slot 2 does not exist in a two-slot layout.
      {"--layout", Path("two.jli"), "--photo", "2=" + Path("photo.png"), "-o", Path("a.png")},
      {"--layout", Path("two.jli"), "--pan", "5=0,0", "-o", Path("a.png")},
      {"--layout", Path("two.jli"), "--zoom", "2=2", "-o", Path("a.png")},
  };
  for (const auto& args : badLines) {
    const tooltest::ToolResult result = Render(args);
    EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(result.err.find("usage: tessary-render"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("a.png")));
}

TEST_F(RenderToolTest, ListsTheSlotsOfBuiltInTemplate0) {
  if (!HasArtwork()) GTEST_SKIP() << "built-in artwork not in this build";
  const tooltest::ToolResult result = Render({"--slots"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "slot 0 key 0x0000F8 box 458 12 888 292\n"
            "slot 1 key 0x00F800 box 12 12 442 292\n"
            "slot 2 key 0xF80000 box 12 308 442 588\n"
            "slot 3 key 0xF800F8 box 458 308 888 588\n"
            "slot 4 key 0xF8F800 box 322 172 578 428\n");
  const tooltest::ToolResult card = Render({"--template", "2", "-o", Path("card.png")});
  EXPECT_EQ(card.exitCode, 0) << card.err;
  const engine::Raster picture = Decode(ReadBytes("card.png"));
  EXPECT_EQ(picture.width, 900u);
  EXPECT_EQ(picture.height, 600u);
}

TEST_F(RenderToolTest, WritesExactlyWhatTheProgramSaves) {
  const tooltest::ToolResult result = RenderTwo(
      {"--pan", "1=0.3,0.9", "--zoom", "1=2.44140625", "--slots", "-o", Path("card.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "slot 0 key 0x0000F8 box 1 1 32 47\n"
            "slot 1 key 0x00F800 box 32 1 63 47\n");
  EXPECT_TRUE(result.err.empty());

  // The same card built in this process and saved as the Save command does.
  const imagefiles::ImageFiles files;
  engine::Card card;
  card.placeholderTile =
      std::make_shared<const engine::Raster>(document::LoadPlaceholderTile(files));
  imagefiles::LayoutLayers layers;
  ASSERT_EQ(imagefiles::ReadLayoutFile(Path("two.jli"), files, &layers),
            imagefiles::LayoutStatus::Ok);
  ASSERT_TRUE(engine::SetTemplate(card, std::move(layers.regionMap), std::move(layers.overlay)));
  engine::Raster photo;
  document::PhotoSource source;
  ASSERT_TRUE(document::ReadPhotoFile(Path("photo.png"), files, &photo, &source));
  ASSERT_TRUE(engine::PutPhoto(card.slots, 1, std::move(photo)));
  card.slots[1].panX = 0.3f;
  card.slots[1].panY = 0.9f;
  card.slots[1].zoom = 2.44140625f;  // four wheel notches: 1.25^4
  const uint32_t stride = engine::CardImageStride(64);
  Bytes pixels(size_t(stride) * 48);
  engine::RenderCard(card, 64, 48, pixels.data(), int32_t(stride), false);
  ASSERT_TRUE(imagefiles::WriteCard(Path("saved.png"), imagefiles::CardFormat::Png,
                                        pixels.data(), 64, 48, stride).Ok());
  EXPECT_EQ(ReadBytes("card.png"), ReadBytes("saved.png"));

  // The overlay's opaque blue top row is on top.
  const engine::Raster picture = Decode(ReadBytes("card.png"));
  ASSERT_EQ(picture.width, 64u);
  ASSERT_EQ(picture.height, 48u);
  EXPECT_EQ(picture.Row(0)[0], 0);
  EXPECT_EQ(picture.Row(0)[2], 255);
}

TEST_F(RenderToolTest, SizeDraftAndPanChangeTheOutput) {
  ASSERT_EQ(RenderTwo({"-o", Path("full.png")}).exitCode, 0);
  ASSERT_EQ(RenderTwo({"--draft", "-o", Path("draft.png")}).exitCode, 0);
  ASSERT_EQ(RenderTwo({"--pan", "1=0,0", "-o", Path("panned.png")}).exitCode, 0);
  ASSERT_EQ(RenderTwo({"--zoom", "1=1", "-o", Path("one.png")}).exitCode, 0);
  ASSERT_EQ(RenderTwo({"--zoom", "1=3", "-o", Path("zoomed.png")}).exitCode, 0);
  ASSERT_EQ(RenderTwo({"--size", "160x90", "-o", Path("big.png")}).exitCode, 0);
  const Bytes full = ReadBytes("full.png");
  EXPECT_NE(full, ReadBytes("draft.png"));
  EXPECT_NE(full, ReadBytes("panned.png"));
  EXPECT_EQ(full, ReadBytes("one.png"));
  EXPECT_NE(full, ReadBytes("zoomed.png"));
  const engine::Raster big = Decode(ReadBytes("big.png"));
  EXPECT_EQ(big.width, 160u);
  EXPECT_EQ(big.height, 90u);
  EXPECT_EQ(Decode(ReadBytes("draft.png")).width, 64u);
}

// Photos decode on two threads, yet the result is that of loading them one by
// one in command-line order: a slot named twice keeps the later photo, and of
// several bad photos the first one named is reported.
TEST_F(RenderToolTest, PhotosLoadedTogetherActAsIfLoadedInOrder) {
  WriteBytes("other.png", PhotoPng(19, 41));
  const std::vector<std::string> both = {"--layout", Path("two.jli"),
                                         "--photo",  "0=" + Path("photo.png"),
                                         "--photo",  "1=" + Path("other.png")};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = both;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  ASSERT_EQ(Render(with({"-o", Path("both.png")})).exitCode, 0);
  ASSERT_EQ(Render(with({"--photo", "1=" + Path("photo.png"), "--photo", "0=" + Path("other.png"),
                         "-o", Path("swapped.png")}))
                .exitCode,
            0);
  ASSERT_EQ(Render({"--layout", Path("two.jli"), "--photo", "0=" + Path("other.png"), "--photo",
                    "1=" + Path("photo.png"), "-o", Path("expected.png")})
                .exitCode,
            0);
  EXPECT_EQ(ReadBytes("swapped.png"), ReadBytes("expected.png"));
  EXPECT_NE(ReadBytes("both.png"), ReadBytes("expected.png"));

  const tooltest::ToolResult result =
      Render(with({"--photo", "0=" + Path("notes.txt"), "--photo", "1=" + Path("absent.jpg"), "-o",
                   Path("never.png")}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("tessary-render: " + Path("notes.txt") + ": ", 0), 0u) << result.err;
  EXPECT_FALSE(std::filesystem::exists(Path("never.png")));
}

TEST_F(RenderToolTest, FormatFollowsTheOptionThenTheExtension) {
  const uint8_t png[4] = {0x89, 'P', 'N', 'G'};
  const uint8_t jpeg[2] = {0xFF, 0xD8};
  struct Case {
    std::vector<std::string> format;
    std::string name;
    bool isPng;
  };
  const std::vector<Case> cases = {{{}, "a.png", true},
                                   {{}, "b.PnG", true},
                                   {{}, "c.jpg", false},
                                   {{}, "d", false},
                                   {{}, "e.png.jpg", false},
                                   {{"--format", "jpeg"}, "f.png", false},
                                   {{"--format", "png"}, "g.jpg", true}};
  for (const Case& c : cases) {
    std::vector<std::string> args = c.format;
    args.insert(args.end(), {"-o", Path(c.name)});
    ASSERT_EQ(RenderTwo(args).exitCode, 0) << c.name;
    const Bytes file = ReadBytes(c.name);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(std::memcmp(file.data(), c.isPng ? png : jpeg, c.isPng ? 4 : 2), 0) << c.name;
    EXPECT_EQ(Decode(file).width, 64u) << c.name;
  }
}

TEST_F(RenderToolTest, FailuresExitWith1NameTheFileAndLeaveOutAlone) {
  const std::string out = Path("card.png");
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  const std::vector<Case> cases = {
      {{"--layout", Path("two.jli"), "--photo", "0=" + Path("notes.txt")}, Path("notes.txt")},
      {{"--layout", Path("two.jli"), "--photo", "0=" + Path("absent.jpg")}, Path("absent.jpg")},
      {{"--layout", Path("photo.png")}, Path("photo.png")},
      {{"--layout", Path("absent.jli")}, Path("absent.jli")},
  };
  for (bool outExists : {false, true}) {
    if (outExists) WriteBytes("card.png", Bytes{'o', 'l', 'd'});
    for (const Case& c : cases) {
      std::vector<std::string> args = c.args;
      args.insert(args.end(), {"-o", out});
      const tooltest::ToolResult result = Render(args);
      EXPECT_EQ(result.exitCode, 1) << c.named;
      EXPECT_EQ(CountLines(result.err), 1) << result.err;
      EXPECT_EQ(result.err.rfind("tessary-render: " + c.named + ": ", 0), 0u) << result.err;
      EXPECT_EQ(std::filesystem::exists(out), outExists);
    }
  }
  EXPECT_EQ(ReadBytes("card.png"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 4);  // no temp files

  const std::string unwritable = Path("no-such-folder/card.png");
  const tooltest::ToolResult result = RenderTwo({"-o", unwritable});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("tessary-render: " + unwritable + ": cannot be written", 0), 0u)
      << result.err;
}

TEST_F(RenderToolTest, TaggedPhotosRenderAsTheirPixelsTurnedUprightByHand) {
  // A portrait photo as a camera stores it, and its pixels as libjpeg
  // itself decodes them.
  const uint32_t w = 41, h = 27;
  const Bytes photo = testimages::SyntheticPhoto(w, h, 3);
  const Bytes plain = testimages::EncodeJpeg(photo.data(), w, h, 3);
  uint32_t rw = 0, rh = 0;
  int components = 0;
  const Bytes stored = testimages::ReferenceJpegDecode(plain, &rw, &rh, &components);
  ASSERT_EQ(components, 3);
  WriteBytes("plain.jpg", plain);
  WriteBytes("stored.png", testimages::EncodeRgbPng(stored.data(), w, h, false));
  ASSERT_EQ(Render({"--layout", Path("two.jli"), "--photo", "0=" + Path("plain.jpg"), "-o",
                    Path("plain-card.png")})
                .exitCode,
            0);
  ASSERT_EQ(Render({"--layout", Path("two.jli"), "--photo", "0=" + Path("stored.png"), "-o",
                    Path("stored-card.png")})
                .exitCode,
            0);
  // Without a tag, today's bytes: the stored pixels, unturned.
  EXPECT_EQ(ReadBytes("plain-card.png"), ReadBytes("stored-card.png"));

  for (int orientation = 1; orientation <= 8; ++orientation) {
    testimages::JpegOptions options;
    options.exif = testimages::ExifBlock(orientation, orientation % 2 == 0);
    WriteBytes("tagged.jpg", testimages::EncodeJpeg(photo.data(), w, h, 3, options));
    uint32_t uw = 0, uh = 0;
    const Bytes upright = testimages::TurnedUpright(stored, w, h, orientation, &uw, &uh);
    WriteBytes("upright.png", testimages::EncodeRgbPng(upright.data(), uw, uh, false));
    const tooltest::ToolResult tagged = Render(
        {"--layout", Path("two.jli"), "--photo", "0=" + Path("tagged.jpg"), "-o", Path("a.png")});
    ASSERT_EQ(tagged.exitCode, 0) << tagged.err;
    ASSERT_EQ(Render({"--layout", Path("two.jli"), "--photo", "0=" + Path("upright.png"), "-o",
                      Path("b.png")})
                  .exitCode,
              0);
    EXPECT_EQ(ReadBytes("a.png"), ReadBytes("b.png")) << "orientation " << orientation;
    if (orientation == 1) {
      EXPECT_EQ(ReadBytes("a.png"), ReadBytes("plain-card.png"));
    } else {
      EXPECT_NE(ReadBytes("a.png"), ReadBytes("plain-card.png"));
    }
  }
}

TEST_F(RenderToolTest, TransparentPartsOfAPhotoRenderWhite) {
  // Fully transparent red everywhere but one opaque column; the same
  // picture in opaque white and that column is what must be seen.
  const uint32_t w = 20, h = 30;
  Bytes rgba(size_t(w) * h * 4), white(size_t(w) * h * 3, 255);
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    const bool column = i % w == 7;
    rgba[i * 4] = column ? 10 : 255;
    rgba[i * 4 + 1] = column ? 20 : 0;
    rgba[i * 4 + 2] = column ? 30 : 0;
    rgba[i * 4 + 3] = column ? 255 : 0;
    if (column) {
      white[i * 3] = 10;
      white[i * 3 + 1] = 20;
      white[i * 3 + 2] = 30;
    }
  }
  WriteBytes("clear.png", testimages::EncodeRgbPng(rgba.data(), w, h, true));
  WriteBytes("white.png", testimages::EncodeRgbPng(white.data(), w, h, false));
  for (const char* name : {"clear.png", "white.png"}) {
    ASSERT_EQ(Render({"--layout", Path("two.jli"), "--photo", "1=" + Path(name), "-o",
                      Path(std::string("card-") + name)})
                  .exitCode,
              0);
  }
  EXPECT_EQ(ReadBytes("card-clear.png"), ReadBytes("card-white.png"));
}

TEST_F(RenderToolTest, ALayoutThatCannotBeReadIsReportedWithTheSystemsReason) {
  std::filesystem::create_directory(Path("folder.jli"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"absent.jli", "cannot be read (no such file or directory)"},
      {"folder.jli", "is a folder or a device, not a file"},
  };
  for (const auto& [name, reason] : cases) {
    const tooltest::ToolResult result = Render({"--layout", Path(name), "-o", Path("card.png")});
    EXPECT_EQ(result.exitCode, 1) << name;
    EXPECT_EQ(result.err, "tessary-render: " + Path(name) + ": " + reason + "\n");
  }
}

TEST_F(RenderToolTest, APhotoThatCannotBeUsedIsReportedWithItsReason) {
  Bytes cut = PhotoPng(37, 23);
  cut.resize(cut.size() / 2);
  WriteBytes("cut.png", cut);
  WriteBytes("huge.png", testimages::ZeroGreyPng(20000, 20000, 1));
  std::filesystem::create_directory(Path("folder.jpg"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"notes.txt", "is not a JPEG, PNG, HEIC, WebP or TIFF picture"},
      {"absent.jpg", "cannot be read (no such file or directory)"},
      {"cut.png", "is damaged or incomplete (the data ends early)"},
      {"huge.png", "is larger than the program's limit of 100 megapixels (20000 x 20000 pixels)"},
      {"folder.jpg", "is a folder or a device, not a file"},
  };
  for (const auto& [name, reason] : cases) {
    const tooltest::ToolResult result =
        Render({"--layout", Path("two.jli"), "--photo", "0=" + Path(name), "-o", Path("card.png")});
    EXPECT_EQ(result.exitCode, 1) << name;
    EXPECT_EQ(result.err, "tessary-render: " + Path(name) + ": " + reason + "\n");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("card.png")));
}

}  // namespace

namespace {

// The saved card (photos decoded while their slots are drawn) against the
// same card with the photos loaded whole first (--slots takes that path):
// the same bytes for JPEGs that stream, a PNG and a turned JPEG, a slot
// named twice (the later photo shows), pans, zooms and another size; a bad
// photo, even one replaced later, fails by its name as before.
TEST_F(RenderToolTest, StreamedPhotosGiveTheCardOfLoadedOnes) {
  const uint32_t w = 203, h = 131;
  const Bytes pixels = testimages::SyntheticPhoto(w, h, 3);
  testimages::JpegOptions turned, grey;
  turned.exif = testimages::ExifBlock(6, false);
  WriteBytes("a.jpg", testimages::EncodeJpeg(pixels.data(), w, h, 3));
  WriteBytes("b.jpg", testimages::EncodeJpeg(pixels.data(), w, h, 3, turned));
  WriteBytes("c.jpg", testimages::EncodeJpeg(testimages::SyntheticPhoto(w, h, 1).data(), w, h, 1));
  const std::vector<std::vector<std::string>> cards = {
      {"--photo", "0=" + Path("a.jpg"), "--photo", "1=" + Path("photo.png")},
      {"--photo", "0=" + Path("b.jpg"), "--photo", "1=" + Path("c.jpg"), "--zoom", "1=3"},
      {"--photo", "1=" + Path("a.jpg"), "--photo", "1=" + Path("c.jpg"), "--pan", "1=0.1,0.8",
       "--size", "150x97"},
      {"--photo", "0=" + Path("a.jpg"), "--pan", "0=1,0", "--zoom", "0=7.5", "--size", "30x20"}};
  for (const auto& card : cards) {
    std::vector<std::string> args{"--layout", Path("two.jli")};
    args.insert(args.end(), card.begin(), card.end());
    std::vector<std::string> streamed = args, loaded = args;
    streamed.insert(streamed.end(), {"-o", Path("streamed.png")});
    loaded.insert(loaded.end(), {"--slots", "-o", Path("loaded.png")});
    const tooltest::ToolResult s = Render(streamed);
    ASSERT_EQ(s.exitCode, 0) << s.err;
    ASSERT_EQ(Render(loaded).exitCode, 0);
    EXPECT_EQ(ReadBytes("streamed.png"), ReadBytes("loaded.png")) << card.back();
  }
  const tooltest::ToolResult bad =
      Render({"--layout", Path("two.jli"), "--photo", "1=" + Path("notes.txt"), "--photo",
              "1=" + Path("a.jpg"), "-o", Path("bad.png")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("notes.txt"), std::string::npos) << bad.err;
  EXPECT_FALSE(std::filesystem::exists(Path("bad.png")));
}

// The photo's pixels turned by the test itself: quarter turns clockwise,
// then a mirror.
Bytes TurnedPhotoPng(uint32_t width, uint32_t height, int quarters, bool mirror) {
  Bytes pixels(size_t(width) * height * 3);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 % 251);
  uint32_t w = width, h = height;
  for (int q = 0; q < quarters; ++q) {
    Bytes turned(pixels.size());
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)  // (x, y) lands at (h - 1 - y, x) of an h-wide picture
          turned[(size_t(x) * h + (h - 1 - y)) * 3 + c] = pixels[(size_t(y) * w + x) * 3 + c];
    pixels.swap(turned);
    std::swap(w, h);
  }
  if (mirror) {
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w / 2; ++x)
        for (int c = 0; c < 3; ++c)
          std::swap(pixels[(size_t(y) * w + x) * 3 + c], pixels[(size_t(y) * w + (w - 1 - x)) * 3 + c]);
  }
  return layouttest::EncodePng(w, h, 3, pixels);
}

TEST_F(RenderToolTest, TurnedAndMirroredPhotosAreThePhotoTurnedBeforehand) {
  const struct {
    std::vector<std::string> options;
    int quarters;
    bool mirror;
  } cases[] = {
      {{"--turn", "1=90"}, 1, false},
      {{"--turn", "1=180", "--pan", "1=0.2,0.7"}, 2, false},
      {{"--turn", "1=270", "--zoom", "1=2", "--pan", "1=0.3,0.3"}, 3, false},
      {{"--mirror", "1"}, 0, true},
      // The mirror comes after the turn whatever the order given.
      {{"--mirror", "1", "--turn", "1=90"}, 1, true},
  };
  for (const auto& c : cases) {
    for (const char* draft : {"", "--draft"}) {
      std::vector<std::string> args = c.options;
      std::vector<std::string> expected{"--layout", Path("two.jli"), "--photo",
                                        "1=" + Path("turned.png"), "-o", Path("expected.png")};
      WriteBytes("turned.png", TurnedPhotoPng(37, 23, c.quarters, c.mirror));
      // Pans and zooms apply to the photo as shown, given or not.
      for (size_t i = 0; i + 1 < c.options.size(); ++i) {
        if (c.options[i] == "--pan" || c.options[i] == "--zoom") {
          expected.push_back(c.options[i]);
          expected.push_back(c.options[i + 1]);
        }
      }
      args.insert(args.end(), {"-o", Path("turned-card.png")});
      if (*draft) {
        args.push_back(draft);
        expected.push_back(draft);
      }
      ASSERT_EQ(RenderTwo(args).exitCode, 0) << c.options[0];
      ASSERT_EQ(Render(expected).exitCode, 0) << c.options[0];
      EXPECT_EQ(ReadBytes("turned-card.png"), ReadBytes("expected.png"))
          << c.options[0] << " " << c.options[1] << " " << draft;
    }
  }
  // A turn of a slot without a photo, or by another angle, is a usage error.
  EXPECT_EQ(Render({"--turn", "0=90", "-o", Path("a.png")}).exitCode, 2);
  EXPECT_EQ(RenderTwo({"--turn", "1=45", "-o", Path("a.png")}).exitCode, 2);
  EXPECT_EQ(RenderTwo({"--mirror", "x", "-o", Path("a.png")}).exitCode, 2);
}

}  // namespace
