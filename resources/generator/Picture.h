#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artwork {

// Straight-alpha RGBA, 8 bits per channel, rows top-down and packed: the
// layout the program's PNG resources are written in.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  Picture() = default;
  Picture(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 0) {}
  uint8_t* Pixel(int x, int y) { return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
  const uint8_t* Pixel(int x, int y) const {
    return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
  }
};

// Owns a cairo image surface and its context for the length of one drawing.
class CairoCanvas {
 public:
  CairoCanvas(int width, int height);
  ~CairoCanvas();
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  // Cairo keeps premultiplied native-endian words; these convert both ways.
  Picture ToPicture() const;
  void Load(const Picture& picture);

 private:
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

// Exact Euclidean distance (in pixels) from every pixel to the nearest pixel
// whose flag is set; a large value when there is none.
std::vector<float> DistanceToSet(const std::vector<uint8_t>& flags, int width, int height);

// Small deterministic generator: std:: distributions differ between library
// versions, and the artwork must come out byte-identical everywhere.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }

 private:
  uint32_t state_;
};

// Integer hash noise in [0, 1) for pixel textures.
double HashUnit(uint32_t x, uint32_t y, uint32_t seed);

inline double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline uint8_t ToByte(double v) { return uint8_t(Clamp01(v) * 255.0 + 0.5); }

}  // namespace artwork
