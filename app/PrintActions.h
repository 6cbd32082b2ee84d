#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/PrintPlan.h"
#include "document/CardDocument.h"
#include "platform/Platform.h"

namespace app {

// The Print command: the system's print dialog, the page setup with its
// preview, then the card rendered for the printer from its design's print
// version and sent. The paper and placement chosen are remembered in the
// settings for the next time.
class PrintActions : public platform::PageSetupHandler {
 public:
  static constexpr char kPaperSetting[] = "print/paper";
  static constexpr char kPlacementSetting[] = "print/placement";
  // The preview's longer edge, in pixels.
  static constexpr int32_t kPreviewSide = 360;

  PrintActions(platform::Platform& platform, document::CardDocument& document)
      : platform_(platform), document_(document) {}

  void Attach(platform::Window* window) { window_ = window; }
  void OnTell(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }

  bool CanPrint() const { return window_ && window_->CanPrint(); }
  // True when a page went to the printer.
  bool Print();

  // platform::PageSetupHandler
  void PageSetupChanged(platform::PageSetupModel& model) override;

 private:
  void Update(platform::PageSetupModel& model);

  platform::Platform& platform_;
  document::CardDocument& document_;
  platform::Window* window_ = nullptr;
  std::function<void(const std::string&)> tell_;
  // While the page setup is up: what it chooses between.
  std::vector<platform::PrinterPaper> papers_;
  int32_t dpi_ = 300;
  document::DesignSize size_;
  std::vector<uint8_t> thumbnail_;
  int32_t thumbnailWidth_ = 0, thumbnailHeight_ = 0;
};

}  // namespace app
