#include <string>

#include "app/PathNames.h"
#include "app/TessaryWnd.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/ExistingFile.h"
#include "imagefiles/SaveName.h"

namespace app {

using namespace platform;

namespace {

std::string EmptyRegionsQuestion(size_t empty) {
  return empty == 1 ? "1 region is still empty: the card would show the placeholder there. "
                      "Save anyway?"
                    : std::to_string(empty) +
                          " regions are still empty: the card would show the placeholder "
                          "there. Save anyway?";
}

}  // namespace

bool CTessaryWnd::SaveCard() {
  if (const size_t empty = engine::CountEmptyRegions(card.slots)) {
    const Message question{EmptyRegionsQuestion(empty), "Tessary", MessageIcon::Question,
                           MessageButtons::YesNo};
    if (window->ShowMessage(question) != MessageAnswer::Yes) return false;
  }

  FileDialog dialog;
  dialog.title = "Save card";
  dialog.filters = {{"JPEG picture files", {"*.jpg"}}, {"PNG picture files", {"*.png"}}};
  dialog.initialName = "card";
  imagefiles::SaveTarget target;
  for (;;) {
    dialog.initialFolder = lastFolder;
    const std::optional<FileChoice> choice = window->ChooseFileToSave(dialog);
    if (!choice || choice->filter > 1) return false;
    // A typed extension that names a format decides it; otherwise the chosen
    // type does, and its extension is added to the name.
    target = imagefiles::ChooseSaveTarget(
        choice->path, choice->filter == 0 ? imagefiles::CardFormat::Jpeg
                                          : imagefiles::CardFormat::Png);
    dialog.initialFilter = choice->filter;
    dialog.initialName = FileNameOf(target.path);
    RememberFolderOf(target.path);
    if (!imagefiles::IsExistingRegularFile(target.path)) break;
    const Message replace{"\"" + FileNameOf(target.path) +
                              "\" already exists. Do you want to replace it?",
                          "Tessary", MessageIcon::Question, MessageButtons::YesNo};
    if (window->ShowMessage(replace) == MessageAnswer::Yes) break;
  }

  imagefiles::SaveResult saved;
  {
    BusyCursor busy(*window);
    saved = imagefiles::RenderAndWriteCard(card, card.cardTemplate.width,
                                           card.cardTemplate.height, false, target.path,
                                           target.format);
  }
  // A save that silently did nothing would leave the user believing the card
  // is on disk; the writer has left any old file as it was.
  if (!saved) {
    ShowMessage("The card could not be saved to \"" + target.path + "\": " + saved.Message() +
                ".");
    return false;
  }
  history.MarkSaved(card);
  return true;
}

}  // namespace app
