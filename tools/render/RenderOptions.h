#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/PdfPlacement.h"
#include "text/TextBox.h"

namespace tools {

struct PhotoOption {
  size_t slot;
  std::string path;
};

struct PanOption {
  size_t slot;
  float panX;
  float panY;
};

struct ZoomOption {
  size_t slot;
  float zoom;
};

struct TurnOption {
  size_t slot;
  int quarters;  // clockwise, 1 to 3
};

// A --text and the options after it. What is not given comes from the
// design's place for a greeting.
struct TextOption {
  text::TextBox box;
  bool placeGiven = false;  // --text-box
  bool fontGiven = false;
  bool sizeGiven = false;
  bool colourGiven = false;
  bool alignGiven = false;
  bool effectGiven = false;
};

// The command line of tessary-render, checked for form only: whether a slot
// exists is known once the template is loaded.
struct RenderOptions {
  int templateIndex = 0;
  std::string layoutPath;  // empty: a built-in template
  std::vector<PhotoOption> photos;
  std::vector<PanOption> pans;
  std::vector<ZoomOption> zooms;
  std::vector<TurnOption> turns;
  std::vector<size_t> mirrors;
  std::vector<TextOption> texts;
  uint32_t width = 0;  // 0: the template's own size
  uint32_t height = 0;
  bool draft = false;
  bool print = false;        // the design's print size instead of its own
  bool listDesigns = false;  // --designs: list the built-in designs and exit
  enum class Format { FromName, Jpeg, Png, Pdf } format = Format::FromName;
  imagefiles::PdfPageOptions page;  // --paper and --placement, for a PDF
  bool listSlots = false;
  bool help = false;
  std::string output;  // empty: only list the slots (or only save the project, or list the designs)
  std::string projectPath;      // a project to start from instead of a design
  std::string saveProjectPath;  // where to write the card as a project
  bool withPhotos = false;      // the project written carries its photos
};

extern const char kRenderUsage[];

// "name.PNG" ends in ".png": the extension, compared without case.
bool EndsWithExtension(const std::string& path, const char* dotExtension);

// False with `problem` set when the arguments are not a valid command line.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions* options,
                        std::string* problem);

}  // namespace tools
