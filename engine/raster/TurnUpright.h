#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/raster/Raster.h"

namespace engine {

// Turns an Rgb24 photo stored as a camera recorded it upright, following
// the Exif orientation values: 1 upright, 2 mirrored left to right, 3 turned
// half round, 4 mirrored top to bottom, 5 mirrored along the main diagonal,
// 6 stored a quarter turn anticlockwise (shown turned clockwise), 7 mirrored
// along the other diagonal, 8 stored a quarter turn clockwise. Values 2 to
// 4 keep the size and are done in place; 5 to 8 swap width and height and
// need a second buffer for the duration of the turn. Any other value,
// or a raster that is not Rgb24, leaves the photo as it is.
//
// Throws std::bad_alloc, with `photo` unchanged, when the second buffer
// cannot be had.
void TurnUpright(Raster& photo, int orientation);

// Builds an Rgb24 photo upright while a decoder delivers its stored rows
// from the top, so that a turned photo costs no second full-size buffer:
// rows are decoded into a strip of a few dozen rows and turned into place
// from there. The decoder asks where to put the next rows, writes up to
// RowsWanted() of them RowStride() bytes apart (it may use the whole
// stride as working room, e.g. for four bytes a pixel before converting),
// and reports how many it wrote.
class UprightBuilder {
 public:
  static constexpr uint32_t kStripRows = 64;

  // `orientation` 2 to 8; `rowRoom` at least storedWidth x 3. Allocates the
  // upright picture and the strip; throws std::bad_alloc.
  UprightBuilder(uint32_t storedWidth, uint32_t storedHeight, int orientation, size_t rowRoom);

  uint8_t* NextRows() { return strip_.get() + size_t(stripRows_) * stride_; }
  uint32_t RowsWanted() const;
  size_t RowStride() const { return stride_; }
  // `count` (at most RowsWanted()) Rgb24 rows are at NextRows().
  void RowsDone(uint32_t count);
  bool Complete() const { return rowsDone_ == storedHeight_; }
  // The upright photo; the builder is spent.
  Raster Take();

 private:
  void Flush();

  uint32_t storedWidth_;
  uint32_t storedHeight_;
  int orientation_;
  size_t stride_;
  Raster upright_;
  std::unique_ptr<uint8_t[]> strip_;
  uint32_t stripRows_ = 0;  // rows waiting in the strip
  uint32_t rowsDone_ = 0;   // stored rows placed or waiting
};

}  // namespace engine
