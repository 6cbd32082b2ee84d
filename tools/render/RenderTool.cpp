// tessary-render: renders a card from the command line with the program's
// own engine and writers, for batches and for checking the engine end to end.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "document/BuiltInDesigns.h"
#include "document/CardDocument.h"
#include "document/CardExport.h"
#include "document/DesignSizes.h"
#include "document/DesignTextPlace.h"
#include "document/PhotoFile.h"
#include "document/ProjectFile.h"
#include "document/StreamedExport.h"
#include "engine/card/PhotoTurn.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ImageStatusText.h"
#include "text/DrawTexts.h"
#include "tools/common/ToolVoice.h"
#include "tools/render/RenderOptions.h"

namespace {

const tools::ToolVoice kVoice("tessary-render", tools::kRenderUsage);

// --designs: one line per built-in design.
int ListDesigns() {
  for (int i = 0; i < document::BuiltInDesignCount(); ++i) {
    const document::DesignInfo info = document::DescribeBuiltInDesign(i);
    const document::DesignSize& screen = info.SizeFor(document::SizeUse::Screen);
    std::printf("%d  %-10s %4" PRIu32 " x %-4" PRIu32 "  %-9s", i, info.name.c_str(), screen.width,
                screen.height, document::InchesText(screen).c_str());
    if (const document::DesignSize* print = info.PrintSize())
      std::printf("  print %" PRIu32 " x %" PRIu32 " at %" PRIu32 " ppi", print->width,
                  print->height, print->ppi);
    std::printf("\n");
  }
  return std::fflush(stdout) == 0 ? 0 : tools::kFailed;
}

// Photos that would print soft at `size`, one line each on standard error.
void WarnSoftPhotos(const document::CardState& state, const document::DesignSize& size) {
  for (const document::SoftPhoto& soft : document::SoftPhotos(state.card, size)) {
    const std::string& path = state.photos[soft.slot].path;
    kVoice.Warn(path + " (slot " + std::to_string(soft.slot) +
                "): " + document::SoftPhotoSentence(soft.ppi));
  }
}

// The card's words: the project's, then each --text, what it does not say
// taken from the design's place for a greeting.
std::vector<text::TextBox> CardTexts(const document::CardState& state,
                                     const std::vector<tools::TextOption>& options) {
  std::vector<text::TextBox> texts = state.texts;
  const text::TextBox place = document::DesignTextPlace(state);
  for (const tools::TextOption& option : options) {
    text::TextBox box = option.box;
    if (!option.placeGiven) {
      box.left = place.left;
      box.top = place.top;
      box.width = place.width;
      box.height = place.height;
    }
    if (!option.fontGiven) box.font = place.font;
    if (!option.sizeGiven) box.sizePoints = place.sizePoints;
    if (!option.colourGiven) box.colour = place.colour;
    if (!option.alignGiven) box.align = place.align;
    if (!option.effectGiven) box.effect = place.effect;
    texts.push_back(std::move(box));
  }
  return texts;
}

// Families the words ask for and this system lacks, one line each.
void WarnMissingFonts(const std::vector<text::TextBox>& texts) {
  std::vector<std::string> named;
  for (const text::TextBox& box : texts) {
    if (box.words.empty() || text::HasFamily(box.font) ||
        std::find(named.begin(), named.end(), box.font) != named.end())
      continue;
    named.push_back(box.font);
    kVoice.Warn("the font \"" + box.font + "\" is not installed; set in " +
                text::FallbackFamily());
  }
}

int CheckSlot(const char* option, size_t slot, const engine::SlotList& slots) {
  if (slot < slots.size()) return 0;
  return kVoice.Usage(std::string(option) + " " + std::to_string(slot) + ": the template has " +
                      std::to_string(slots.size()) + " slots (0 to " +
                      std::to_string(slots.empty() ? 0 : slots.size() - 1) + ")");
}

// Decodes every --photo on up to two threads (decoding dominates a render of
// camera photos), then puts them into their slots in command-line order, so
// the result, and the photo named in an error, are what loading them one by
// one would give. Returns the index of the first photo that failed, with
// its reason, or -1.
int LoadPhotos(const std::vector<tools::PhotoOption>& photos, const imagefiles::ImageFiles& files,
               document::CardDocument& card, engine::ImageStatus* status) {
  std::vector<engine::Raster> decoded(photos.size());
  std::vector<document::PhotoSource> sources(photos.size());
  std::vector<engine::ImageStatus> statuses(photos.size());
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  auto work = [&] {
    try {
      for (size_t i = next++; i < photos.size(); i = next++)
        statuses[i] = document::ReadPhotoFile(photos[i].path, files, &decoded[i], &sources[i]);
    } catch (...) {
      if (!failed.exchange(true)) failure = std::current_exception();
    }
  };
  if (photos.size() > 1) {
    std::thread helper(work);
    work();
    helper.join();
  } else {
    work();
  }
  if (failure) std::rethrow_exception(failure);
  for (size_t i = 0; i < photos.size(); ++i) {
    if (!statuses[i]) {
      *status = statuses[i];
      return int(i);
    }
    if (!card.PutPhoto(photos[i].slot, std::move(decoded[i]), sources[i])) {
      *status = engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
      return int(i);
    }
  }
  return -1;
}

int Run(int argc, char** argv) {
  tools::RenderOptions options;
  std::string problem;
  if (!tools::ParseRenderOptions(argc, argv, &options, &problem)) return kVoice.Usage(problem);
  if (options.help) {
    std::fputs(tools::kRenderUsage, stdout);
    return 0;
  }
  if (options.listDesigns) return ListDesigns();

  const imagefiles::ImageFiles files;
  // The card as the window starts one: the placeholder tile, and the
  // design asked for.
  document::CardDocument document(files);
  document::ProjectMemory memory;
  std::vector<size_t> missing;
  if (!options.projectPath.empty()) {
    // The card as the window opens the project.
    document::CardState state;
    const document::ProjectOpening opening =
        document::ReadProject(options.projectPath, files, &state, &memory);
    if (!opening.Ok()) return kVoice.Fail(options.projectPath, opening.reason);
    missing = opening.missingPhotos;
    document.Open(std::move(state), true);
  } else if (!options.layoutPath.empty()) {
    document.Start(-1);
    engine::ImageStatus read;
    const imagefiles::LayoutStatus status = document.OpenLayout(options.layoutPath, &read);
    if (status != imagefiles::LayoutStatus::Ok)
      return kVoice.Fail(options.layoutPath, imagefiles::LayoutFailureText(status, read));
  } else if (!document.Start(options.templateIndex)) {
    return kVoice.Fail("template " + std::to_string(options.templateIndex),
                       "the built-in template is missing from this build");
  }
  const document::DesignInfo design = document::DescribeDesign(document.State());
  if (options.print && !design.PrintSize()) {
    return kVoice.Usage(
        "--print: the layout records no print resolution (200 ppi or more; "
        "tessary-layout --ppi sets one)");
  }
  // The size the card is written at, when it is one of the design's.
  const document::DesignSize size = options.print ? *design.PrintSize() : design.sizes.back();

  // Every slot index is checked before any photo is read.
  const engine::Card& screenCard = document.Card();
  for (const tools::PhotoOption& photo : options.photos) {
    if (int status = CheckSlot("--photo", photo.slot, screenCard.slots)) return status;
  }
  for (const tools::PanOption& pan : options.pans) {
    if (int status = CheckSlot("--pan", pan.slot, screenCard.slots)) return status;
  }
  for (const tools::ZoomOption& zoom : options.zooms) {
    if (int status = CheckSlot("--zoom", zoom.slot, screenCard.slots)) return status;
  }
  // A photo the project names and that was not found fails the render,
  // unless the command line gives the region another.
  for (const size_t slot : missing) {
    const bool replaced =
        std::any_of(options.photos.begin(), options.photos.end(),
                    [slot](const tools::PhotoOption& photo) { return photo.slot == slot; });
    if (!replaced)
      return kVoice.Fail(document.State().photos[slot].path,
                         "was not found (the project \"" + options.projectPath +
                             "\" names it; it is neither there nor beside the project)");
  }
  // A turn needs the photo it turns: given, or the project's.
  auto photoPath = [&](size_t slot) {
    std::string path =
        slot < document.State().photos.size() ? document.State().photos[slot].path : std::string();
    // The last --photo for the slot is the one it shows.
    for (const tools::PhotoOption& photo : options.photos)
      if (photo.slot == slot) path = photo.path;
    return path;
  };
  std::vector<std::pair<const char*, size_t>> turned;
  for (const tools::TurnOption& turn : options.turns) turned.push_back({"--turn", turn.slot});
  for (size_t slot : options.mirrors) turned.push_back({"--mirror", slot});
  for (const auto& [option, slot] : turned) {
    if (int status = CheckSlot(option, slot, screenCard.slots)) return status;
    if (photoPath(slot).empty() && !document.Card().slots[slot].HasPhoto())
      return kVoice.Usage(std::string(option) + " " + std::to_string(slot) + ": slot " +
                          std::to_string(slot) + " has no --photo to turn");
  }
  // A card saved in full quality is rendered with each photo decoded while
  // its slot is drawn and never held whole (the same bytes, a fraction of
  // the memory); the draft and the slot list load the photos first, and so
  // does a card at a print size, whose warnings about soft photos need
  // their sizes, a card that is also kept as a project, which records
  // where each photo came from, and a PDF, which embeds the whole picture.
  // Turned photos are turned whole, as the window turns them.
  const bool pdf = options.format == tools::RenderOptions::Format::Pdf;
  // Words are set over the whole card once it is rendered.
  const std::vector<text::TextBox> texts = CardTexts(document.State(), options.texts);
  const bool streamed = texts.empty() && !pdf && !options.draft && !options.listSlots && !options.output.empty() &&
                        size.use != document::SizeUse::Print && options.saveProjectPath.empty() &&
                        turned.empty();
  std::vector<document::SlotPhotoFile> photoFiles;
  if (streamed) {
    for (const tools::PhotoOption& photo : options.photos)
      photoFiles.push_back({photo.slot, photo.path});
  } else {
    engine::ImageStatus status;
    const int failedPhoto = LoadPhotos(options.photos, files, document, &status);
    if (failedPhoto >= 0) {
      return kVoice.Fail(options.photos[size_t(failedPhoto)].path,
                         imagefiles::ImageStatusText(status));
    }
  }
  // Turns first, so that pans are of the photo as shown; then mirrors.
  const engine::ImageStatus noMemory =
      engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  for (const tools::TurnOption& turn : options.turns) {
    for (int q = 0; q < turn.quarters; ++q) {
      if (!document.TurnPhoto(turn.slot, engine::PhotoTurn::Right))
        return kVoice.Fail(photoPath(turn.slot), imagefiles::ImageStatusText(noMemory));
    }
  }
  for (size_t slot : options.mirrors) {
    if (!document.TurnPhoto(slot, engine::PhotoTurn::Mirror))
      return kVoice.Fail(photoPath(slot), imagefiles::ImageStatusText(noMemory));
  }
  // Stored as given, as a drag or a project would store them.
  document.EditSlots(
      [&](engine::SlotList& slots) {
        for (const tools::PanOption& pan : options.pans) {
          slots[pan.slot].panX = pan.panX;
          slots[pan.slot].panY = pan.panY;
        }
        for (const tools::ZoomOption& zoom : options.zooms) slots[zoom.slot].zoom = zoom.zoom;
        return true;
      },
      document::Commit::Step);

  // At print size: the print version, framed as the screen card is.
  engine::Card printCard;
  if (options.print && !document::CardAtSize(document.State(), size, files, &printCard)) {
    return kVoice.Fail("template " + std::to_string(options.templateIndex),
                       "the print version is missing from this build");
  }
  const engine::Card& card = options.print ? printCard : screenCard;
  if (options.width == 0) WarnSoftPhotos(document.State(), size);

  if (options.listSlots) {
    for (size_t i = 0; i < card.slots.size(); ++i) {
      const engine::PhotoSlot& slot = card.slots[i];
      std::printf("slot %zu key 0x%06" PRIX32 " box %" PRId32 " %" PRId32 " %" PRId32 " %" PRId32
                  "\n",
                  i, slot.keyColour, slot.left, slot.top, slot.right, slot.bottom);
    }
    std::fflush(stdout);
  }
  if (!options.saveProjectPath.empty()) {
    document::ProjectSaveOptions save;
    save.photos = options.withPhotos ? document::PhotoCopies::All : document::PhotoCopies::None;
    document::CardState kept = document.State();
    kept.texts = texts;
    const document::ProjectSaving saving = document::WriteProject(
        kept, options.saveProjectPath, save, files,
        options.projectPath.empty() ? nullptr : &memory);
    if (!saving.Ok()) {
      return kVoice.Fail(options.saveProjectPath,
                         "cannot be written (" +
                             (saving.problem.empty() ? saving.saved.Message() : saving.problem) +
                             ")");
    }
  }
  if (options.output.empty()) return 0;

  const uint32_t width = options.width != 0 ? options.width : card.cardTemplate.width;
  const uint32_t height = options.height != 0 ? options.height : card.cardTemplate.height;
  // The design's own sizes carry their resolution and JPEG settings; any
  // other size is written as cards always were.
  const imagefiles::CardEncoding encoding =
      options.width == 0 ? size.encoding : imagefiles::CardEncoding();

  imagefiles::CardFormat format = imagefiles::CardFormat::Jpeg;
  if (options.format == tools::RenderOptions::Format::Png ||
      (options.format == tools::RenderOptions::Format::FromName &&
       tools::EndsWithExtension(options.output, ".png"))) {
    format = imagefiles::CardFormat::Png;
  }
  // "-" is standard output, written as it comes, as for any pipe or terminal.
  const bool toStandardOutput = options.output == "-";
  const imagefiles::OutputTarget target =
      toStandardOutput ? imagefiles::OutputTarget::Descriptor(STDOUT_FILENO)
                       : imagefiles::OutputTarget(options.output);
  // As large in print as the design's size; at any other size the same
  // physical card, its pixels packed tighter or looser.
  const double pixelsPerInch =
      options.width == 0 ? double(size.ppi) : double(width) * size.ppi / size.width;
  const document::CardWords words{&texts, pixelsPerInch};
  WarnMissingFonts(texts);
  imagefiles::SaveResult saved;
  if (pdf) {
    saved = document::ExportCardPdf(card, words, width, height, options.draft, target, encoding,
                                    pixelsPerInch, options.page);
  } else if (streamed) {
    const document::StreamedRenderResult result =
        document::ExportStreamedCard(card, photoFiles, width, height, target, format, encoding);
    if (result.failedPhoto >= 0) {
      return kVoice.Fail(options.photos[size_t(result.failedPhoto)].path,
                         imagefiles::ImageStatusText(result.photoStatus));
    }
    saved = result.saved;
  } else {
    saved = document::ExportCard(card, words, width, height, options.draft, target, format,
                                 encoding);
  }
  if (!saved) {
    return kVoice.FailWrite(toStandardOutput ? std::string("standard output") : options.output,
                            saved);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return kVoice.Main(Run, argc, argv); }
