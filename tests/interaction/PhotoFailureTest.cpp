#include <gtest/gtest.h>

#include <filesystem>

#include "imagefiles/TestImages.h"
#include "tests/interaction/InteractionHarness.h"

using namespace itest;

namespace {

// A PNG cut off in the middle of its image data.
std::vector<uint8_t> TruncatedPng() {
  const std::vector<uint8_t> rgb = testimages::SyntheticPhoto(64, 48, 3);
  std::vector<uint8_t> png = testimages::EncodeRgbPng(rgb.data(), 64, 48, false);
  png.resize(png.size() * 2 / 3);
  return png;
}

// The message shown for `name`, the only one since the logs were cleared.
std::string OnlyMessage(Harness& h) {
  EXPECT_EQ(h.window->messages.size(), 1u);
  if (h.window->messages.size() != 1u) return std::string();
  EXPECT_EQ(h.window->messages[0].message.caption, "Tessary");
  EXPECT_EQ(h.window->messages[0].message.buttons, MessageButtons::Ok);
  return h.window->messages[0].message.text;
}

}  // namespace

TEST(PhotoFailures, EachReasonIsToldOnceAndTheCardStaysAsItWas) {
  Harness h;
  h.Fill(1);
  const engine::PhotoSlot before = h.Slot(1);
  const size_t steps = h.wnd->Document().History().UndoSteps();
  struct Case {
    std::string path;
    std::string message;
  } cases[] = {
      {h.files.Garbage("notes.jpg"),
       "This file is not a picture.\n\"notes.jpg\" is not a JPEG, PNG, HEIC, WebP or TIFF picture."},
      {h.files.Write("cut.png", TruncatedPng()),
       "The picture is damaged.\n\"cut.png\" is damaged or incomplete (the data ends early)."},
      {h.files.Write("huge.png", testimages::ZeroGreyPng(20000, 20000, 1)),
       "The picture is too large.\n\"huge.png\" is larger than the program's limit of 100 "
       "megapixels (20000 x 20000 pixels)."},
      {h.files.Folder() + "/gone.png",
       "The file cannot be read.\n\"gone.png\" cannot be read (no such file or directory)."},
      {h.files.Write("nothing.jpg", std::vector<uint8_t>{}),
       "The file is empty.\n\"nothing.jpg\" has nothing in it."},
  };
  for (const Case& c : cases) {
    h.window->messages.clear();
    h.window->ClearLogs();
    h.QueueOpen(c.path);
    h.DoubleClick(h.In(1));  // replace the photo in slot 1
    EXPECT_EQ(OnlyMessage(h), c.message) << c.path;
    EXPECT_EQ(h.Slot(1).photoPixels, before.photoPixels);
    EXPECT_TRUE(h.window->invalidations.empty());
    EXPECT_EQ(h.window->busyDepth, 0);
  }
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), steps);

  h.window->messages.clear();
  h.QueueOpen(h.files.Photo("good.png", 30, 30, Rgb{5, 5, 5}));
  h.DoubleClick(h.In(1));
  EXPECT_TRUE(h.window->messages.empty());
  EXPECT_EQ(h.Slot(1).photoWidth, 30u);
}

TEST(PhotoFailures, ADropNamesEveryFileItCouldNotUseInOneMessage) {
  Harness h;
  const std::string bad1 = h.files.Garbage("first.png");
  const std::string bad2 = h.files.Write("second.png", TruncatedPng());
  const std::string good = h.files.Photo("good.png", 30, 30, Rgb{5, 5, 5});
  h.Drop({bad1, good, bad2}, h.In(0));
  const std::string message = OnlyMessage(h);
  EXPECT_EQ(message.find("\"first.png\" cannot be used as a photo: it is not a JPEG"), 0u)
      << message;
  EXPECT_NE(message.find("\n\"second.png\" cannot be used as a photo: it is damaged"),
            std::string::npos)
      << message;
  EXPECT_EQ(h.Slot(0).photoWidth, 30u);
}

TEST(PhotoFailures, ANewPhotoStartsCentredWhateverTheOldOneDid) {
  Harness h;
  h.Fill(0, 860, 140);
  h.Edit(0, [](engine::PhotoSlot& s) { s.panX = 0.2f; });
  h.Edit(0, [](engine::PhotoSlot& s) { s.zoom = 3.0f; });
  h.Drop({h.files.Photo("new.png", 900, 100, Rgb{1, 1, 1})}, h.In(0));
  EXPECT_EQ(h.Slot(0).panX, 0.5f);
  EXPECT_EQ(h.Slot(0).panY, 0.5f);
  EXPECT_EQ(h.Slot(0).zoom, 1.0f);
}
