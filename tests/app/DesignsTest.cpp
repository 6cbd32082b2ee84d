// Saving at the sizes a design has, the marks of photos that would print
// soft, and the design chooser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/BuiltInDesigns.h"
#include "imagefiles/PngDensity.h"
#include "interaction/CardFiles.h"
#include "interaction/HintTexts.h"
#include "tests/app/AppHarness.h"

using namespace apptest;
namespace fs = std::filesystem;

namespace {

constexpr int kDesigns = 118;  // the Designs command
constexpr size_t kPrintJpeg = 0, kPrintPng = 1, kScreenJpeg = 2, kScreenPng = 3;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Width and height of a JPEG (its first SOF0) or a PNG.
std::pair<uint32_t, uint32_t> SizeOf(const std::vector<uint8_t>& b) {
  if (b.size() > 24 && b[0] == 0x89)
    return {uint32_t(b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19]),
            uint32_t(b[20] << 24 | b[21] << 16 | b[22] << 8 | b[23])};
  for (size_t i = 2; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xC0)
      return {uint32_t(b[i + 7] << 8 | b[i + 8]), uint32_t(b[i + 5] << 8 | b[i + 6])};
  return {0, 0};
}

// The main window as a new user finds it: saves are for print.
struct PrintCard : AppHarness {
  PrintCard() { wnd->Actions().SetPreferredUse(document::SizeUse::Print); }
  void Answer(const fs::path& path, size_t filter) {
    window->saveAnswers.push_back(FileChoice{path.string(), filter});
  }
  const std::vector<document::SoftPhoto>& Marked() const { return wnd->View().SoftPhotos(); }
};

}  // namespace

TEST(PrintSize, SavesOfferEveryPrintAndScreenSizeAndRememberTheLastOne) {
  TempDir dir;
  PrintCard h;
  // Photos sharp enough for any region at print size.
  for (size_t slot = 0; slot < h.Card().slots.size(); ++slot) h.Put(slot, 1500, 1000, 90);
  EXPECT_TRUE(h.Marked().empty());
  struct Save {
    size_t filter;
    const char* name;
    uint32_t width, height;
    size_t offeredFirst;  // what the dialog had selected
  };
  const Save saves[] = {
      {kPrintJpeg, "print.jpg", 1800, 1200, kPrintJpeg},   // print until told otherwise
      {kScreenPng, "screen.png", 900, 600, kPrintJpeg},
      {kScreenJpeg, "screen.jpg", 900, 600, kScreenJpeg},  // the screen size saved last
      {kPrintPng, "print.png", 1800, 1200, kScreenJpeg},
      {kPrintJpeg, "again.jpg", 1800, 1200, kPrintJpeg},
  };
  for (const Save& s : saves) {
    SCOPED_TRACE(s.name);
    h.Answer(dir.path / s.name, s.filter);
    EXPECT_TRUE(h.wnd->Actions().SaveCard());
    EXPECT_EQ(h.window->saveDialogs.back().initialFilter, s.offeredFirst);
    const std::vector<uint8_t> bytes = ReadBytes(dir.path / s.name);
    EXPECT_EQ(SizeOf(bytes), std::make_pair(s.width, s.height));
  }
  EXPECT_TRUE(h.window->messages.empty());
  const std::vector<uint8_t> png = ReadBytes(dir.path / "print.png");
  EXPECT_EQ(imagefiles::ReadPngPpi(png.data(), uint32_t(png.size())), 300u);
  const std::vector<uint8_t> screen = ReadBytes(dir.path / "screen.png");
  EXPECT_EQ(imagefiles::ReadPngPpi(screen.data(), uint32_t(screen.size())), 0u);

  // A portrait design's print is 5 x 7 in.
  ASSERT_TRUE(h.wnd->Document().UseBuiltInDesign(5));
  h.Answer(dir.path / "wedding.jpg", kPrintJpeg);
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->saveDialogs.back().filters[0].description,
            "Print: 5 x 7 in, 1500 x 2100 at 300 ppi - JPEG picture");
  EXPECT_EQ(SizeOf(ReadBytes(dir.path / "wedding.jpg")), std::make_pair(1500u, 2100u));
}

TEST(PrintSize, ASoftPhotoIsMarkedNamedInTheHintAndAskedAboutBeforeAPrint) {
  TempDir dir;
  PrintCard h;
  ASSERT_TRUE(h.wnd->Document().UseBuiltInDesign(8));  // Postcard: one region, 5.5 x 3.5 in
  h.window->ClearLogs();
  h.Put(0, 800, 600, 40);  // 800 x 510 of it over 828 x 528 pixels at 150 ppi: 144 ppi
  ASSERT_EQ(h.Marked().size(), 1u);
  EXPECT_EQ(h.Marked()[0].slot, 0u);
  EXPECT_EQ(h.Marked()[0].ppi, 144u);

  // The mark: an amber label inside the region, saying the resolution.
  h.window->Paint();
  const Rect mark = h.wnd->View().SoftMarkRect(h.Card(), 0);
  ASSERT_FALSE(mark.Empty());
  const Rect card = h.CardRect();
  EXPECT_TRUE(mark.left >= card.left && mark.right <= card.right && mark.top >= card.top &&
              mark.bottom <= card.bottom);
  EXPECT_EQ(h.window->PixelAt(mark.left + 2, mark.top + 2), (Colour{255, 196, 64}));
  bool said = false;
  for (const DrawnText& t : h.window->texts) said |= t.text == "144 ppi";
  EXPECT_TRUE(said);

  // The hint over the region says so in words.
  const cardfiles::ClientPoint in = cardfiles::PointInSlot(h.Card(), h.CardRect(), 0);
  h.window->Move(Point{in.x, in.y});
  EXPECT_STREQ(h.wnd->View().HintText(),
               "This photo will print at 144 ppi and may look soft. Zoom out or use a larger "
               "photo.");

  // A print asks first; No saves nothing.
  h.Answer(dir.path / "soft.jpg", kPrintJpeg);
  h.window->messageAnswers.push_back(MessageAnswer::No);
  EXPECT_FALSE(h.wnd->Actions().SaveCard());
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "The photo in region 1 will print at 144 ppi and may look soft: print shops ask for "
            "200 ppi at least. Zoom out or use a larger photo for a sharper print. Save at this "
            "size anyway?");
  EXPECT_FALSE(fs::exists(dir.path / "soft.jpg"));
  h.Answer(dir.path / "soft.jpg", kPrintJpeg);
  EXPECT_TRUE(h.wnd->Actions().SaveCard());  // Yes
  EXPECT_EQ(SizeOf(ReadBytes(dir.path / "soft.jpg")), std::make_pair(1800u, 1200u));
  // The screen size asks nothing.
  h.Answer(dir.path / "screen.jpg", kScreenJpeg);
  const size_t asked = h.window->messages.size();
  EXPECT_TRUE(h.wnd->Actions().SaveCard());
  EXPECT_EQ(h.window->messages.size(), asked);

  // Saves are now for the screen: no mark, and the hint is the usual one.
  EXPECT_TRUE(h.Marked().empty());
  h.window->Move(Point{in.x + 1, in.y});
  EXPECT_EQ(h.wnd->View().HintText(), interaction::kHintDragPicture);
  h.wnd->Actions().SetPreferredUse(document::SizeUse::Print);
  h.window->Command(int(app::CommandId::Undo));  // the photo goes
  h.window->Command(int(app::CommandId::Redo));  // and comes back: marked again
  EXPECT_EQ(h.Marked().size(), 1u);
  // A larger photo is sharp enough.
  h.Put(0, 3000, 2000, 40);
  EXPECT_TRUE(h.Marked().empty());
}

TEST(DesignChooser, ShowsEveryDesignAsAPictureAndAppliesTheOneChosen) {
  AppHarness h;
  for (size_t slot = 0; slot < 5; ++slot) h.Put(slot, 40 + uint32_t(slot), 30, 90);
  h.window->designAnswers.push_back(size_t(3));  // Birthday
  h.window->ClearLogs();
  h.window->KeyPress(platform::Letter('D'), kControl);
  ASSERT_EQ(h.window->designChoosers.size(), 1u);
  const DesignChoices& shown = h.window->designChoosers[0];
  EXPECT_EQ(shown.title, "Choose a design");
  EXPECT_EQ(shown.selected, 0u);  // the card's own
  ASSERT_EQ(shown.choices.size(), size_t(document::BuiltInDesignCount()));
  const char* names[] = {"Frost",    "Scrapbook", "Hearts",   "Birthday", "Thank You",
                         "Wedding",  "New Baby",  "Holidays", "Postcard"};
  for (size_t i = 0; i < shown.choices.size(); ++i) {
    const DesignChoice& c = shown.choices[i];
    EXPECT_EQ(c.name, names[i]);
    EXPECT_EQ(c.detail, i == 5 || i == 6 ? "5 x 7 in" : "6 x 4 in");
    // A picture of the card, drawn from it: as large as fits the room.
    EXPECT_TRUE(c.width == shown.thumbnailWidth || c.height == shown.thumbnailHeight) << i;
    EXPECT_LE(c.width, shown.thumbnailWidth);
    EXPECT_LE(c.height, shown.thumbnailHeight);
    ASSERT_EQ(c.rgb.size(), size_t(c.width) * size_t(c.height) * 3);
    for (size_t j = 0; j < i; ++j) EXPECT_NE(c.rgb, shown.choices[j].rgb);
  }
  EXPECT_GT(shown.choices[5].height, shown.choices[5].width);  // portrait
  // Applied: the design, its name in the title, the photos in slot order.
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 3);
  EXPECT_EQ(h.window->title, "Birthday \xE2\x80\x94 Tessary");
  for (size_t slot = 0; slot < 5; ++slot) EXPECT_EQ(h.Card().slots[slot].photoWidth, 40 + slot);
  EXPECT_GE(h.window->busyStarts, 1);
  EXPECT_EQ(h.window->busyDepth, 0);

  // Closed without a choice, or the design the card has: nothing changes.
  const size_t steps = h.wnd->Document().History().UndoSteps();
  h.window->Command(kDesigns);
  EXPECT_EQ(h.window->designChoosers.back().selected, 3u);
  h.window->designAnswers.push_back(size_t(3));
  h.window->Command(kDesigns);
  EXPECT_EQ(h.wnd->Document().History().UndoSteps(), steps);
  // The Template command still goes on from the design chosen.
  h.window->Command(int(app::CommandId::Template));
  EXPECT_EQ(h.wnd->Document().State().design.builtInIndex, 4);
}

TEST(DesignChooser, OffersTheLayoutsOpenedLatelyAlsoOnTheNextRun) {
  cardfiles::Files files;
  const std::string older = files.SimpleLayout("Older.jli", 300, 200);
  const std::string newer = files.SimpleLayout("Newer.jli", 200, 300);
  std::map<std::string, std::vector<std::string>> settings;
  {
    AppHarness h;
    ASSERT_TRUE(h.wnd->Actions().OpenLayout(older));
    ASSERT_TRUE(h.wnd->Actions().OpenLayout(newer));
    ASSERT_TRUE(h.wnd->Actions().OpenLayout(older));  // once, and first again
    EXPECT_EQ(h.window->title, "Older \xE2\x80\x94 Tessary");
    settings = h.platform.settings;
  }
  AppHarness h;  // the next run
  h.platform.settings = settings;
  fs::remove(newer);     // a layout that is gone is left out
  const std::string third = files.SimpleLayout("Third.jli", 400, 400);
  ASSERT_TRUE(h.wnd->Actions().OpenLayout(third));
  ASSERT_TRUE(h.wnd->Document().UseBuiltInDesign(2));
  h.window->designAnswers.push_back(size_t(document::BuiltInDesignCount() + 1));
  h.window->Command(kDesigns);
  ASSERT_EQ(h.window->designChoosers.size(), 1u);
  const DesignChoices& shown = h.window->designChoosers[0];
  const size_t first = size_t(document::BuiltInDesignCount());
  ASSERT_EQ(shown.choices.size(), first + 2);
  EXPECT_EQ(shown.choices[first].name, "Third");
  EXPECT_EQ(shown.choices[first].detail, "Layout, 4 x 4 in");  // 400 pixels at 100 ppi
  EXPECT_EQ(shown.choices[first + 1].name, "Older");
  EXPECT_FALSE(shown.choices[first + 1].rgb.empty());
  EXPECT_EQ(shown.selected, 2u);
  // Chosen: the layout opens as if opened with its dialog.
  EXPECT_EQ(h.wnd->Document().State().design.layoutPath, older);
  EXPECT_EQ(h.Card().cardTemplate.width, 300u);
  EXPECT_EQ(h.wnd->Actions().Recent().Paths(), (std::vector<std::string>{older, third, newer}));
}
