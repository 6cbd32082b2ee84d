#include "engine/resample/ResampleJob.h"

#include <utility>

#include "engine/resample/ResampleTask.h"
#include "engine/resample/ScaleNearest.h"

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
  std::unique_ptr<ResamplePipeline> pipeline;
  if (toLinear && fromLinear) {
    pipeline = ResamplePipeline::Make(*toLinear, *fromLinear, dstWidth, dstHeight, srcWidth,
                                      srcHeight, dstPixels, dstStride, srcPixels, srcStride);
  }
  if (!pipeline) {
    ScaleNearest();
    return;
  }
  pipeline->Produce(dstHeight);
}

void ResampleJob::ReleaseTables() {
  fromLinear.reset();
  toLinear.reset();
}

}  // namespace engine
