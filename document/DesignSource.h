#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace document {

// Where the card's design came from: one of the built-in designs, or a
// layout file. The pictures themselves are in the card's template; this is
// what finds them again.
struct DesignSource {
  int builtInIndex = -1;   // a built-in design's place in the catalogue; -1: none
  std::string layoutPath;  // a layout file's path as it was given
  uint64_t layoutHash = 0;  // of the layout file's bytes, as they were read
  // Those bytes, which a project carries so that it opens anywhere; null
  // when they are not at hand (the file changed while it was read).
  std::shared_ptr<const std::vector<uint8_t>> layoutFile;
  // The built-in design the Template command goes on from: this one, or the
  // last one chosen before a layout file.
  int cycleIndex = -1;
  // The layout's resolution as its layers record it (pixels per inch); 0:
  // none recorded.
  uint32_t layoutPpi = 0;

  bool IsBuiltIn() const { return builtInIndex >= 0; }
  bool IsLayout() const { return !layoutPath.empty(); }
  bool operator==(const DesignSource& o) const {
    return builtInIndex == o.builtInIndex && layoutPath == o.layoutPath &&
           layoutHash == o.layoutHash && cycleIndex == o.cycleIndex && layoutPpi == o.layoutPpi;
  }
  bool operator!=(const DesignSource& o) const { return !(*this == o); }
};

}  // namespace document
