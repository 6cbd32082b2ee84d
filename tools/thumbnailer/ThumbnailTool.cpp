// tessary-thumbnailer: the picture a project carries of its card, for file
// managers (data/tessary.thumbnailer names it), scaled down to the size
// they ask for.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "document/ProjectFile.h"
#include "engine/compose/CardCompositor.h"
#include "imagefiles/CardWriter.h"
#include "imagefiles/ImageFiles.h"
#include "tools/common/ToolVoice.h"

namespace {

constexpr char kUsage[] =
    "usage: tessary-thumbnailer [-s SIZE] PROJECT OUT\n"
    "Writes the picture of the card that a Tessary project (.tessary) carries as a PNG\n"
    "file, no larger than SIZE pixels on its longer side (default: as carried, 256).\n"
    "Exit status: 0 success; 1 the project or OUT failed; 2 usage error.\n";

const tools::ToolVoice kVoice("tessary-thumbnailer", kUsage);

bool ParseSize(const char* text, uint32_t* size) {
  if (*text == '\0' || std::strlen(text) > 5) return false;
  uint32_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + uint32_t(*c - '0');
  }
  if (value == 0) return false;
  *size = value;
  return true;
}

int Run(int argc, char** argv) {
  uint32_t size = 0;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "-s") {
      if (i + 1 >= argc || !ParseSize(argv[++i], &size))
        return kVoice.Usage("-s takes a size in pixels");
      continue;
    }
    names.push_back(arg);
  }
  if (names.size() != 2) return kVoice.Usage("a project and an output file are needed");

  const imagefiles::ImageFiles files;
  engine::Raster picture;
  std::string reason;
  if (!document::ReadProjectThumbnail(names[0], files, &picture, &reason)) {
    return kVoice.Fail(names[0], reason);
  }
  // Smaller, never larger: the desktop scales up on its own if it must.
  uint32_t width = picture.width;
  uint32_t height = picture.height;
  const uint32_t longer = std::max(width, height);
  if (size != 0 && longer > size) {
    width = std::max<uint32_t>(1, uint32_t(uint64_t(width) * size / longer));
    height = std::max<uint32_t>(1, uint32_t(uint64_t(height) * size / longer));
  }
  const uint32_t stride = engine::CardImageStride(width);
  std::vector<uint8_t> scaled(size_t(stride) * height);
  engine::ScaleCardPicture(
      engine::RasterView{scaled.data(), int32_t(width), int32_t(height), int32_t(stride)},
      picture.pixels.get(), int32_t(picture.width), int32_t(picture.height),
      int32_t(picture.Stride()), false);
  const imagefiles::SaveResult saved = imagefiles::WriteCard(names[1], imagefiles::CardFormat::Png,
                                                             scaled.data(), width, height, stride);
  return saved ? 0 : kVoice.FailWrite(names[1], saved);
}

}  // namespace

int main(int argc, char** argv) { return kVoice.Main(Run, argc, argv); }
