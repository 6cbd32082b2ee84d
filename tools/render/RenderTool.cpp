// tessary-render: renders a card from the command line with the program's
// own engine and writers, for batches and for checking the engine end to end.

#include <unistd.h>

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "engine/card/CardTemplate.h"
#include "engine/card/PhotoPlacement.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/StreamedRender.h"
#include "resources/BuiltInImages.h"
#include "tools/render/RenderOptions.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Usage(const std::string& problem) {
  std::fprintf(stderr, "tessary-render: %s\n%s", problem.c_str(), tools::kRenderUsage);
  return kUsage;
}

int Fail(const std::string& file, const std::string& reason) {
  std::fprintf(stderr, "tessary-render: %s: %s\n", file.c_str(), reason.c_str());
  return kFailed;
}

bool EndsWithPng(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return tail == ".png";
}

// The window's start: a 900 x 600 card, template 0, the placeholder tile.
void StartLikeTheWindow(engine::Card& card) {
  card.cardTemplate.width = 900;
  card.cardTemplate.height = 600;
  card.cardTemplate.builtInTemplateIndex = 0;
  const resources::Blob tile = resources::FindPngResource(resources::kPlaceholderTileId);
  imagefiles::DecodeImage(tile.data, tile.size, false, &card.placeholderTile);
}

int CheckSlot(const char* option, size_t slot, const engine::SlotList& slots) {
  if (slot < slots.size()) return 0;
  return Usage(std::string(option) + " " + std::to_string(slot) + ": the template has " +
               std::to_string(slots.size()) + " slots (0 to " +
               std::to_string(slots.empty() ? 0 : slots.size() - 1) + ")");
}

// Decodes every --photo on up to two threads (decoding dominates a render of
// camera photos). Each photo is loaded into a copy of the slot list, and the
// loaded slots are then taken over in command-line order, so the result, and
// the photo named in an error, are what loading them one by one would give.
// Returns the index of the first photo that failed, with its reason, or -1.
int LoadPhotos(const std::vector<tools::PhotoOption>& photos, const imagefiles::ImageFiles& files,
               engine::SlotList& slots, engine::ImageStatus* status) {
  std::vector<engine::SlotList> loaded(photos.size(), slots);
  std::vector<char> ok(photos.size(), 0);
  std::vector<engine::ImageStatus> statuses(photos.size());
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  auto work = [&] {
    try {
      for (size_t i = next++; i < photos.size(); i = next++) {
        ok[i] = engine::LoadPhotoIntoSlot(loaded[i], photos[i].slot, photos[i].path, files,
                                          &statuses[i]);
      }
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
    if (!ok[i]) {
      *status = statuses[i];
      return int(i);
    }
    slots[photos[i].slot] = std::move(loaded[i][photos[i].slot]);
  }
  return -1;
}

int Run(int argc, char** argv) {
  tools::RenderOptions options;
  std::string problem;
  if (!tools::ParseRenderOptions(argc, argv, &options, &problem)) return Usage(problem);
  if (options.help) {
    std::fputs(tools::kRenderUsage, stdout);
    return 0;
  }

  const imagefiles::ImageFiles files;
  engine::Card card;
  StartLikeTheWindow(card);
  if (!options.layoutPath.empty()) {
    imagefiles::LayoutStatus status = imagefiles::LayoutStatus::Ok;
    engine::ImageStatus read;
    if (!imagefiles::LoadLayoutFile(card, options.layoutPath, files, &status, &read)) {
      return Fail(options.layoutPath, imagefiles::LayoutFailureText(status, read));
    }
  } else {
    const int index = options.templateIndex;
    if (!engine::SelectBuiltInTemplate(card, index, files)) {
      return Fail("template " + std::to_string(index),
                  "the built-in template is missing from this build");
    }
  }

  // Every slot index is checked before any photo is read.
  for (const tools::PhotoOption& photo : options.photos) {
    if (int status = CheckSlot("--photo", photo.slot, card.slots)) return status;
  }
  for (const tools::PanOption& pan : options.pans) {
    if (int status = CheckSlot("--pan", pan.slot, card.slots)) return status;
  }
  for (const tools::ZoomOption& zoom : options.zooms) {
    if (int status = CheckSlot("--zoom", zoom.slot, card.slots)) return status;
  }
  // A card saved in full quality is rendered with each photo decoded while
  // its slot is drawn and never held whole (the same bytes, a fraction of
  // the memory); the draft and the slot list load the photos first.
  const bool streamed = !options.draft && !options.listSlots && !options.output.empty();
  std::vector<imagefiles::SlotPhotoFile> photoFiles;
  if (streamed) {
    for (const tools::PhotoOption& photo : options.photos) {
      photoFiles.push_back({photo.slot, photo.path});
      engine::PhotoSlot& slot = card.slots[photo.slot];
      slot.panX = slot.panY = 0.5f;  // as a loaded photo is shown
      slot.zoom = 1.0f;
    }
  } else {
    engine::ImageStatus status;
    const int failedPhoto = LoadPhotos(options.photos, files, card.slots, &status);
    if (failedPhoto >= 0) {
      return Fail(options.photos[size_t(failedPhoto)].path, imagefiles::ImageStatusText(status));
    }
  }
  for (const tools::PanOption& pan : options.pans) {
    card.slots[pan.slot].panX = pan.panX;
    card.slots[pan.slot].panY = pan.panY;
  }
  for (const tools::ZoomOption& zoom : options.zooms) card.slots[zoom.slot].zoom = zoom.zoom;

  if (options.listSlots) {
    for (size_t i = 0; i < card.slots.size(); ++i) {
      const engine::PhotoSlot& slot = card.slots[i];
      std::printf("slot %zu key 0x%06" PRIX32 " box %" PRId32 " %" PRId32 " %" PRId32 " %" PRId32
                  "\n",
                  i, slot.keyColour, slot.left, slot.top, slot.right, slot.bottom);
    }
    std::fflush(stdout);
  }
  if (options.output.empty()) return 0;

  const uint32_t width = options.width != 0 ? options.width : card.cardTemplate.width;
  const uint32_t height = options.height != 0 ? options.height : card.cardTemplate.height;

  imagefiles::CardFormat format = imagefiles::CardFormat::Jpeg;
  if (options.format == tools::RenderOptions::Format::Png ||
      (options.format == tools::RenderOptions::Format::FromName && EndsWithPng(options.output))) {
    format = imagefiles::CardFormat::Png;
  }
  // "-" is standard output, written as it comes, as for any pipe or terminal.
  const bool toStandardOutput = options.output == "-";
  const imagefiles::OutputTarget target =
      toStandardOutput ? imagefiles::OutputTarget::Descriptor(STDOUT_FILENO)
                       : imagefiles::OutputTarget(options.output);
  imagefiles::SaveResult saved;
  if (streamed) {
    const imagefiles::StreamedRenderResult result =
        imagefiles::RenderStreamedCard(card, photoFiles, width, height, target, format);
    if (result.failedPhoto >= 0) {
      return Fail(options.photos[size_t(result.failedPhoto)].path,
                  imagefiles::ImageStatusText(result.photoStatus));
    }
    saved = result.saved;
  } else {
    saved = imagefiles::RenderAndWriteCard(card, width, height, options.draft, target, format);
  }
  if (!saved) {
    return Fail(toStandardOutput ? std::string("standard output") : options.output,
                "cannot be written (" + saved.Message() + ")");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("tessary-render: out of memory\n", stderr);
    return kFailed;
  }
}
