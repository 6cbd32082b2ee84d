#pragma once

#include <cstdint>

namespace imagefiles {

// How a card file is written: the resolution it records and, for JPEG, its
// quality. The default is the screen card's, as every card was written
// before print sizes: 100 dpi in the JFIF header, no pHYs chunk in a PNG,
// quality 80 with the chroma halved both ways (4:2:0).
struct CardEncoding {
  uint16_t dotsPerInch = 100;
  bool pngDensity = false;      // a PNG gets a pHYs chunk with dotsPerInch
  int jpegQuality = 80;
  bool jpegFullChroma = false;  // JPEG chroma at full resolution (4:4:4)

  // A card for print at `ppi`: thin lines and small colour detail stay
  // sharp (quality 92, no chroma subsampling), and both formats record the
  // resolution.
  static CardEncoding Print(uint16_t ppi) { return CardEncoding{ppi, true, 92, true}; }

  bool operator==(const CardEncoding& o) const {
    return dotsPerInch == o.dotsPerInch && pngDensity == o.pngDensity &&
           jpegQuality == o.jpegQuality && jpegFullChroma == o.jpegFullChroma;
  }
  bool operator!=(const CardEncoding& o) const { return !(*this == o); }
};

}  // namespace imagefiles
