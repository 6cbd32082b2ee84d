#include "app/CardActions.h"

#include <cerrno>
#include <optional>

#include "app/WebAddresses.h"
#include "document/CardExport.h"
#include "imagefiles/ExistingFile.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/PathNames.h"
#include "imagefiles/SaveName.h"
#include "interaction/LayoutFileName.h"

namespace app {

using namespace platform;
using imagefiles::FileNameOf;

namespace {

constexpr char kCaption[] = "Tessary";

std::string EmptyRegionsQuestion(size_t empty) {
  return empty == 1 ? "1 region is still empty: the card would show the placeholder there. "
                      "Save anyway?"
                    : std::to_string(empty) +
                          " regions are still empty: the card would show the placeholder "
                          "there. Save anyway?";
}

// The regions' photos that would print soft, as a question.
std::string SoftPhotosQuestion(const std::vector<document::SoftPhoto>& soft) {
  if (soft.size() == 1) {
    return "The photo in region " + std::to_string(soft[0].slot + 1) + " will print at " +
           std::to_string(soft[0].ppi) +
           " ppi and may look soft: print shops ask for 200 ppi at least. Zoom out or use a "
           "larger photo for a sharper print. Save at this size anyway?";
  }
  std::string regions;
  for (size_t i = 0; i < soft.size(); ++i) {
    if (i != 0) regions += i + 1 == soft.size() ? " and " : ", ";
    regions += std::to_string(soft[i].slot + 1) + " (" + std::to_string(soft[i].ppi) + " ppi)";
  }
  return std::to_string(soft.size()) + " photos will print below 200 ppi and may look soft: "
         "regions " + regions +
         ". Zoom out or use larger photos for a sharper print. Save at this size anyway?";
}

// Why and where to look, in words: a file: address in a message cannot be
// followed.
std::string LayoutFailure(const std::string& path, imagefiles::LayoutStatus status,
                          const engine::ImageStatus& read) {
  return "The custom layout failed to load: \"" + FileNameOf(path) + "\" " +
         imagefiles::LayoutFailureText(status, read) +
         ". Please ensure it follows all the guidelines for custom layouts - see Custom layouts "
         "in the help.";
}

}  // namespace

void CardActions::ShowMessage(const std::string& text) {
  window_->ShowMessage(Message{text, kCaption, MessageIcon::None, MessageButtons::Ok});
}

void CardActions::RememberFolderOf(const std::string& path) {
  const std::string folder = imagefiles::FolderOf(path);
  if (!folder.empty()) lastFolder_ = folder;
}

bool CardActions::SaveCard() {
  if (const size_t empty = engine::CountEmptyRegions(document_.Card().slots)) {
    const Message question{EmptyRegionsQuestion(empty), kCaption, MessageIcon::Question,
                           MessageButtons::YesNo};
    if (window_->ShowMessage(question) != MessageAnswer::Yes) return false;
  }

  // A design with more than one size offers each in both formats, the
  // size used last first in line; a design of one size, the two formats.
  const document::DesignInfo design = document::DescribeDesign(document_.State());
  const bool sized = design.sizes.size() > 1;
  FileDialog dialog;
  dialog.title = "Save card";
  if (sized) {
    for (const document::DesignSize& size : design.sizes) {
      const std::string label = document::SizeLabel(size);
      dialog.filters.push_back({label + " - JPEG picture", {"*.jpg"}});
      dialog.filters.push_back({label + " - PNG picture", {"*.png"}});
      if (size.use == preferredUse_) dialog.initialFilter = dialog.filters.size() - 2;
    }
  } else {
    dialog.filters = {{"JPEG picture files", {"*.jpg"}}, {"PNG picture files", {"*.png"}}};
  }
  dialog.initialName = "card";
  dialog.initialFolder = lastFolder_;
  imagefiles::SaveTarget target;
  document::DesignSize size = design.sizes.front();
  bool softAccepted = false;
  for (;;) {
    const std::optional<FileChoice> choice = window_->ChooseFileToSave(dialog);
    if (!choice || choice->filter >= dialog.filters.size()) return false;
    if (sized) size = design.sizes[choice->filter / 2];
    // A typed extension that names a format decides it; otherwise the chosen
    // type does, and its extension is added to the name.
    target = imagefiles::ChooseSaveTarget(
        choice->path, choice->filter % 2 == 0 ? imagefiles::CardFormat::Jpeg
                                              : imagefiles::CardFormat::Png);
    // Asked again, the dialog comes back where the user was.
    dialog.initialFilter = choice->filter;
    dialog.initialName = FileNameOf(target.path);
    dialog.initialFolder = imagefiles::FolderOf(target.path);
    if (sized) preferredUse_ = size.use;
    if (!softAccepted && size.use == document::SizeUse::Print) {
      if (!AcceptSoftPhotos(size)) return false;
      softAccepted = true;
    }
    if (!imagefiles::IsExistingRegularFile(target.path)) break;
    const Message replace{"\"" + FileNameOf(target.path) +
                              "\" already exists. Do you want to replace it?",
                          kCaption, MessageIcon::Question, MessageButtons::YesNo};
    if (window_->ShowMessage(replace) == MessageAnswer::Yes) break;
  }

  imagefiles::SaveResult saved;
  {
    BusyCursor busy(*window_);
    // A FIFO that no program reads would hold the window forever.
    saved = document::ExportCard(document_.State(), size, document_.Reader(),
                                 imagefiles::OutputTarget::WithoutWaiting(target.path),
                                 target.format);
  }
  // A save that silently did nothing would leave the user believing the card
  // is on disk; the writer has left any old file as it was. The folder that
  // failed is not the one to start in next time.
  if (!saved) {
    ShowMessage("The card could not be saved to \"" + target.path + "\": " + saved.Message() +
                ".");
    return false;
  }
  RememberFolderOf(target.path);
  document_.MarkSaved();
  return true;
}

bool CardActions::AcceptSoftPhotos(const document::DesignSize& size) {
  const std::vector<document::SoftPhoto> soft = document::SoftPhotos(document_.Card(), size);
  if (soft.empty()) return true;
  const Message question{SoftPhotosQuestion(soft), kCaption, MessageIcon::Warning,
                         MessageButtons::YesNo};
  return window_->ShowMessage(question) == MessageAnswer::Yes;
}

document::DesignSize CardActions::OutputSize() const {
  return document::DescribeDesign(document_.State()).SizeFor(preferredUse_);
}

RecentLayouts& CardActions::Recent() {
  if (!recent_) recent_ = std::make_unique<RecentLayouts>(&platform_);
  return *recent_;
}

void CardActions::ChooseDesign() {
  if (!chooser_) chooser_ = std::make_unique<DesignChooser>(document_, Recent());
  chooser_->Run(*window_, [this](const std::string& path) { return OpenLayout(path); });
}

bool CardActions::AskToSave() {
  const Message question{"Save changes to your card before closing?", kCaption,
                         MessageIcon::Question, MessageButtons::SaveDiscardCancel};
  switch (window_->ShowMessage(question)) {
    case MessageAnswer::Save:
      return SaveCard();  // a cancelled or failed save keeps the window
    case MessageAnswer::Discard:
      return true;
    default:
      return false;
  }
}

void CardActions::ChoosePhoto(int32_t slot) {
  FileDialog dialog;
  dialog.title = "Open picture";
  // The picture is known by its content, not its name; the names here only
  // keep other files out of the way.
  dialog.filters = {{"Picture files",
                     {"*.jpg", "*.jpeg", "*.jpe", "*.jfif", "*.png", "*.heic", "*.heif", "*.hif",
                      "*.webp", "*.tif", "*.tiff"}},
                    {"JPEG picture files", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif"}},
                    {"PNG picture files", {"*.png"}},
                    {"HEIC picture files", {"*.heic", "*.heif", "*.hif"}},
                    {"WebP picture files", {"*.webp"}},
                    {"TIFF picture files", {"*.tif", "*.tiff"}}};
  dialog.initialFolder = lastFolder_;
  dialog.several = true;
  const std::optional<FileChoice> choice = window_->ChooseFileToOpen(dialog);
  if (!choice) return;
  RememberFolderOf(choice->path);
  PlacePhotos(slot, choice->paths.empty() ? std::vector<std::string>{choice->path} : choice->paths);
}

void CardActions::PlacePhotos(int32_t slot, const std::vector<std::string>& paths) {
  const engine::SlotList& slots = document_.Card().slots;
  if (slot < 0 || size_t(slot) >= slots.size() || paths.empty()) return;
  std::vector<size_t> targets{size_t(slot)};
  for (size_t i = 0; i < slots.size(); ++i)
    if (i != size_t(slot) && !slots[i].Hidden() && !slots[i].HasPhoto()) targets.push_back(i);
  std::vector<document::CardDocument::PhotoLoad> loads;
  {
    BusyCursor busy(*window_);
    loads = document_.LoadPhotos(targets, paths);
  }
  // One message for the whole choice, a line per file that was not used.
  std::string text;
  for (const auto& load : loads) {
    if (load.slot >= 0) continue;
    if (!text.empty()) text += "\n";
    text += load.status ? "\"" + FileNameOf(load.path) +
                              "\" was not opened: the card has no empty region left."
                        : imagefiles::PhotoFailureMessage(FileNameOf(load.path), load.status);
  }
  if (!text.empty()) ShowMessage(text);
}

void CardActions::ChooseLayout() {
  FileDialog dialog;
  dialog.title = "Open layout";
  dialog.filters = {{"Card layouts", {"*.jli"}}};
  dialog.initialFolder = lastFolder_;
  const std::optional<FileChoice> choice = window_->ChooseFileToOpen(dialog);
  if (!choice) return;
  RememberFolderOf(choice->path);
  BusyCursor busy(*window_);
  OpenLayout(choice->path);
}

void CardActions::NextDesign() {
  BusyCursor busy(*window_);
  document_.NextBuiltInDesign();
}

bool CardActions::OpenLayout(const std::string& path) {
  engine::ImageStatus read;
  const imagefiles::LayoutStatus status = document_.OpenLayout(path, &read);
  if (status == imagefiles::LayoutStatus::Ok) {
    Recent().Add(path);
    return true;
  }
  ShowMessage(LayoutFailure(path, status, read));
  return false;
}

engine::ImageStatus CardActions::LoadPhoto(int32_t slot, const std::string& path) {
  if (slot < 0) return engine::ImageStatus::Unreadable(EINVAL);
  return document_.LoadPhoto(size_t(slot), path);
}

void CardActions::ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) {
  ShowMessage(imagefiles::PhotoFailureMessage(FileNameOf(path), status));
}

void CardActions::OpenFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  BusyCursor busy(*window_);
  for (const std::string& path : paths)
    if (interaction::IsLayoutFileName(path)) {
      OpenLayout(path);
      break;
    }
  size_t next = 0;
  for (const std::string& path : paths) {
    if (interaction::IsLayoutFileName(path)) continue;
    const engine::SlotList& slots = document_.Card().slots;
    while (next < slots.size() && (slots[next].Hidden() || slots[next].HasPhoto())) ++next;
    if (next == slots.size()) {
      ShowMessage("\"" + FileNameOf(path) + "\" was not opened: the card has no empty region left.");
      continue;
    }
    const engine::ImageStatus status = LoadPhoto(int32_t(next), path);
    if (status) {
      ++next;
    } else {
      ReportPhotoFailure(path, status);
    }
  }
}

void CardActions::OpenHelp() { platform_.OpenAddress(HelpAddress()); }

void CardActions::OpenDonationPage() { platform_.OpenAddress(DonateAddress()); }

}  // namespace app
