#include "app/PrintActions.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "document/CardExport.h"
#include "document/CardPrint.h"

namespace app {

using platform::Message;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

constexpr char kCaption[] = "Tessary";

}  // namespace

bool PrintActions::Print() {
  if (!CanPrint()) return false;
  std::unique_ptr<platform::Printer> printer = window_->ChoosePrinter("Tessary card");
  if (!printer) return false;  // the user cancelled
  const platform::PrinterDescription& description = printer->Description();

  papers_ = OfferedPapers(description);
  dpi_ = description.dpi;
  size_ = document::DescribeDesign(document_.State()).SizeFor(document::SizeUse::Print);
  // The preview's card: the screen's version is enough at this size.
  const engine::Card& card = document_.Card();
  thumbnailWidth_ = thumbnailHeight_ = 0;
  thumbnail_.clear();
  if (card.cardTemplate.width > 0 && card.cardTemplate.height > 0) {
    const double scale =
        std::min(1.0, double(kPreviewSide) / std::max(card.cardTemplate.width,
                                                      card.cardTemplate.height));
    const uint32_t w = uint32_t(std::max(1L, std::lround(card.cardTemplate.width * scale)));
    const uint32_t h = uint32_t(std::max(1L, std::lround(card.cardTemplate.height * scale)));
    std::unique_ptr<uint8_t[]> pixels;
    uint32_t stride = 0;
    const double inches = size_.WidthInches();
    const document::CardWords words{&document_.State().texts, inches > 0 ? w / inches : 96.0};
    if (document::RenderCardPicture(card, words, w, h, true, &pixels, &stride)) {
      thumbnailWidth_ = int32_t(w);
      thumbnailHeight_ = int32_t(h);
      for (uint32_t y = 0; y < h; ++y)
        thumbnail_.insert(thumbnail_.end(), pixels.get() + size_t(y) * stride,
                          pixels.get() + size_t(y) * stride + size_t(w) * 3);
    }
  }

  platform::PageSetupModel model;
  model.title = "Page setup";
  model.paperLabel = "Paper:";
  model.placementLabel = "Placement:";
  model.printLabel = "Print";
  model.cancelLabel = "Cancel";
  for (const platform::PrinterPaper& paper : papers_) model.papers.push_back(paper.name);
  const std::vector<std::string> paper = platform_.ReadSetting(kPaperSetting);
  model.paper = StartingPaper(papers_, paper.empty() ? std::string() : paper.front(),
                              description.paper);
  const std::vector<std::string> placement = platform_.ReadSetting(kPlacementSetting);
  for (size_t i = 0; i < PlacementChoices().size(); ++i) {
    model.placements.push_back(PlacementChoices()[i].label);
    if (!placement.empty() && placement.front() == PlacementChoices()[i].key)
      model.placement = i;
  }
  Update(model);
  if (!window_->ShowPageSetup(model, *this)) return false;
  if (model.paper >= papers_.size() || model.placement >= PlacementChoices().size()) return false;
  const PlacementChoice& chosen = PlacementChoices()[model.placement];
  platform_.WriteSetting(kPaperSetting, {papers_[model.paper].name});
  platform_.WriteSetting(kPlacementSetting, {chosen.key});

  const PrintPlan plan = PlanPrint(size_, papers_[model.paper], dpi_, chosen.placement);
  std::unique_ptr<uint8_t[]> pixels;
  uint32_t stride = 0;
  std::string failure;
  {
    platform::BusyCursor busy(*window_);
    const imagefiles::SaveResult rendered =
        document::RenderCardForPrint(document_.State(), size_, document_.Reader(),
                                     plan.renderWidth, plan.renderHeight, &pixels, &stride);
    if (!rendered) {
      failure = rendered.Message();
    } else {
      platform::PrintPage page;
      page.title = "Tessary card";
      page.paper = papers_[model.paper];
      page.turned = plan.layout.turned;
      page.width = int32_t(plan.renderWidth);
      page.height = int32_t(plan.renderHeight);
      page.stride = stride;
      page.rgb = pixels.get();
      for (const imagefiles::PdfRect& r : plan.layout.cards)
        page.cards.push_back({r.x, r.y, r.width, r.height});
      for (const imagefiles::PdfLine& l : plan.layout.cutMarks)
        page.marks.push_back({l.x0, l.y0, l.x1, l.y1});
      failure = printer->Print(page);
    }
  }
  if (!failure.empty()) {
    window_->ShowMessage(Message{"The card could not be printed on \"" + description.name +
                                     "\": " + failure + ".",
                                 kCaption, MessageIcon::Error, MessageButtons::Ok, {}});
    return false;
  }
  if (tell_) tell_("Sent to " + description.name + ".");
  return true;
}

void PrintActions::PageSetupChanged(platform::PageSetupModel& model) { Update(model); }

void PrintActions::Update(platform::PageSetupModel& model) {
  model.paper = std::min(model.paper, papers_.size() - 1);
  model.placement = std::min(model.placement, PlacementChoices().size() - 1);
  const PrintPlan plan = PlanPrint(size_, papers_[model.paper], dpi_,
                                   PlacementChoices()[model.placement].placement);
  model.preview =
      DrawPrintPreview(plan, thumbnail_, thumbnailWidth_, thumbnailHeight_, kPreviewSide);
  model.details = plan.details;
  model.warning = plan.warning;
}

}  // namespace app
