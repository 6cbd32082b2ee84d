// Draws every built-in picture of the program and writes them as PNG files
// into the resources folder, where they are committed and embedded.
//
//   tessary-artwork [resources-folder] [--preview folder]
//   tessary-artwork --examples folder [--photos folder]
//
// With --preview it also writes, for a look at the artwork, each template as
// the card would show it: sample photos in the regions, white elsewhere and
// the overlay on top. With --examples it writes only the source pictures of
// the example layouts (and, with --photos, stand-in photos for their cards).

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>
#include <utility>

#include "resources/generator/Examples.h"
#include "resources/generator/Icons.h"
#include "resources/generator/Overlays.h"
#include "resources/generator/PngFile.h"
#include "resources/generator/RegionMaps.h"
#include "resources/generator/Tile.h"

#ifndef TESSARY_RESOURCES_DIR
#define TESSARY_RESOURCES_DIR "resources"
#endif

namespace {

using artwork::Picture;

void MakeFolder(const std::string& path) { ::mkdir(path.c_str(), 0755); }

// A stand-in photo per region: a smooth two-colour gradient with stripes.
void PhotoColour(int region, int x, int y, uint8_t out[3]) {
  static const int palettes[5][6] = {{250, 180, 120, 120, 60, 140},
                                     {120, 200, 240, 30, 80, 160},
                                     {160, 220, 120, 40, 110, 60},
                                     {240, 220, 160, 150, 90, 60},
                                     {220, 140, 200, 80, 40, 120}};
  const int* p = palettes[region % 5];
  const double t = std::fmod((x * 0.6 + y) / 300.0, 1.0);
  const double stripe = ((x / 24 + y / 24) % 2) ? 1.0 : 0.9;
  for (int c = 0; c < 3; ++c) out[c] = uint8_t((p[c] + (p[c + 3] - p[c]) * t) * stripe);
}

// The card as the program composes it: photo masked by the region map's
// alpha toward white, then the overlay blended with alpha + 1 weights.
Picture Composite(int index, const Picture& map, const Picture& overlay) {
  const std::vector<artwork::RegionSpec> regions = artwork::TemplateRegions(index);
  Picture card(map.width, map.height);
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width; ++x) {
      uint8_t* d = card.Pixel(x, y);
      d[0] = d[1] = d[2] = 255;
      d[3] = 255;
      const uint8_t* m = map.Pixel(x, y);
      if (m[3] != 0) {
        const uint32_t key =
            (uint32_t(m[2] & 0xF8) << 16) | (uint32_t(m[1] & 0xF8) << 8) | uint32_t(m[0] & 0xF8);
        for (size_t i = 0; i < regions.size(); ++i) {
          if (regions[i].key != key) continue;
          uint8_t s[3];
          PhotoColour(int(i), x, y, s);
          for (int c = 0; c < 3; ++c) d[c] = uint8_t(((s[c] * (m[3] + 1)) >> 8) + (255 - m[3]));
        }
      }
      const uint8_t* o = overlay.Pixel(x, y);
      if (o[3] == 0) continue;
      for (int c = 0; c < 3; ++c) d[c] = uint8_t((o[c] * (o[3] + 1) + d[c] * (255 - o[3])) >> 8);
    }
  }
  return card;
}

// "201-template0-regions.png", "212-birthday-overlay.png",
// "301-frost-print-regions.png": the resource number, then what it is.
// Screen versions of the first three designs are 201..206, of the others
// 211 on; print versions are 301 + 2 x design and the number after it.
std::string DesignFileName(int index, bool print, bool overlay) {
  int id = print ? 301 + 2 * index : (index < 3 ? 201 + 2 * index : 211 + 2 * (index - 3));
  if (overlay) ++id;
  std::string name;
  if (index < 3 && !print) {
    name = "template" + std::to_string(index);
  } else {
    for (const char* c = artwork::Design(index).name; *c; ++c)
      name += *c == ' ' ? '-' : char(std::tolower(static_cast<unsigned char>(*c)));
    if (print) name += "-print";
  }
  return std::to_string(id) + "-" + name + (overlay ? "-overlay.png" : "-regions.png");
}

}  // namespace

int main(int argc, char** argv) {
  std::string root = TESSARY_RESOURCES_DIR;
  std::string preview;
  std::string examples;
  std::string photos;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--preview" && i + 1 < argc) {
      preview = argv[++i];
    } else if (arg == "--examples" && i + 1 < argc) {
      examples = argv[++i];
    } else if (arg == "--photos" && i + 1 < argc) {
      photos = argv[++i];
    } else if (!arg.empty() && arg[0] != '-') {
      root = arg;
    } else {
      std::fprintf(stderr,
                   "usage: %s [resources-folder] [--preview folder]\n"
                   "       %s --examples folder [--photos folder]\n",
                   argv[0], argv[0]);
      return 2;
    }
  }
  if (!examples.empty() || !photos.empty()) {
    try {
      if (!examples.empty()) artwork::WriteExampleLayouts(examples);
      if (!photos.empty()) artwork::WriteExamplePhotos(photos);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tessary-artwork: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  try {
    MakeFolder(root + "/templates");
    MakeFolder(root + "/icons");
    if (!preview.empty()) MakeFolder(preview);
    for (int t = 0; t < artwork::DesignCount(); ++t) {
      const Picture map = artwork::MakeRegionMap(t);
      artwork::VerifyRegionMap(t, map);
      const Picture overlay = artwork::MakeOverlay(t, map);
      const std::string stem = root + "/templates/";
      artwork::WritePng(stem + DesignFileName(t, false, false), map);
      artwork::WritePng(stem + DesignFileName(t, false, true), overlay);
      if (!preview.empty()) {
        artwork::WritePng(preview + "/card" + std::to_string(t) + ".png",
                          Composite(t, map, overlay), true);
      }
      // The print version: the same shapes at twice the pixels.
      const Picture printMap = artwork::MakeRegionMap(t, 2);
      const Picture printOverlay = artwork::MakeOverlay(t, printMap, 2);
      artwork::VerifyScaledRegionMap(t, 2, printMap, printOverlay);
      artwork::WritePng(stem + DesignFileName(t, true, false), printMap);
      artwork::WritePng(stem + DesignFileName(t, true, true), printOverlay);
      if (!preview.empty()) {
        artwork::WritePng(preview + "/card" + std::to_string(t) + "-print.png",
                          Composite(t, printMap, printOverlay), true);
      }
    }
    artwork::WritePng(root + "/templates/207-placeholder-tile.png", artwork::MakePlaceholderTile(),
                      true);
    // 64 and 128 are not embedded: the desktop's icon theme gets them
    // (data/CMakeLists.txt installs every size).
    for (int size : {256, 128, 64, 48, 32, 24, 16}) {
      artwork::WritePng(root + "/icons/128-window-" + std::to_string(size) + ".png",
                        artwork::MakeWindowIcon(size));
    }
    const std::pair<int, const char*> toolbar[] = {
        {203, "save"}, {204, "donate"}, {205, "help"}, {206, "template"}, {208, "undo"}, {209, "redo"},
        {210, "designs"}, {211, "text"}, {212, "print"}};
    for (const auto& [id, name] : toolbar) {
      artwork::WritePng(root + "/icons/" + std::to_string(id) + "-" + name + "-48.png",
                        artwork::MakeToolbarIcon(id));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessary-artwork: %s\n", e.what());
    return 1;
  }
  return 0;
}
