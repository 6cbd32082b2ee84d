#pragma once

#include <cstdint>

namespace engine {

// Source rows handed to the resampler one at a time, top to bottom, instead
// of read from a picture in memory: a photo decoded as it is resampled.
class RowSource {
 public:
  virtual ~RowSource() = default;
  // The next row, at least as many pixels as the job's source width; valid
  // until the next call. Never null: a source that fails hands out rows all
  // the same and says so to whoever drives it.
  virtual const uint8_t* NextRow() = 0;
};

}  // namespace engine
