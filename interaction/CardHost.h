#pragma once

#include <cstdint>
#include <string>

#include "engine/card/CardTemplate.h"
#include "engine/raster/ImageStatus.h"
#include "geometry/Rect.h"
#include "platform/Window.h"

namespace interaction {

// What pointer editing and drops need of the window that owns the card.
class CardHost {
 public:
  virtual ~CardHost() = default;

  virtual engine::Card& Card() = 0;
  virtual geometry::Rect CardRect() const = 0;  // where the card is shown, client pixels
  virtual platform::Window& HostWindow() = 0;

  virtual void RepaintCard() = 0;  // after the pan of a photo changed
  // A drag ended: the card may have changed since the press.
  virtual void DragFinished() = 0;
  virtual void ChoosePhotoForSlot(int32_t slot) = 0;
  // Each loads the file and repaints on success. A layout that fails has
  // already been reported to the user when LoadLayout returns false; a photo
  // that fails is reported by ReportPhotoFailure, when the caller decides.
  virtual bool LoadLayout(const std::string& path) = 0;
  virtual engine::ImageStatus LoadPhoto(int32_t slot, const std::string& path) = 0;
  virtual void ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) = 0;
};

}  // namespace interaction
