#include "imagefiles/DecodeHeif.h"

#include <libheif/heif.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "imagefiles/OverWhite.h"

namespace imagefiles {

namespace {

using engine::ImageDetail;
using engine::ImageFailure;
using engine::ImageStatus;

// libheif's plugins are registered once per process, before the first file.
void InitialiseLibheif() {
  static const bool done = [] {
    heif_init(nullptr);
    return true;
  }();
  (void)done;
}

struct ContextFree {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleRelease {
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
  void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsFree {
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<heif_image, ImageRelease>;

ImageStatus StatusOf(const heif_error& error, uint32_t width = 0, uint32_t height = 0) {
  switch (error.code) {
    case heif_error_Ok:
      return ImageStatus();
    case heif_error_Memory_allocation_error:
      return ImageStatus::Failed(ImageFailure::OutOfMemory);
    case heif_error_Plugin_loading_error:
      return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::NotHevc);
    default:
      break;
  }
  switch (error.subcode) {
    case heif_suberror_End_of_data:
      return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::EndsEarly);
    case heif_suberror_Security_limit_exceeded:
      return ImageStatus::TooLarge(width, height);
    case heif_suberror_Unsupported_codec:
    case heif_suberror_No_av1C_box:
      return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::NotHevc);
    default:
      break;
  }
  if (error.code == heif_error_Unsupported_feature || error.code == heif_error_Unsupported_filetype) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
}

ImageStatus OpenPrimary(const uint8_t* data, uint32_t size, Context* context, Handle* primary) {
  InitialiseLibheif();
  context->reset(heif_context_alloc());
  if (!*context) return ImageStatus::Failed(ImageFailure::OutOfMemory);
  ImageStatus status =
      StatusOf(heif_context_read_from_memory_without_copy(context->get(), data, size, nullptr));
  if (!status) return status;
  heif_image_handle* handle = nullptr;
  status = StatusOf(heif_context_get_primary_image_handle(context->get(), &handle));
  if (!status) return status;
  primary->reset(handle);
  return ImageStatus();
}

// Tiles of a grid picture, as libheif decodes them.
struct ProgressTotal {
  engine::DecodeControl* control;
  int total;
};

void OnProgress(heif_progress_step, int done, void* user) {
  auto* progress = static_cast<ProgressTotal*>(user);
  if (progress->total > 0) progress->control->Progress(uint64_t(done < 0 ? 0 : done), uint64_t(progress->total));
}

void StartTotal(heif_progress_step, int total, void* user) {
  static_cast<ProgressTotal*>(user)->total = total;
}

// Decodes `handle` (the primary picture or a thumbnail) with its turn,
// mirror and crop, into Rgb24.
ImageStatus DecodeHandle(heif_image_handle* handle, engine::Raster* out,
                         engine::DecodeControl* control) {
  const int w = heif_image_handle_get_width(handle);
  const int h = heif_image_handle_get_height(handle);
  size_t bytes = 0;
  if (w <= 0 || h <= 0) return ImageStatus::Failed(ImageFailure::Damaged, ImageDetail::CorruptData);
  const uint32_t width = uint32_t(w), height = uint32_t(h);
  if (!engine::CheckedRasterSize(width, height, engine::PixelFormat::Rgba32, &bytes)) {
    return ImageStatus::TooLarge(width, height);
  }
  const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
  const bool premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle) != 0;

  std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
  if (!options) return ImageStatus::Failed(ImageFailure::OutOfMemory);
  options->ignore_transformations = 0;
  options->convert_hdr_to_8bit = 1;
  // HEVC only, with the same decoder on every system: AVIF decodes on
  // some builds of libheif and not on others.
  options->decoder_id = "libde265";
  ProgressTotal progress{control, 0};
  if (control != nullptr) {
    options->start_progress = StartTotal;
    options->on_progress = OnProgress;
    options->progress_user_data = &progress;
  }
  heif_image* decoded = nullptr;
  ImageStatus status = StatusOf(
      heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                        options.get()),
      width, height);
  Image image(decoded);
  if (control != nullptr && control->Cancelled()) return ImageStatus::Failed(ImageFailure::Cancelled);
  if (!status) return status;
  if (!image) return ImageStatus::Failed(ImageFailure::Damaged);
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (plane == nullptr || heif_image_get_width(image.get(), heif_channel_interleaved) != w ||
      heif_image_get_height(image.get(), heif_channel_interleaved) != h ||
      heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 ||
      stride < w * (alpha ? 4 : 3)) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  engine::Raster raster = engine::Raster::Allocate(width, height, engine::PixelFormat::Rgb24);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = plane + size_t(y) * size_t(stride);
    if (!alpha) {
      std::memcpy(raster.Row(y), row, raster.Stride());
    } else if (premultiplied) {
      PremultipliedRowOverWhite(row, raster.Row(y), width);
    } else {
      RowOverWhite(row, raster.Row(y), width);
    }
  }
  out->Swap(raster);
  return ImageStatus();
}

}  // namespace

ImageStatus DecodeHeif(const uint8_t* data, uint32_t size, DecodeMode mode, engine::Raster* out,
                       engine::DecodeControl* control) {
  if (mode == DecodeMode::Rgba) return ImageStatus::Failed(ImageFailure::Unsupported, ImageDetail::NotPng);
  Context context;
  Handle primary;
  const ImageStatus status = OpenPrimary(data, size, &context, &primary);
  if (!status) return status;
  return DecodeHandle(primary.get(), out, control);
}

ImageStatus DecodeHeifThumbnail(const uint8_t* data, uint32_t size, uint32_t longSide,
                                engine::Raster* out) {
  Context context;
  Handle primary;
  ImageStatus status = OpenPrimary(data, size, &context, &primary);
  if (!status) return status;
  heif_item_id id = 0;
  if (heif_image_handle_get_list_of_thumbnail_IDs(primary.get(), &id, 1) != 1) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  heif_image_handle* handle = nullptr;
  status = StatusOf(heif_image_handle_get_thumbnail(primary.get(), id, &handle));
  if (!status) return status;
  Handle thumbnail(handle);
  const int w = heif_image_handle_get_width(thumbnail.get());
  const int h = heif_image_handle_get_height(thumbnail.get());
  const int pw = heif_image_handle_get_width(primary.get());
  const int ph = heif_image_handle_get_height(primary.get());
  // Too small to be worth showing, or a thumbnail not turned as the
  // picture is.
  if (w <= 0 || h <= 0 || pw <= 0 || ph <= 0 || uint32_t(w > h ? w : h) < longSide ||
      std::fabs(double(w) / h - double(pw) / ph) > 0.05 * double(pw) / ph) {
    return ImageStatus::Failed(ImageFailure::Unsupported);
  }
  return DecodeHandle(thumbnail.get(), out, nullptr);
}

}  // namespace imagefiles
