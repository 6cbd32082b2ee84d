#pragma once

#include <string>
#include <vector>

namespace text {

// One face inside a font file (a collection holds several).
struct FontFile {
  std::string path;  // UTF-8
  int index = 0;
  bool Empty() const { return path.empty(); }
};

// The files of a family's four styles; any but the regular one may be
// missing, and is then made from another by slanting or emboldening.
struct FamilyFaces {
  FontFile regular;
  FontFile bold;
  FontFile italic;
  FontFile boldItalic;
};

// The family every missing one falls back to, and the one that fills in
// characters a chosen family lacks.
constexpr char kFallbackFamily[] = "DejaVu Sans";

// The families that ship with the program, in the order they are offered.
std::vector<std::string> BundledFamilies();

// The folder the bundled fonts are in: beside the executable (the Windows
// program), in ../share/tessary/fonts (an installation) or ../fonts (a
// build tree); empty when none of them holds them.
std::string BundledFontFolder();

// The faces of `family`: a bundled family from the bundled folder, else the
// system's. False when neither has it.
bool FindFamily(const std::string& family, FamilyFaces* faces);

}  // namespace text
