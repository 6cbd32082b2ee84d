#include "resources/generator/Picture.h"

#include <cmath>
#include <stdexcept>

namespace artwork {

CairoCanvas::CairoCanvas(int width, int height) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cairo failed");
}

CairoCanvas::~CairoCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Picture CairoCanvas::ToPicture() const {
  cairo_surface_flush(surface_);
  const int w = cairo_image_surface_get_width(surface_);
  const int h = cairo_image_surface_get_height(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  Picture out(w, h);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
    uint8_t* dst = out.Pixel(0, y);
    for (size_t x = 0; x < size_t(w); ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint8_t* d = dst + x * 4;
      d[3] = uint8_t(a);
      if (a == 0) {
        d[0] = d[1] = d[2] = 0;
        continue;
      }
      const uint32_t c[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
      for (int i = 0; i < 3; ++i) {
        const uint32_t v = (c[i] * 255 + a / 2) / a;
        d[i] = uint8_t(v > 255 ? 255 : v);
      }
    }
  }
  return out;
}

void CairoCanvas::Load(const Picture& picture) {
  cairo_surface_flush(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  for (int y = 0; y < picture.height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
    const uint8_t* src = picture.Pixel(0, y);
    for (size_t x = 0; x < size_t(picture.width); ++x) {
      const uint8_t* s = src + x * 4;
      const uint32_t a = s[3];
      auto pm = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = (a << 24) | (pm(s[0]) << 16) | (pm(s[1]) << 8) | pm(s[2]);
    }
  }
  cairo_surface_mark_dirty(surface_);
}

namespace {

// One dimension of the lower-envelope squared distance transform
// (Felzenszwalb & Huttenlocher).
void Transform1D(const double* f, int n, double* d, std::vector<int>& v, std::vector<double>& z) {
  auto cross = [f](int q, int p) {
    return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / double(2 * q - 2 * p);
  };
  int k = 0;
  v[0] = 0;
  z[0] = -1e300;
  z[1] = 1e300;
  for (int q = 1; q < n; ++q) {
    double s = cross(q, v[size_t(k)]);
    while (s <= z[size_t(k)]) {
      --k;
      s = cross(q, v[size_t(k)]);
    }
    ++k;
    v[size_t(k)] = q;
    z[size_t(k)] = s;
    z[size_t(k) + 1] = 1e300;
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[size_t(k) + 1] < double(q)) ++k;
    const int p = v[size_t(k)];
    d[q] = double(q - p) * double(q - p) + f[p];
  }
}

}  // namespace

std::vector<float> DistanceToSet(const std::vector<uint8_t>& flags, int width, int height) {
  // Far enough to lose against any real distance, small enough that sums of
  // squares stay exact in a double.
  const double kFar = 1e12;
  std::vector<double> grid(size_t(width) * size_t(height));
  for (size_t i = 0; i < grid.size(); ++i) grid[i] = flags[i] ? 0.0 : kFar;
  const int n = width > height ? width : height;
  std::vector<double> f(static_cast<size_t>(n)), d(static_cast<size_t>(n)), z(size_t(n) + 1);
  std::vector<int> v(static_cast<size_t>(n));
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) f[size_t(y)] = grid[size_t(y) * size_t(width) + size_t(x)];
    Transform1D(f.data(), height, d.data(), v, z);
    for (int y = 0; y < height; ++y) grid[size_t(y) * size_t(width) + size_t(x)] = d[size_t(y)];
  }
  std::vector<float> out(grid.size());
  for (int y = 0; y < height; ++y) {
    const size_t base = size_t(y) * size_t(width);
    Transform1D(&grid[base], width, d.data(), v, z);
    for (int x = 0; x < width; ++x) out[base + size_t(x)] = float(std::sqrt(d[size_t(x)]));
  }
  return out;
}

double HashUnit(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return (h >> 8) * (1.0 / 16777216.0);
}

}  // namespace artwork
