// tessary-layout: packs a region map and an overlay into a custom layout
// file the program accepts, refusing anything it would refuse, and warns
// about layouts that load but make a poor card.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/card/RegionLimits.h"
#include "engine/raster/Raster.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/ImageFiles.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/LayoutFileWriter.h"
#include "imagefiles/PngDensity.h"
#include "imagefiles/ReadPictureFile.h"
#include "imagefiles/SafeOutputFile.h"
#include "tools/common/ToolVoice.h"
#include "tools/layout/LayoutCheck.h"

namespace {

// A picture given in the wrong place can make hundreds of regions; the first
// warnings tell the story.
constexpr size_t kWarningsShown = 20;

const char kUsageText[] =
    "usage: tessary-layout [--strict] [--ppi N] REGIONS.png OVERLAY.png -o FILE.jli\n"
    "Packs a region map (each photo region painted in a solid colour of its own on a\n"
    "transparent background) and an overlay of the same size into a custom layout file.\n"
    "Warns, naming the region's colour and place, when a region reaches all four edges\n"
    "(an opaque background), is smaller than 8 x 8 pixels, or lies entirely under opaque\n"
    "overlay (alpha 128 or more), when there are more than 16 regions, or none.\n"
    "Refuses a region map of more than 64 regions, or whose regions' bounding boxes\n"
    "together cover it more than 4 times over: the program would not load it.\n"
    "  --strict   write nothing when there is a warning\n"
    "  --ppi N    the card's resolution in pixels per inch (1 to 10000), written into\n"
    "             both layers' pHYs chunks: a 1800 x 1200 layout at 300 ppi is a 6 x 4 in\n"
    "             card, saved for print at that size. Without it the layers keep what\n"
    "             they record; a layout that records nothing counts as 100 ppi\n"
    "Exit status: 0 written (perhaps with warnings); 1 an input would not load as a layout\n"
    "layer, the output cannot be written, or --strict found warnings (nothing is written\n"
    "then); 2 usage error.\n";

const tools::ToolVoice kVoice("tessary-layout", kUsageText);

struct Layer {
  std::string path;
  std::vector<uint8_t> png;
  engine::Raster picture;
};

// Empty when the layer is one the program would decode.
std::string LoadLayer(Layer& layer) {
  const engine::ImageStatus read = imagefiles::ReadPictureFile(layer.path, &layer.png);
  if (!read) return imagefiles::ImageStatusText(read);
  static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (layer.png.size() >= 2 && layer.png[0] == 0xFF && layer.png[1] == 0xD8) {
    return "is a JPEG picture; layout layers must be PNG";
  }
  if (layer.png.size() < 8 || std::memcmp(layer.png.data(), kPngSignature, 8) != 0) {
    return "is not a PNG picture";
  }
  if (layer.png.size() > UINT32_MAX ||
      !imagefiles::DecodeImage(layer.png.data(), uint32_t(layer.png.size()), true,
                               &layer.picture)) {
    return "is a PNG the program cannot decode (damaged, or too large)";
  }
  return std::string();
}

int Run(int argc, char** argv) {
  std::vector<std::string> inputs;
  std::string output;
  bool strict = false;
  uint32_t ppi = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsageText, stdout);
      return 0;
    }
    if (arg == "--strict") {
      strict = true;
    } else if (arg == "--ppi") {
      if (i + 1 >= argc) return kVoice.Usage("--ppi needs a number");
      const std::string value = argv[++i];
      char* end = nullptr;
      const unsigned long n = std::strtoul(value.c_str(), &end, 10);
      if (value.empty() || value[0] < '0' || value[0] > '9' || *end != '\0' || n == 0 || n > 10000)
        return kVoice.Usage("--ppi takes a whole number from 1 to 10000, such as 300");
      ppi = uint32_t(n);
    } else if (arg == "-o") {
      if (i + 1 >= argc) return kVoice.Usage("-o needs a file name");
      if (!output.empty()) return kVoice.Usage("-o given twice");
      output = argv[++i];
      if (output.empty()) return kVoice.Usage("-o needs a file name");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return kVoice.Usage("unknown option " + arg);
    } else {
      inputs.push_back(arg);
    }
  }
  if (inputs.size() != 2) return kVoice.Usage("expected two input PNG files");
  if (output.empty()) return kVoice.Usage("no output file (-o FILE.jli)");

  Layer regions{inputs[0], {}, {}};
  Layer overlay{inputs[1], {}, {}};
  std::string problem = LoadLayer(regions);
  if (!problem.empty()) return kVoice.Fail(regions.path, problem);
  problem = LoadLayer(overlay);
  if (!problem.empty()) return kVoice.Fail(overlay.path, problem);
  if (regions.picture.width != overlay.picture.width ||
      regions.picture.height != overlay.picture.height) {
    return kVoice.Fail(overlay.path, "is " + std::to_string(overlay.picture.width) + "x" +
                                         std::to_string(overlay.picture.height) + " but " +
                                         regions.path + " is " +
                                         std::to_string(regions.picture.width) + "x" +
                                         std::to_string(regions.picture.height) +
                                         "; both layers must have the same size");
  }

  const std::vector<tools::LayoutWarning> warnings =
      tools::CheckLayout(regions.picture, overlay.picture);
  for (size_t i = 0; i < warnings.size() && i < kWarningsShown; ++i) {
    const std::string& file = warnings[i].aboutOverlay ? overlay.path : regions.path;
    kVoice.Warn(file + ": " + warnings[i].text);
  }
  if (warnings.size() > kWarningsShown)
    kVoice.Warn(std::to_string(warnings.size() - kWarningsShown) + " more warnings not shown");
  // What the program refuses to load, this refuses to write, saying why.
  engine::RegionCost cost;
  switch (engine::CheckRegionCost(regions.picture.width, regions.picture.height,
                                  regions.picture.pixels.get(), &cost)) {
    case engine::RegionVerdict::TooManyRegions:
      return kVoice.Fail(
          regions.path,
          std::to_string(cost.regions) + " regions, more than the " +
              std::to_string(engine::kMaxRegions) +
              " a card can have; each colour is a region (colours that differ only in "
              "the low 3 bits of each channel count as one). Not written");
    case engine::RegionVerdict::BoxesTooLarge:
      return kVoice.Fail(
          regions.path,
          "the regions' bounding boxes together cover the map " +
              std::to_string(cost.boxPixels / cost.cardPixels) + " times over, more than " +
              std::to_string(engine::kMaxBoxCover) +
              ": every drawing of the card costs that many times its pixels. Make the "
              "regions that span the map fewer or smaller. Not written");
    case engine::RegionVerdict::Ok:
      break;
  }
  if (strict && !warnings.empty()) {
    return kVoice.Fail(output, "not written: " + std::to_string(warnings.size()) +
                                   (warnings.size() == 1 ? " warning" : " warnings") +
                                   " and --strict");
  }
  regions.picture.Reset();
  overlay.picture.Reset();
  if (ppi != 0) {
    for (Layer* layer : {&regions, &overlay}) {
      std::vector<uint8_t> stamped;
      if (!imagefiles::SetPngPpi(layer->png.data(), uint32_t(layer->png.size()), ppi, &stamped))
        return kVoice.Fail(layer->path, "its PNG chunks cannot be walked to set the resolution");
      layer->png = std::move(stamped);
    }
  }

  std::vector<uint8_t> file;
  if (!imagefiles::PackLayoutFile(regions.png.data(), regions.png.size(), overlay.png.data(),
                                  overlay.png.size(), &file)) {
    return kVoice.Fail(output, "the layers are too large for a layout file");
  }
  // The final word is the program's own reader on the very bytes to be written.
  imagefiles::LayoutLayers check;
  const imagefiles::LayoutStatus status =
      imagefiles::ReadLayoutLayers(file.data(), file.size(), imagefiles::ImageFiles(), &check);
  if (status != imagefiles::LayoutStatus::Ok) {
    return kVoice.Fail(output,
                       std::string("would not load: it ") + imagefiles::LayoutStatusText(status));
  }

  imagefiles::SafeOutputFile out;
  imagefiles::SaveResult saved = out.Open(output);
  if (saved) {
    out.Write(file.data(), file.size());
    saved = out.Commit();  // the first failure, a write's included
  }
  if (!saved) return kVoice.FailWrite(output, saved);
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return kVoice.Main(Run, argc, argv); }
