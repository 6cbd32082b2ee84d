#include "baseline/ResampleTask.h"

#include <utility>

#include "baseline/AxisWeights.h"
#include "baseline/ResampleKernels.h"
#include "engine/resample/ScaleNearest.h"
#include "engine/resample/SimdLevel.h"

namespace engine {
namespace baseline {

std::unique_ptr<ResamplePipeline> ResamplePipeline::Make(
    const ToLinearTable& toLinear, const FromLinearTable& fromLinear, int32_t dstWidth,
    int32_t dstHeight, int32_t srcWidth, int32_t srcHeight, uint8_t* dstPixels, int32_t dstStride,
    const uint8_t* srcPixels, int32_t srcStride) {
  const bool filtered = NeedsFiltering(ChooseAxisMode(srcWidth, dstWidth)) ||
                        NeedsFiltering(ChooseAxisMode(srcHeight, dstHeight));
  if (!filtered || srcWidth <= 0 || srcHeight <= 0) return nullptr;
  AxisWeights horizontal = AxisWeights::Build(srcWidth, dstWidth);
  // A square job reuses the horizontal table; sharing it is what the tables'
  // shared ownership is for.
  AxisWeights vertical = srcHeight == srcWidth && dstHeight == dstWidth
                             ? horizontal
                             : AxisWeights::Build(srcHeight, dstHeight);
  // The table arithmetic keeps every read inside the source for every valid
  // geometry; checking that once here lets the pixel loops run unguarded.
  if (!horizontal.Fits(srcWidth, dstWidth) || !vertical.Fits(srcHeight, dstHeight)) {
    return nullptr;
  }
  const SimdLevel level = ActiveSimdLevel();
  const ResampleKernels& kernels = KernelsFor(level);
  return std::make_unique<ResamplePipeline>(
      HorizontalStage(std::move(horizontal), toLinear, srcPixels, srcStride, srcWidth, dstWidth,
                      kernels, level),
      VerticalStage(std::move(vertical), fromLinear, dstPixels, dstStride, dstWidth, dstHeight,
                    kernels));
}

ResampleTask::ResampleTask(float gamma, int32_t dstWidth, int32_t dstHeight, int32_t srcWidth,
                           int32_t srcHeight, uint8_t* dstPixels, int32_t dstStride,
                           const uint8_t* srcPixels, int32_t srcStride)
    : tables_(SharedGammaTables(gamma)),
      dstWidth_(dstWidth),
      dstHeight_(dstHeight),
      srcWidth_(srcWidth),
      srcHeight_(srcHeight),
      dstPixels_(dstPixels),
      dstStride_(dstStride),
      srcPixels_(srcPixels),
      srcStride_(srcStride) {
  done_ = dstWidth <= 0 || dstHeight <= 0;
}

bool ResampleTask::Step(int32_t rows) {
  if (done_) return false;
  if (!started_) {
    started_ = true;
    pipeline_ = ResamplePipeline::Make(tables_->toLinear, tables_->fromLinear, dstWidth_,
                                       dstHeight_, srcWidth_, srcHeight_, dstPixels_, dstStride_,
                                       srcPixels_, srcStride_);
    if (!pipeline_) {
      ScaleNearest(dstPixels_, dstWidth_, dstHeight_, dstStride_, srcPixels_, srcWidth_, srcHeight_,
                   srcStride_);
      done_ = true;
      return false;
    }
  }
  done_ = !pipeline_->Produce(rows < 1 ? 1 : rows);
  if (done_) pipeline_.reset();
  return !done_;
}

}  // namespace baseline
}  // namespace engine
