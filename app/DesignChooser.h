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
// card with the placeholder in every region), with its name and size, then
// the projects opened lately with the picture each carries of its card. The
// design chosen becomes the card's; photos stay in their slots, as with the
// Template command. A project chosen is opened.
class DesignChooser {
 public:
  // Room for each picture in the chooser.
  static constexpr int32_t kThumbnailWidth = 160;
  static constexpr int32_t kThumbnailHeight = 120;

  DesignChooser(document::CardDocument& document, RecentLayouts& recent)
      : document_(document), recent_(recent) {}

  // What the chooser offers besides the designs.
  struct Recent {
    std::vector<std::string> projects;  // newest first
    // Each tells the user when it fails.
    std::function<bool(const std::string&)> openLayout;
    std::function<bool(const std::string&)> openProject;
  };

  // What the chooser would offer now, the card's own design selected.
  platform::DesignChoices Choices(const std::vector<std::string>& projects = {});
  // Shows the chooser and applies the choice.
  void Run(platform::Window& window, const Recent& recent);

 private:
  document::CardDocument& document_;
  RecentLayouts& recent_;
  // The built-in designs' entries, pictures included: made once.
  std::vector<platform::DesignChoice> builtIns_;
  // The layouts behind the entries after the built-in ones, as last offered.
  std::vector<std::string> offeredLayouts_;
  // The projects behind the entries after those, as last offered.
  std::vector<std::string> offeredProjects_;
};

}  // namespace app
