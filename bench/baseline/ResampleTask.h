#pragma once

#include <cstdint>
#include <memory>

#include "engine/resample/GammaTables.h"
#include "baseline/HorizontalStage.h"
#include "baseline/VerticalStage.h"

namespace engine {
namespace baseline {

// The two stages of a linear-light resampling, set up for one geometry.
// Null from Make when the job needs no filtering (ScaleNearest copies it
// exactly) or its tables would not keep the reads inside the source.
class ResamplePipeline {
 public:
  static std::unique_ptr<ResamplePipeline> Make(const ToLinearTable& toLinear,
                                                const FromLinearTable& fromLinear, int32_t dstWidth,
                                                int32_t dstHeight, int32_t srcWidth,
                                                int32_t srcHeight, uint8_t* dstPixels,
                                                int32_t dstStride, const uint8_t* srcPixels,
                                                int32_t srcStride);

  // Up to `rows` more destination rows; true while rows remain.
  bool Produce(int32_t rows) { return vertical_.Produce(horizontal_, rows); }

  ResamplePipeline(HorizontalStage horizontal, VerticalStage vertical)
      : horizontal_(std::move(horizontal)), vertical_(std::move(vertical)) {}

 private:
  HorizontalStage horizontal_;
  VerticalStage vertical_;
};

// A gamma job (ResampleJob's Resample) done a band of destination rows at a
// time, for a caller that must not be blocked for the whole job. The result
// is the same bytes. The tables are the shared ones for the gamma; the pixel
// buffers must stay in place until the task is done or dropped.
class ResampleTask {
 public:
  ResampleTask(float gamma, int32_t dstWidth, int32_t dstHeight, int32_t srcWidth,
               int32_t srcHeight, uint8_t* dstPixels, int32_t dstStride, const uint8_t* srcPixels,
               int32_t srcStride);

  // Writes up to `rows` more destination rows (all of them when the job needs
  // no filtering). True while rows remain.
  bool Step(int32_t rows);
  bool Done() const { return done_; }

 private:
  std::shared_ptr<const GammaTablePair> tables_;
  std::unique_ptr<ResamplePipeline> pipeline_;
  int32_t dstWidth_, dstHeight_, srcWidth_, srcHeight_;
  uint8_t* dstPixels_;
  int32_t dstStride_;
  const uint8_t* srcPixels_;
  int32_t srcStride_;
  bool started_ = false;
  bool done_ = false;
};

}  // namespace baseline
}  // namespace engine
