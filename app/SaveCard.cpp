#include <string>

#include "app/TessaryWnd.h"
#include "imagefiles/CardWriter.h"
#include "platform/WaitCursor.h"

namespace app {

using namespace platform;

LRESULT CTessaryWnd::SaveCard(uint32_t, WPARAM, LPARAM, bool&) {
  OPENFILENAME ofn;
  ofn.owner = window;
  ofn.filters = {FileFilter{"JPEG picture files", "*.jpg"},
                 FileFilter{"PNG picture files", "*.png"}};
  ofn.filterIndex = 0;
  ofn.file = "card";
  ofn.maxFile = 260;
  ofn.title = "Save card";
  ofn.defaultExtension = "jpg";
  ofn.flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!platform_.GetSaveFileName(ofn)) return 0;

  bool failed = false;
  {
    WaitCursor wait(platform_);
    // The filter decides the format; the typed name may say anything.
    if (ofn.filterIndex == 1 || ofn.filterIndex == 2) {
      const imagefiles::CardFormat format =
          ofn.filterIndex == 1 ? imagefiles::CardFormat::Jpeg : imagefiles::CardFormat::Png;
      failed = !imagefiles::RenderCardToFile(card, card.cardTemplate.width,
                                             card.cardTemplate.height, false, ofn.file, format);
    }
  }
  // A save that silently did nothing would leave the user believing the card
  // is on disk; the writer has left any old file as it was.
  if (failed) {
    const std::string text = "The card could not be saved to \"" + ofn.file + "\".";
    platform_.MessageBox(window, text.c_str(), "Tessary", MB_OK);
  }
  return 0;
}

}  // namespace app
