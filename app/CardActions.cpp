#include "app/CardActions.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "app/Commands.h"
#include "app/MessageTexts.h"
#include "app/ProjectActions.h"
#include "app/WebAddresses.h"
#include "document/CardExport.h"
#include "document/PhotoPreview.h"
#include "imagefiles/ExistingFile.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/PathNames.h"
#include "imagefiles/SaveName.h"
#include "interaction/HintTexts.h"
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

// The open dialog's preview: the photo as a region would get it, small.
IconImage PreviewOf(const engine::ImageReader& reader, const std::string& path, int32_t side) {
  const engine::Raster small = document::ReadPhotoPreview(path, reader, uint32_t(std::max(side, 0)));
  IconImage icon;
  if (small.Empty()) return icon;
  icon.width = int32_t(small.width);
  icon.height = int32_t(small.height);
  icon.rgba.resize(size_t(small.width) * small.height * 4);
  const uint8_t* in = small.pixels.get();
  for (size_t i = 0, o = 0; o < icon.rgba.size(); i += 3, o += 4) {
    icon.rgba[o] = in[i];
    icon.rgba[o + 1] = in[i + 1];
    icon.rgba[o + 2] = in[i + 2];
    icon.rgba[o + 3] = 255;
  }
  return icon;
}

// How Undo is reached from the keyboard, as menus name it.
std::string UndoKeyName() {
  const Command* undo = FindCommand(CommandId::Undo);
  return undo && !undo->keys.empty() ? KeyName(undo->keys.front()) : std::string("Undo");
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

bool EndsInPdf(const std::string& path) {
  std::string name = FileNameOf(path);
  if (name.size() <= 4) return false;
  for (char& c : name) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name.compare(name.size() - 4, 4, ".pdf") == 0;
}

}  // namespace

void CardActions::ShowMessage(const std::string& text, MessageIcon icon) {
  window_->ShowMessage(Message{text, kCaption, icon, MessageButtons::Ok, {}});
}

void CardActions::RememberFolderOf(const std::string& path) {
  const std::string folder = imagefiles::FolderOf(path);
  if (!folder.empty()) lastFolder_ = folder;
}

bool CardActions::SaveCard() {
  WaitForLoads(interaction::kHintWaitingForPhotos);
  if (const size_t empty = engine::CountEmptyRegions(document_.Card().slots)) {
    const Message question{EmptyRegionsQuestion(empty), kCaption, MessageIcon::Question,
                           MessageButtons::YesNo, {"Save Anyway", "Go Back"}};
    if (window_->ShowMessage(question) != MessageAnswer::Yes) return false;
  }

  // A design with more than one size offers each in both formats, the
  // size used last first in line; a design of one size, the two formats.
  // The format and name chosen last come first, in the folder of the last
  // save that worked.
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
  if (savePng_) ++dialog.initialFilter;
  // PDF documents after the pictures, one per size, so that the pictures'
  // types keep their places.
  const size_t firstPdf = dialog.filters.size();
  for (const document::DesignSize& each : design.sizes) {
    dialog.filters.push_back(
        {sized ? document::SizeLabel(each) + " - PDF document" : std::string("PDF document"),
         {"*.pdf"}});
  }
  if (savePdf_) dialog.initialFilter = firstPdf + dialog.initialFilter / 2;
  dialog.initialName = saveName_;
  dialog.initialFolder = lastFolder_;
  document::DesignSize size = design.sizes.front();
  bool softAccepted = false;
  // A save that fails brings the dialog back where the user was, with the
  // message, to choose another place or name.
  for (;;) {
    imagefiles::SaveTarget target;
    bool pdf = false;
    for (;;) {
      const std::optional<FileChoice> choice = window_->ChooseFileToSave(dialog);
      if (!choice || choice->filter >= dialog.filters.size()) return false;
      const bool pdfChosen = choice->filter >= firstPdf;
      if (sized) size = design.sizes[pdfChosen ? choice->filter - firstPdf : choice->filter / 2];
      // A typed extension that names a format decides it; otherwise the chosen
      // type does, and its extension is added to the name.
      target = imagefiles::ChooseSaveTarget(
          choice->path, choice->filter % 2 == 0 ? imagefiles::CardFormat::Jpeg
                                                : imagefiles::CardFormat::Png);
      // The same for a PDF: a typed ".pdf" makes one, and a bare name gets
      // ".pdf" when the PDF type is chosen.
      imagefiles::CardFormat typed;
      pdf = EndsInPdf(choice->path) ||
            (pdfChosen && !imagefiles::FormatFromExtension(choice->path, &typed));
      if (pdf) target.path = EndsInPdf(choice->path) ? choice->path : choice->path + ".pdf";
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
                            kCaption, MessageIcon::Question, MessageButtons::YesNo, {}};
      if (window_->ShowMessage(replace) == MessageAnswer::Yes) break;
    }
    savePdf_ = dialog.initialFilter >= firstPdf;
    if (!savePdf_) savePng_ = dialog.initialFilter % 2 == 1;
    saveName_ = dialog.initialName;

    imagefiles::SaveResult saved;
    {
      BusyCursor busy(*window_);
      // A FIFO that no program reads would hold the window forever.
      const imagefiles::OutputTarget output =
          imagefiles::OutputTarget::WithoutWaiting(target.path);
      // A PDF is the card at its physical size, as a print shop takes it.
      saved = pdf ? document::ExportCardPdf(document_.State(), size, document_.Reader(), output,
                                            imagefiles::PdfPageOptions())
                  : document::ExportCard(document_.State(), size, document_.Reader(), output,
                                         target.format);
    }
    // A save that silently did nothing would leave the user believing the
    // card is on disk; the writer has left any old file as it was. The
    // folder that failed is not the one to start in next time.
    if (saved) {
      RememberFolderOf(target.path);
      document_.MarkSaved();
      Tell(interaction::SavedHint(FileNameOf(target.path), size.width, size.height));
      return true;
    }
    ShowMessage("The card could not be saved to \"" + target.path + "\": " + saved.Message() +
                    ".",
                MessageIcon::Error);
  }
}

bool CardActions::AcceptSoftPhotos(const document::DesignSize& size) {
  const std::vector<document::SoftPhoto> soft = document::SoftPhotos(document_.Card(), size);
  if (soft.empty()) return true;
  const Message question{SoftPhotosQuestion(soft), kCaption, MessageIcon::Warning,
                         MessageButtons::YesNo, {"Save Anyway", "Go Back"}};
  return window_->ShowMessage(question) == MessageAnswer::Yes;
}

document::DesignSize CardActions::OutputSize() const {
  return document::DescribeDesign(document_.State()).SizeFor(preferredUse_);
}

RecentLayouts& CardActions::Recent() {
  if (!recent_) recent_ = std::make_unique<RecentLayouts>(&platform_);
  return *recent_;
}

void CardActions::ChooseDesign(ProjectActions* projects) {
  if (!chooser_) chooser_ = std::make_unique<DesignChooser>(document_, Recent());
  DesignChooser::Recent recent;
  recent.openLayout = [this](const std::string& path) { return OpenLayout(path); };
  if (projects != nullptr) {
    recent.projects = projects->RecentProjects();
    recent.openProject = [projects](const std::string& path) {
      return projects->OpenProject(path);
    };
  }
  chooser_->Run(*window_, recent);
}

bool CardActions::AskToSave() {
  const Message question{"Save changes to your card before closing?", kCaption,
                         MessageIcon::Question, MessageButtons::SaveDiscardCancel,
                         {"Save", "Don't Save", "Cancel"}};
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
  // keep other files out of the way, and "All files" lets them all in.
  dialog.filters = {{"Pictures (JPEG, PNG, \xE2\x80\xA6)", {"*.jpg", "*.jpeg", "*.jpe", "*.jfif", "*.png", "*.heic", "*.heif", "*.hif", "*.webp",
                      "*.tif", "*.tiff"}},
                    {"All files", {"*"}}};
  dialog.initialFolder = lastFolder_;
  const engine::ImageReader& reader = document_.Reader();
  dialog.preview = [&reader](const std::string& path, int32_t side) {
    return PreviewOf(reader, path, side);
  };
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
  // A region whose photo is still on its way is not empty.
  for (size_t i = 0; i < slots.size(); ++i)
    if (i != size_t(slot) && !slots[i].Hidden() && !slots[i].HasPhoto() &&
        !(loads_ && loads_->Loading(int32_t(i))))
      targets.push_back(i);
  const bool replacing = slots[size_t(slot)].HasPhoto();
  if (loads_) {
    const size_t placed = std::min(targets.size(), paths.size());
    targets.resize(placed);
    StartLoads(targets, std::vector<std::string>(paths.begin(), paths.begin() + placed),
               std::vector<std::string>(paths.begin() + placed, paths.end()),
               replacing ? slot : -1);
    return;
  }
  std::vector<document::CardDocument::PhotoLoad> loads;
  {
    BusyCursor busy(*window_);
    loads = document_.LoadPhotos(targets, paths);
  }
  std::vector<const document::CardDocument::PhotoLoad*> unused;
  bool replaced = false;
  for (const auto& load : loads) {
    if (load.slot == slot) replaced = replacing;
    if (load.slot < 0) unused.push_back(&load);
  }
  // A photo gone without a word would look lost: say how to get it back.
  if (replaced) Tell(interaction::ReplacedHint(UndoKeyName()));
  std::vector<Unused> told;
  for (const auto* load : unused) told.push_back(Unused{load->path, load->status});
  ReportUnused(told);
}

void CardActions::ReportUnused(const std::vector<Unused>& unused) {
  // One file that could not be used is told as any photo that fails;
  // several in one message, a line per file.
  if (unused.size() == 1 && !unused[0].status) {
    ReportPhotoFailure(unused[0].path, unused[0].status);
    return;
  }
  std::string text;
  for (const Unused& load : unused) {
    if (!text.empty()) text += "\n";
    text += load.status ? "\"" + FileNameOf(load.path) +
                              "\" was not opened: the card has no empty region left."
                        : imagefiles::PhotoFailureMessage(FileNameOf(load.path), load.status);
  }
  if (!text.empty()) ShowMessage(text);
}

void CardActions::UseLoads(PhotoLoads* loads) {
  loads_ = loads;
  if (loads_) loads_->OnFinished([this](PhotoLoads::Finished&& finished) {
    Arrived(std::move(finished));
  });
}

void CardActions::StartLoads(const std::vector<size_t>& slots,
                             const std::vector<std::string>& paths,
                             const std::vector<std::string>& unplaced, int32_t replacing) {
  const uint64_t id = nextBatch_++;
  Batch& batch = batches_[id];
  batch.card = document_.CardNumber();
  batch.replacing = replacing;
  for (const std::string& path : unplaced) batch.unused.push_back(Unused{path, {}});
  for (size_t i = 0; i < slots.size() && i < paths.size(); ++i)
    loads_->Start(int32_t(slots[i]), paths[i], id);
  // A load replaced here may have been the last of an earlier action.
  ReportFinishedBatches();
}

void CardActions::Arrived(PhotoLoads::Finished&& finished) {
  if (arrivalsHeld_ && arrivalsHeld_()) {
    held_.push_back(std::move(finished));
    return;
  }
  const auto found = batches_.find(finished.batch);
  if (found == batches_.end()) return;
  Batch& batch = found->second;
  // A card opened meanwhile has other regions: the photo was for the old one.
  if (batch.card == document_.CardNumber()) {
    if (finished.status &&
        !document_.PutPhotoJoining(size_t(finished.slot), std::move(finished.photo),
                                   finished.source, &batch.step) &&
        size_t(finished.slot) < document_.Card().slots.size())
      finished.status = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
    if (!finished.status) {
      batch.unused.push_back(Unused{finished.path, finished.status});
      GiveRegionToFileLeftOver(batch, finished.batch, finished.slot);
    } else if (finished.slot == batch.replacing) {
      // A photo gone without a word would look lost: say how to get it back.
      Tell(interaction::ReplacedHint(UndoKeyName()));
    }
  }
  ReportFinishedBatches();
}

void CardActions::GiveRegionToFileLeftOver(Batch& batch, uint64_t id, int32_t slot) {
  // Read one after another, the files after one that fails would each move
  // up a region; here the first that found no region takes the one freed.
  const engine::SlotList& slots = document_.Card().slots;
  if (slot < 0 || size_t(slot) >= slots.size() || slots[size_t(slot)].Hidden() ||
      slots[size_t(slot)].HasPhoto() || loads_->Loading(slot))
    return;
  for (auto it = batch.unused.begin(); it != batch.unused.end(); ++it) {
    if (!it->status) continue;  // one that failed, not one left over
    const std::string path = it->path;
    batch.unused.erase(it);
    loads_->Start(slot, path, id);
    return;
  }
}

void CardActions::ReportFinishedBatches() {
  std::vector<uint64_t> finished;
  for (const auto& entry : batches_) {
    bool loading = false;
    for (int32_t slot : loads_->Slots()) loading = loading || loads_->BatchOf(slot) == entry.first;
    for (const PhotoLoads::Finished& waiting : held_) loading = loading || waiting.batch == entry.first;
    if (!loading) finished.push_back(entry.first);
  }
  for (uint64_t id : finished) {
    // A message runs a loop of its own, which may bring other photos in.
    const auto found = batches_.find(id);
    if (found == batches_.end()) continue;
    const std::vector<Unused> unused = std::move(found->second.unused);
    batches_.erase(found);
    ReportUnused(unused);
  }
}

void CardActions::WaitForLoads(const std::string& why) {
  DeliverHeld();
  if (!loads_ || !loads_->Busy()) return;
  BusyCursor busy(*window_);
  // Each photo that comes in changes the card, which clears what was told.
  while (!platform_.WaitUntil(
      [&] {
        if (!loads_->Busy()) return true;
        Tell(why);
        return false;
      },
      60000)) {
  }
}

void CardActions::CancelLoads() {
  if (loads_) loads_->CancelAll();
  batches_.clear();
  held_.clear();
}

void CardActions::DeliverHeld() {
  if (held_.empty() || (arrivalsHeld_ && arrivalsHeld_())) return;
  std::vector<PhotoLoads::Finished> held = std::move(held_);
  held_.clear();
  for (PhotoLoads::Finished& finished : held) Arrived(std::move(finished));
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
  ShowMessage(LayoutProblemMessage(path, status, read, imagefiles::IsEmptyRegularFile(path)));
  return false;
}

engine::ImageStatus CardActions::LoadPhoto(int32_t slot, const std::string& path) {
  if (slot < 0) return engine::ImageStatus::Unreadable(EINVAL);
  const engine::SlotList& slots = document_.Card().slots;
  const bool replacing = size_t(slot) < slots.size() && slots[size_t(slot)].HasPhoto();
  const engine::ImageStatus status = document_.LoadPhoto(size_t(slot), path);
  // A photo gone without a word would look lost: say how to get it back.
  if (status && replacing) Tell(interaction::ReplacedHint(UndoKeyName()));
  return status;
}

void CardActions::ReportPhotoFailure(const std::string& path, const engine::ImageStatus& status) {
  ShowMessage(PhotoProblemMessage(path, status, imagefiles::IsEmptyRegularFile(path)));
}

void CardActions::OpenFiles(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  BusyCursor busy(*window_);
  for (const std::string& path : paths)
    if (interaction::IsLayoutFileName(path)) {
      OpenLayout(path);
      break;
    }
  if (loads_) {
    // The empty regions in slot order, as each photo would find them.
    const engine::SlotList& slots = document_.Card().slots;
    std::vector<size_t> targets;
    std::vector<std::string> photos, unplaced;
    for (size_t i = 0; i < slots.size(); ++i)
      if (!slots[i].Hidden() && !slots[i].HasPhoto() && !loads_->Loading(int32_t(i)))
        targets.push_back(i);
    for (const std::string& path : paths) {
      if (interaction::IsLayoutFileName(path)) continue;
      (photos.size() < targets.size() ? photos : unplaced).push_back(path);
    }
    targets.resize(photos.size());
    if (!photos.empty() || !unplaced.empty()) StartLoads(targets, photos, unplaced, -1);
    return;
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

void CardActions::ReportAddressFailure(const std::string& what, const std::string& address) {
  ShowMessage(address.empty()
                  ? "This copy of Tessary has no address for " + what + "."
                  : "No web browser could open " + what + ".\nIts address is " + address + ".");
}

void CardActions::OpenHelp() {
  const std::string address = HelpAddress();
  if (platform_.OpenAddress(address)) return;
  // No browser: the page that came with the program, in a window of the
  // program's own.
  const std::string file = HelpFile();
  if (!file.empty() && window_->ShowLocalPage(file, "Tessary Help")) return;
  ReportAddressFailure("the help page", address);
}

void CardActions::OpenDonationPage() {
  const std::string address = DonateAddress();
  if (!platform_.OpenAddress(address)) ReportAddressFailure("the donation page", address);
}

}  // namespace app
