#include "engine/ResampleJob.h"

#include <utility>

#include "engine/AxisWeights.h"
#include "engine/HorizontalStage.h"
#include "engine/ResampleKernels.h"
#include "engine/ScaleNearest.h"
#include "engine/SimdLevel.h"
#include "engine/VerticalStage.h"

namespace engine {

ResampleJob::ResampleJob(int32_t dstWidth_, int32_t dstHeight_, int32_t srcWidth_,
                         int32_t srcHeight_, uint8_t* dstPixels_, int32_t dstStride_,
                         const uint8_t* srcPixels_, int32_t srcStride_)
    : dstWidth(dstWidth_),
      dstHeight(dstHeight_),
      dstStride(dstStride_),
      srcWidth(srcWidth_),
      srcHeight(srcHeight_),
      srcStride(srcStride_),
      dstPixels(dstPixels_),
      srcPixels(srcPixels_) {}

ResampleJob::ResampleJob(float gamma, int32_t dstWidth_, int32_t dstHeight_, int32_t srcWidth_,
                         int32_t srcHeight_, uint8_t* dstPixels_, int32_t dstStride_,
                         const uint8_t* srcPixels_, int32_t srcStride_)
    : ResampleJob(dstWidth_, dstHeight_, srcWidth_, srcHeight_, dstPixels_, dstStride_, srcPixels_,
                  srcStride_) {
  // The job owns copies it may change; the shared pair is built once per gamma.
  const std::shared_ptr<const GammaTablePair> tables = SharedGammaTables(gamma);
  fromLinear = std::make_unique<FromLinearTable>(tables->fromLinear);
  toLinear = std::make_unique<ToLinearTable>(tables->toLinear);
}

void ResampleJob::ScaleNearest() {
  engine::ScaleNearest(dstPixels, dstWidth, dstHeight, dstStride, srcPixels, srcWidth, srcHeight,
                       srcStride);
}

void ResampleJob::Resample() {
  if (dstWidth <= 0 || dstHeight <= 0) return;
  const bool filtered = NeedsFiltering(ChooseAxisMode(srcWidth, dstWidth)) ||
                        NeedsFiltering(ChooseAxisMode(srcHeight, dstHeight));
  if (!filtered || srcWidth <= 0 || srcHeight <= 0 || !toLinear || !fromLinear) {
    ScaleNearest();
    return;
  }
  AxisWeights horizontal = AxisWeights::Build(srcWidth, dstWidth);
  // A square job reuses the horizontal table; sharing it is what the tables'
  // shared ownership is for.
  AxisWeights vertical = srcHeight == srcWidth && dstHeight == dstWidth
                             ? horizontal
                             : AxisWeights::Build(srcHeight, dstHeight);
  // The table arithmetic keeps every read inside the source for every valid
  // geometry; checking that once here lets the pixel loops run unguarded.
  if (!horizontal.Fits(srcWidth, dstWidth) || !vertical.Fits(srcHeight, dstHeight)) {
    ScaleNearest();
    return;
  }
  const ResampleKernels& kernels = KernelsFor(ActiveSimdLevel());
  HorizontalStage rows(std::move(horizontal), *toLinear, srcPixels, srcStride, srcWidth, dstWidth,
                       kernels);
  VerticalStage(std::move(vertical), *fromLinear, dstPixels, dstStride, dstWidth, dstHeight,
                kernels)
      .Run(rows);
}

void ResampleJob::ReleaseTables() {
  fromLinear.reset();
  toLinear.reset();
}

}  // namespace engine
