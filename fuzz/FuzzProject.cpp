// A project file opened as the window opens one: the container, card.json,
// the design (a layout carried inside), the photos carried inside; then what
// was read written as card.json again, which must read back, and the card
// rendered in draft.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "document/ProjectFile.h"
#include "document/ProjectFormat.h"
#include "engine/compose/CardCompositor.h"

namespace {

// The project lives in an empty folder of its own, so that looking for
// photos under its folder finds nothing and costs nothing; any other path
// the input names is looked at (is there a file?) but read from the input.
const std::string& ProjectPath() {
  static const std::string path = [] {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tessary-fuzz-project-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return (folder / "card.tessary").string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The project itself is read from its file, not through the reader.
  FILE* file = std::fopen(ProjectPath().c_str(), "wb");
  if (file == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written) return 0;
  const fuzzing::InputReader reader(data, size);
  document::CardState state;
  document::ProjectMemory memory;
  const document::ProjectOpening opening =
      document::ReadProject(ProjectPath(), reader, &state, &memory);
  std::remove(ProjectPath().c_str());
  if (!opening.Ok()) return 0;

  // What was read, written again, reads again.
  document::ProjectRecord record;
  std::string problem;
  if (document::ParseCardJson(memory.cardJson, &record, &problem) != document::CardJsonStatus::Ok)
    std::abort();
  const std::string again = document::MakeCardJson(record, memory.cardJson);
  if (document::ParseCardJson(again, &record, &problem) != document::CardJsonStatus::Ok) std::abort();

  const engine::CardTemplate& t = state.card.cardTemplate;
  if (uint64_t(t.width) * t.height > fuzzing::kMaxTemplatePixels) return 0;
  for (const engine::PhotoSlot& slot : state.card.slots)
    if (uint64_t(slot.photoWidth) * slot.photoHeight > fuzzing::kMaxPhotoPixels) return 0;
  const int32_t stride = int32_t(engine::CardImageStride(t.width));
  std::vector<uint8_t> pixels(size_t(stride) * t.height);
  engine::RenderCard(state.card, int32_t(t.width), int32_t(t.height), pixels.data(), stride, true);
  return 0;
}
