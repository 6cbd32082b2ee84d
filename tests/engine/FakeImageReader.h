#pragma once

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/raster/ImageReader.h"

namespace enginetest {

// Files hold their own path as content; decoding looks the content up among
// registered pictures, so tests control exactly what "decodes".
class FakeImageReader : public engine::ImageReader {
 public:
  void AddPicture(const std::string& path, uint32_t w, uint32_t h, engine::PixelFormat format,
                  std::function<void(uint32_t x, uint32_t y, uint8_t* px)> paint) {
    pictures_[path] = Picture{w, h, format, std::move(paint)};
  }
  void AddUnreadable(const std::string& path) { unreadable_.push_back(path); }

  engine::ImageStatus ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                               engine::FileStamp* stamp = nullptr) const override {
    for (const auto& u : unreadable_) {
      if (u == path) return engine::ImageStatus::Unreadable(EACCES);
    }
    bytes->assign(path.begin(), path.end());
    if (stamp) *stamp = engine::FileStamp{bytes->size(), 0};
    return engine::ImageStatus();
  }

  bool Decode(const uint8_t* data, uint32_t size, bool withAlpha,
              engine::Raster* out) const override {
    auto it = pictures_.find(std::string(reinterpret_cast<const char*>(data), size));
    if (it == pictures_.end()) return false;
    const Picture& p = it->second;
    if ((p.format == engine::PixelFormat::Rgba32) != withAlpha) return false;
    engine::Raster r = engine::Raster::Allocate(p.w, p.h, p.format);
    const uint32_t bpp = engine::BytesPerPixel(p.format);
    for (uint32_t y = 0; y < p.h; ++y) {
      for (uint32_t x = 0; x < p.w; ++x) p.paint(x, y, r.Row(y) + size_t(x) * bpp);
    }
    *out = std::move(r);
    return true;
  }

  // Photos decode like Decode; a file registered as failing says why.
  engine::ImageStatus DecodePhoto(const uint8_t* data, uint32_t size,
                                  engine::Raster* out) const override {
    auto failing = failures_.find(std::string(reinterpret_cast<const char*>(data), size));
    if (failing != failures_.end()) return failing->second;
    if (Decode(data, size, false, out)) return engine::ImageStatus();
    return engine::ImageStatus::Failed(engine::ImageFailure::NotAPicture);
  }
  void AddFailure(const std::string& path, engine::ImageStatus status) { failures_[path] = status; }

 private:
  struct Picture {
    uint32_t w, h;
    engine::PixelFormat format;
    std::function<void(uint32_t, uint32_t, uint8_t*)> paint;
  };
  std::map<std::string, Picture> pictures_;
  std::vector<std::string> unreadable_;
  std::map<std::string, engine::ImageStatus> failures_;
};

// An Rgba32 region map built by painting rectangles of solid colour.
struct RegionMapBuilder {
  uint32_t width, height;
  std::vector<uint8_t> pixels;
  RegionMapBuilder(uint32_t w, uint32_t h) : width(w), height(h), pixels(size_t(w) * h * 4, 0) {}
  RegionMapBuilder& Fill(int l, int t, int r, int b, uint8_t R, uint8_t G, uint8_t B,
                         uint8_t A = 255) {
    for (int y = t; y < b; ++y) {
      for (int x = l; x < r; ++x) {
        uint8_t* p = &pixels[(size_t(y) * width + x) * 4];
        p[0] = R, p[1] = G, p[2] = B, p[3] = A;
      }
    }
    return *this;
  }
};

}  // namespace enginetest
