#include <string>

#include "app/TessaryWnd.h"
#include "imagefiles/CardWriter.h"

namespace app {

using namespace platform;

namespace {

const char* const kExtensions[] = {"jpg", "png"};

bool HasExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
         dot + 1 < path.size();
}

}  // namespace

void CTessaryWnd::SaveCard() {
  FileDialog dialog;
  dialog.title = "Save card";
  dialog.filters = {{"JPEG picture files", {"*.jpg"}}, {"PNG picture files", {"*.png"}}};
  dialog.initialName = "card";
  const std::optional<FileChoice> choice = window->ChooseFileToSave(dialog);
  if (!choice || choice->filter > 1) return;

  // The filter decides the format; the typed name may say anything. A bare
  // name gets the chosen type's extension.
  std::string path = choice->path;
  if (!HasExtension(path)) {
    if (path.empty() || path.back() != '.') path += '.';
    path += kExtensions[choice->filter];
  }
  const imagefiles::CardFormat format =
      choice->filter == 0 ? imagefiles::CardFormat::Jpeg : imagefiles::CardFormat::Png;
  bool saved = false;
  {
    BusyCursor busy(*window);
    saved = imagefiles::RenderCardToFile(card, card.cardTemplate.width, card.cardTemplate.height,
                                         false, path, format);
  }
  // A save that silently did nothing would leave the user believing the card
  // is on disk; the writer has left any old file as it was.
  if (!saved) ShowMessage("The card could not be saved to \"" + path + "\".");
}

}  // namespace app
