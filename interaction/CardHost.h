#pragma once

#include <cstdint>
#include <string>

#include "document/CardDocument.h"
#include "engine/raster/ImageStatus.h"
#include "geometry/Rect.h"
#include "interaction/Hints.h"
#include "platform/Window.h"

namespace interaction {

// What the card's gestures and drops need of the window that shows the
// document.
class CardHost {
 public:
  virtual ~CardHost() = default;

  virtual document::CardDocument& Document() = 0;
  const engine::Card& Card() { return Document().Card(); }
  virtual geometry::Rect CardRect() const = 0;  // where the card is shown, client pixels
  virtual platform::Window& HostWindow() = 0;

  virtual void ChoosePhotoForSlot(int32_t slot) = 0;
  // Each loads the file into the document. A layout that fails has already
  // been reported to the user when LoadLayout returns false; a photo that
  // fails is reported by ReportPhotoFailure, when the caller decides.
  virtual bool LoadLayout(const std::string& path) = 0;
  // A project in place of the card; false when it was not opened (told to
  // the user, or the user kept the card).
  virtual bool OpenProject(const std::string& path) = 0;
  virtual engine::ImageStatus LoadPhoto(int32_t slot, const std::string& path) = 0;
  virtual void ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) = 0;
  // Several photos: into `slot`, then the empty regions in slot order; what
  // did not fit or load is told in one message.
  virtual void PlacePhotos(int32_t slot, const std::vector<std::string>& paths) = 0;
  // The region's menu at `at` (client pixels); `slot` -1 when it is over no region.
  virtual void ShowRegionMenu(geometry::Point at, int32_t slot) = 0;
  // What the hint line is about now: where the pointer or the keyboard is.
  virtual void HintAbout(const HintSubject& subject) = 0;
  // The focus ring moved: repaint where it was and where it is.
  virtual void RepaintArea(const geometry::Rect& area) = 0;

  // The words on the card: the box selected is now `index` (-1: none), and
  // the user asks to edit box `index` (a double-click on it).
  virtual void TextSelected(int32_t /*index*/) {}
  virtual void EditText(int32_t /*index*/) {}
  // How wide a text box's handles are, in client pixels.
  virtual int32_t TextGrip() const { return 8; }
};

}  // namespace interaction
