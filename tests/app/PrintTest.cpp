#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/PrintActions.h"
#include "app/PrintPlan.h"
#include "document/CardPrint.h"
#include "tests/app/AppHarness.h"

using namespace apptest;

namespace {

constexpr int kPrint = 128;
constexpr double kA4W = 595.28, kA4H = 841.89;

PrinterPaper Paper(const std::string& name, double w, double h, double margin,
                   const std::string& key) {
  PrinterPaper p;
  p.name = name;
  p.width = w;
  p.height = h;
  p.margins = PrintMargins{margin, margin, margin, margin};
  p.key = key;
  return p;
}

PrinterDescription Desk() {
  PrinterDescription d;
  d.name = "Desk";
  d.dpi = 300;
  d.papers = {Paper("Letter", 612, 792, 12, "Letter"), Paper("A4", kA4W, kA4H, 12, "A4")};
  d.paper = 0;
  return d;
}

size_t PlacementIndex(imagefiles::PdfPlacement placement) {
  for (size_t i = 0; i < app::PlacementChoices().size(); ++i)
    if (app::PlacementChoices()[i].placement == placement) return i;
  return 0;
}

size_t PaperIndex(const PageSetupModel& model, const std::string& name) {
  for (size_t i = 0; i < model.papers.size(); ++i)
    if (model.papers[i] == name) return i;
  return model.papers.size();
}

// A card with a photo in every region, and a printer.
struct PrintingCard : AppHarness {
  PrintingCard() {
    for (size_t slot = 0; slot < Card().slots.size(); ++slot) Put(slot, 60, 40, uint8_t(40 + 50 * slot));
    window->printer = Desk();
  }
  // The page setup answered by choosing `paper` and `placement`, as a user does.
  void Choose(const std::string& paper, imagefiles::PdfPlacement placement) {
    window->pageSetupAnswers.push_back([=](PageSetupModel& model, PageSetupHandler& handler) {
      model.paper = PaperIndex(model, paper);
      model.placement = PlacementIndex(placement);
      handler.PageSetupChanged(model);
      return true;
    });
  }
  document::DesignSize PrintSize() const {
    return document::DescribeDesign(wnd->Document().State()).SizeFor(document::SizeUse::Print);
  }
};

}  // namespace

TEST(Printing, TwoCardsOnA4AreTheDesignsPrintVersionAtThePrintersResolution) {
  PrintingCard h;
  const document::DesignSize size = h.PrintSize();
  ASSERT_GE(size.ppi, 200u);
  h.Choose("A4", imagefiles::PdfPlacement::Sheet);
  h.window->Command(kPrint);

  ASSERT_EQ(h.window->printed.size(), 1u);
  const PrintPage& page = h.window->printed[0].page;
  const double cardW = size.width * 72.0 / size.ppi, cardH = size.height * 72.0 / size.ppi;
  EXPECT_EQ(page.paper.name, "A4");
  EXPECT_EQ(page.paper.key, "A4");  // the driver's own paper, not a look-alike
  // Rendered at the printer's 300 dpi for the card's physical size.
  EXPECT_EQ(page.width, int32_t(std::lround(cardW / 72 * 300)));
  EXPECT_EQ(page.height, int32_t(std::lround(cardH / 72 * 300)));
  ASSERT_EQ(page.cards.size(), 2u);
  for (const PrintPage::Box& box : page.cards) {
    EXPECT_NEAR(box.width, cardW, 1e-9);
    EXPECT_NEAR(box.height, cardH, 1e-9);
  }
  EXPECT_FALSE(page.marks.empty());
  // The pixels are Save's pipeline at that size, not the screen's picture.
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  ASSERT_TRUE(document::RenderCardForPrint(h.wnd->Document().State(), size,
                                           h.wnd->Document().Reader(), uint32_t(page.width),
                                           uint32_t(page.height), &pixels, &stride));
  const std::vector<uint8_t>& printed = h.window->printed[0].picture;
  for (int32_t y = 0; y < page.height; y += 97)
    ASSERT_EQ(0, std::memcmp(&printed[size_t(y) * page.width * 3], pixels.get() + size_t(y) * stride,
                             size_t(page.width) * 3))
        << "row " << y;

  // The page setup showed the page it printed.
  const PageSetupModel& shown = h.window->pageSetups.back();
  EXPECT_NE(shown.details.find("A4, portrait: 2 cards of 6 x 4 in"), std::string::npos)
      << shown.details;
  EXPECT_TRUE(shown.warning.empty()) << shown.warning;
  EXPECT_GT(shown.preview.width, 0);
  EXPECT_EQ(shown.preview.height, app::PrintActions::kPreviewSide);
}

TEST(Printing, ThePaperAndPlacementAreRememberedAndACancelRemembersNothing) {
  PrintingCard h;
  // The system's dialog cancelled: no page setup at all.
  h.window->printer.reset();
  h.window->Command(kPrint);
  EXPECT_TRUE(h.window->pageSetups.empty());
  h.window->printer = Desk();
  // The page setup cancelled: nothing printed, nothing kept.
  h.window->pageSetupAnswers.push_back([](PageSetupModel& model, PageSetupHandler& handler) {
    model.placement = PlacementIndex(imagefiles::PdfPlacement::Fill);
    handler.PageSetupChanged(model);
    return false;
  });
  h.window->Command(kPrint);
  EXPECT_TRUE(h.window->printed.empty());
  EXPECT_TRUE(h.platform.settings.empty());
  // It opened on the dialog's paper and the default placement.
  EXPECT_EQ(h.window->pageSetups.back().papers[0], "Letter");

  h.Choose("A4", imagefiles::PdfPlacement::Fit);
  h.window->Command(kPrint);
  ASSERT_EQ(h.window->printed.size(), 1u);
  // The next time opens where the user left it, without touching anything.
  h.window->Command(kPrint);
  ASSERT_EQ(h.window->printed.size(), 2u);
  const PageSetupModel& again = h.window->pageSetups.back();
  EXPECT_EQ(again.papers[again.paper], "A4");
  EXPECT_EQ(again.placement, PlacementIndex(imagefiles::PdfPlacement::Fit));
  EXPECT_EQ(h.window->printed[1].page.cards[0].width, h.window->printed[0].page.cards[0].width);
}

TEST(Printing, AFailedPrintSaysWhyAndWhere) {
  PrintingCard h;
  h.window->printFailure = "the printer did not take the page";
  h.window->Command(kPrint);
  ASSERT_EQ(h.window->messages.size(), 1u);
  EXPECT_EQ(h.window->messages[0].message.text,
            "The card could not be printed on \"Desk\": the printer did not take the page.");
  EXPECT_EQ(h.window->messages[0].message.icon, MessageIcon::Error);
}

TEST(Printing, ADesktopThatCannotPrintShowsNoPrintButton) {
  ScriptedConfig config = Config();
  config.canPrint = false;
  AppHarness h(config);
  for (const ToolbarButton& button : h.window->toolbar) EXPECT_NE(button.command, kPrint);
  EXPECT_EQ(h.window->toolbar.size(), 8u);
  h.window->Command(kPrint);  // Ctrl+P does nothing
  EXPECT_TRUE(h.window->pageSetups.empty());
  EXPECT_TRUE(h.window->printed.empty());
}

TEST(PrintPlan, WarnsOfCroppingAndSoftPrintsBeforeAnythingIsPrinted) {
  document::DesignSize card;  // 6 x 4 in at 300 ppi
  card.width = 1800;
  card.height = 1200;
  card.ppi = 300;
  const struct {
    const char* what;
    PrinterPaper paper;
    imagefiles::PdfPlacement placement;
    bool cropped, soft;
  } cases[] = {
      {"actual size on A4", Paper("A4", kA4W, kA4H, 12, ""), imagefiles::PdfPlacement::Actual,
       false, false},
      {"fit to A4 spreads 1800 pixels over 10 in", Paper("A4", kA4W, kA4H, 12, ""),
       imagefiles::PdfPlacement::Fit, false, true},
      {"4 x 6 in paper with margins cuts the edges", Paper("4x6", 288, 432, 9, ""),
       imagefiles::PdfPlacement::Actual, true, false},
      {"borderless 4 x 6 in is whole", Paper("4x6", 288, 432, 0, ""),
       imagefiles::PdfPlacement::Fill, false, false},
      // A driver listing its paper on its side is the same paper.
      {"a paper listed landscape", Paper("4x6", 432, 288, 0, ""), imagefiles::PdfPlacement::Fill,
       false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const app::PrintPlan plan = app::PlanPrint(card, c.paper, 1200, c.placement);
    EXPECT_EQ(plan.warning.find("cut off") != std::string::npos, c.cropped) << plan.warning;
    EXPECT_EQ(plan.warning.find("may look soft") != std::string::npos, c.soft) << plan.warning;
    // Never rendered finer than is worth it, whatever the printer says.
    EXPECT_LE(plan.renderWidth,
              uint32_t(std::lround(plan.layout.cards[0].width / 72 * app::kMaxPrintRenderPpi)));
  }
}

TEST(PrintPlan, TheUsualPapersAreOfferedOnceAndTheLastOneIsPickedAgain) {
  PrinterDescription d = Desk();
  d.papers.push_back(Paper("Photo 4x6", 288, 432, 0, "w288h432"));
  const std::vector<PrinterPaper> papers = app::OfferedPapers(d);
  std::vector<std::string> names;
  for (const PrinterPaper& p : papers) names.push_back(p.name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"Letter", "A4", "Photo 4x6", "5 x 7 in", "A6"}));
  // Added ones print by size, with the margins of the dialog's paper.
  EXPECT_TRUE(papers[3].key.empty());
  EXPECT_EQ(papers[3].margins.left, 12);
  EXPECT_EQ(app::StartingPaper(papers, "A6", 1), 4u);
  EXPECT_EQ(app::StartingPaper(papers, "Tabloid", 1), 1u);
  EXPECT_EQ(app::StartingPaper(papers, "", 9), 0u);
}
