#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text/TextBox.h"

namespace document {

// card.json, the heart of a project file, as plain records: what the file
// says, before any file it names is looked for.
//
//   {"format": "tessary-project", "version": "1.0", "generator": "Tessary 1.0",
//    "design": {"builtIn": 0, "name": "Frost"}
//           or {"layout": {"path": ABSOLUTE, "relativePath": "../x.jli",
//                          "hash": "0123456789abcdef", "entry": "layout.jli"}},
//    "templateCycle": 0,
//    "regions": [{"photo": {"path": ABSOLUTE, "relativePath": "photos/a.jpg",
//                           "size": 123456, "headHash": "...", "entry": "photos/0.jpg"},
//                 "panX": 0.5, "panY": 0.5, "zoom": 1, "turn": 0, "mirror": true}, ...],
//    "texts": [{"words": "Happy birthday", "left": 0.1, "top": 0.7, "width": 0.8,
//               "height": 0.2, "font": "Dancing Script", "size": 36,
//               "colour": "#b03060", "bold": true, "italic": true,
//               "align": "centre", "effect": "shadow"}, ...]  (only when there are words)
//    "autosaveOf": PROJECT}  (only in an autosave: the project it stands for)
//
// A text's "colour" is "#rrggbb", or "#rrggbbaa" when not opaque; "bold" and
// "italic" are written only when true; an "align" or "effect" this version
// does not know reads as centred and plain.
//
// Relative paths use "/" on every system. Hashes are 64-bit, as 16 hex
// digits. A reader of format M.n reads any M.x: fields it does not know are
// kept when it saves the project again; a newer M is refused.

constexpr int kProjectFormatMajor = 1;
constexpr int kProjectFormatMinor = 0;
constexpr char kProjectFormatName[] = "tessary-project";

// Limits that keep a hostile card.json small in memory and time.
constexpr size_t kMaxCardJsonBytes = size_t(4) << 20;
constexpr size_t kMaxJsonDepth = 32;
constexpr size_t kMaxRegions = 1024;
constexpr size_t kMaxPathBytes = 4096;
constexpr size_t kMaxTexts = 256;
constexpr size_t kMaxFontNameBytes = 256;

struct PhotoRecord {
  std::string path;          // absolute, when saved
  std::string relativePath;  // to the project's folder; empty: none
  uint64_t size = 0;
  uint64_t headHash = 0;
  std::string entry;  // the container's copy; empty: not carried
};

struct RegionRecord {
  bool hasPhoto = false;
  PhotoRecord photo;
  float panX = 0.5f;
  float panY = 0.5f;
  float zoom = 1.0f;
  // How the user turned the photo after its file's own orientation: quarter
  // turns clockwise (any whole number is read, modulo 4), then left and
  // right exchanged when `mirror` ("mirror" is written only when true).
  int turn = 0;
  bool mirror = false;
};

struct DesignRecord {
  int builtIn = -1;  // a built-in design's place in the catalogue, or -1
  std::string name;  // the built-in design's name, which wins over the place
  std::string layoutPath;
  std::string layoutRelativePath;
  uint64_t layoutHash = 0;
  std::string layoutEntry;  // the container's copy of the layout file
  int templateCycle = -1;

  bool IsLayout() const { return builtIn < 0; }
};

struct ProjectRecord {
  int major = kProjectFormatMajor;
  int minor = kProjectFormatMinor;
  DesignRecord design;
  std::vector<RegionRecord> regions;
  std::vector<text::TextBox> texts;
  std::string autosaveOf;
};

enum class CardJsonStatus {
  Ok,
  NotProject,    // not JSON, or not a project's card.json
  NewerVersion,  // a newer major format version
  Invalid,       // a field of the wrong type or out of range, or missing
};

// Reads card.json. On anything but Ok, `problem` says what, as a phrase
// that follows the project's name ("is damaged: the field regions[2].zoom
// is not a number", "was made by a newer version of Tessary (project format
// 2.0; this version reads format 1)"), and `*record` is unspecified.
CardJsonStatus ParseCardJson(const std::string& text, ProjectRecord* record, std::string* problem);

// Writes card.json for `record`. `kept` is the card.json the project was
// read from (or empty): every field this version does not know is kept, at
// the top and in each region whose photo is still the same file.
std::string MakeCardJson(const ProjectRecord& record, const std::string& kept);

// "#rrggbb" for an opaque 0xAARRGGBB colour, else "#rrggbbaa"; and back,
// reading "#rgb", "#rrggbb" and "#rrggbbaa" in either case.
std::string ColourText(uint32_t colour);
bool ParseColourText(const std::string& text, uint32_t* colour);

// 16 lower-case hex digits, and back; false for anything else.
std::string HashText(uint64_t hash);
bool ParseHashText(const std::string& text, uint64_t* hash);

}  // namespace document
