#include "app/DesignChooser.h"

#include "platform/Platform.h"

#include "document/BuiltInDesigns.h"
#include "document/DesignSizes.h"
#include "document/DesignThumbnail.h"

namespace app {

namespace {

platform::DesignChoice Entry(const engine::Card& card, const std::string& name,
                             const std::string& detail) {
  platform::DesignChoice choice;
  choice.name = name;
  choice.detail = detail;
  const engine::Raster picture = document::RenderThumbnail(
      card, DesignChooser::kThumbnailWidth, DesignChooser::kThumbnailHeight);
  if (!picture.Empty()) {
    choice.width = int32_t(picture.width);
    choice.height = int32_t(picture.height);
    choice.rgb.assign(picture.pixels.get(), picture.pixels.get() + picture.ByteSize());
  }
  return choice;
}

}  // namespace

platform::DesignChoices DesignChooser::Choices() {
  const engine::ImageReader& reader = document_.Reader();
  if (builtIns_.empty()) {
    for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
      engine::Card card;
      document::MakeBuiltInCard(i, reader, &card);  // a missing picture: a blank entry
      const document::DesignInfo info = document::DescribeBuiltInDesign(i);
      builtIns_.push_back(Entry(card, info.name, document::InchesText(info.sizes.front())));
    }
  }
  platform::DesignChoices choices;
  choices.title = "Choose a design";
  choices.acceptLabel = "Use design";
  choices.thumbnailWidth = kThumbnailWidth;
  choices.thumbnailHeight = kThumbnailHeight;
  choices.choices = builtIns_;
  const document::DesignSource& current = document_.State().design;
  choices.selected = current.IsBuiltIn() ? size_t(current.builtInIndex) : choices.choices.size();

  // Layouts that cannot be read now (a card taken out, a file moved) are
  // left out, but stay remembered.
  offeredLayouts_.clear();
  for (const std::string& path : recent_.Paths()) {
    engine::Card card;
    uint32_t ppi = 0;
    if (document::MakeLayoutCard(path, reader, &card, &ppi) != imagefiles::LayoutStatus::Ok)
      continue;
    const document::DesignInfo info = document::DescribeLayoutDesign(
        path, card.cardTemplate.width, card.cardTemplate.height, ppi);
    if (current.IsLayout() && current.layoutPath == path) choices.selected = choices.choices.size();
    choices.choices.push_back(
        Entry(card, info.name, "Layout, " + document::InchesText(info.sizes.front())));
    offeredLayouts_.push_back(path);
  }
  return choices;
}

void DesignChooser::Run(platform::Window& window,
                        const std::function<bool(const std::string&)>& openLayout) {
  platform::DesignChoices choices;
  {
    platform::BusyCursor busy(window);
    choices = Choices();
  }
  const std::optional<size_t> chosen = window.ChooseDesign(choices);
  if (!chosen) return;
  const size_t builtIns = builtIns_.size();
  platform::BusyCursor busy(window);
  if (*chosen < builtIns) {
    // The design the card already has stays as it is: no step to undo.
    if (document_.State().design.builtInIndex != int(*chosen))
      document_.UseBuiltInDesign(int(*chosen));
  } else if (*chosen - builtIns < offeredLayouts_.size()) {
    openLayout(offeredLayouts_[*chosen - builtIns]);
  }
}

}  // namespace app
