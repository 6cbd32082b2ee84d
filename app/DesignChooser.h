#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/RecentLayouts.h"
#include "document/CardDocument.h"
#include "platform/Window.h"

namespace app {

// The Designs command: every built-in design and the layouts opened
// lately, each as a picture the program draws from the design itself (the
// card with the placeholder in every region), with its name and size. The
// design chosen becomes the card's; photos stay in their slots, as with the
// Template command.
class DesignChooser {
 public:
  // Room for each picture in the chooser.
  static constexpr int32_t kThumbnailWidth = 160;
  static constexpr int32_t kThumbnailHeight = 120;

  DesignChooser(document::CardDocument& document, RecentLayouts& recent)
      : document_(document), recent_(recent) {}

  // What the chooser would offer now, the card's own design selected.
  platform::DesignChoices Choices();
  // Shows the chooser and applies the choice; a layout is opened with
  // `openLayout`, which tells the user when it fails.
  void Run(platform::Window& window, const std::function<bool(const std::string&)>& openLayout);

 private:
  document::CardDocument& document_;
  RecentLayouts& recent_;
  // The built-in designs' entries, pictures included: made once.
  std::vector<platform::DesignChoice> builtIns_;
  // The layouts behind the entries after the built-in ones, as last offered.
  std::vector<std::string> offeredLayouts_;
};

}  // namespace app
