#include "resources/BuiltInImages.h"

#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstring>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

// Decoded with libpng directly: these tests check the stored files
// themselves, independently of the program's own decoder.
struct Png {
  uint32_t width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
  size_t channels = 0;
  std::vector<uint8_t> pixels;  // rows packed, channels bytes per pixel
  const uint8_t* At(uint32_t x, uint32_t y) const {
    return &pixels[(size_t(y) * width + x) * channels];
  }
};

Png Decode(const resources::Blob& blob) {
  struct Reader {
    const uint8_t* data;
    size_t size, offset;
  } reader{blob.data, blob.size, 0};
  png_structp png = png_create_read_struct(
      PNG_LIBPNG_VER_STRING, nullptr,
      [](png_structp, png_const_charp message) { throw std::runtime_error(message); },
      [](png_structp, png_const_charp) {});
  png_infop info = png_create_info_struct(png);
  struct Guard {
    png_structp* png;
    png_infop* info;
    ~Guard() { png_destroy_read_struct(png, info, nullptr); }
  } guard{&png, &info};
  png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t length) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(p));
    if (length > r->size - r->offset) png_error(p, "read past the end");
    std::memcpy(out, r->data + r->offset, length);
    r->offset += length;
  });
  png_read_info(png, info);
  Png out;
  out.width = png_get_image_width(png, info);
  out.height = png_get_image_height(png, info);
  out.bitDepth = png_get_bit_depth(png, info);
  out.colourType = png_get_color_type(png, info);
  out.channels = png_get_channels(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  if (out.bitDepth != 8 || rowBytes != out.width * out.channels)
    throw std::runtime_error("not an 8-bit picture");
  out.pixels.resize(rowBytes * out.height);
  for (uint32_t y = 0; y < out.height; ++y) png_read_row(png, &out.pixels[y * rowBytes], nullptr);
  return out;
}

uint32_t KeyOf(const uint8_t* p) {
  return (uint32_t(p[2] & 0xF8) << 16) | (uint32_t(p[1] & 0xF8) << 8) | (p[0] & 0xF8);
}

struct Region {
  uint32_t key;
  std::array<int, 4> box;  // left, top, right, bottom
  bool operator==(const Region& o) const { return key == o.key && box == o.box; }
};

std::ostream& operator<<(std::ostream& os, const Region& r) {
  return os << std::hex << r.key << std::dec << " {" << r.box[0] << ", " << r.box[1] << ", "
            << r.box[2] << ", " << r.box[3] << "}";
}

// Regions in slot order: keys ascending, boxes over all pixels with alpha != 0.
std::vector<Region> Regions(const Png& map) {
  std::map<uint32_t, std::array<int, 4>> boxes;
  for (uint32_t y = 0; y < map.height; ++y) {
    for (uint32_t x = 0; x < map.width; ++x) {
      const uint8_t* p = map.At(x, y);
      if (p[3] == 0) continue;
      const int xi = int(x), yi = int(y);
      auto [it, fresh] = boxes.try_emplace(KeyOf(p), std::array<int, 4>{xi, yi, xi + 1, yi + 1});
      if (fresh) continue;
      std::array<int, 4>& b = it->second;
      b[0] = std::min(b[0], xi);
      b[1] = std::min(b[1], yi);
      b[2] = std::max(b[2], xi + 1);
      b[3] = std::max(b[3], yi + 1);
    }
  }
  std::vector<Region> out;
  for (const auto& [key, box] : boxes) out.push_back({key, box});
  return out;
}

const std::vector<Region> kTemplateRegions[3] = {
    {{0x0000F8, {458, 12, 888, 292}},
     {0x00F800, {12, 12, 442, 292}},
     {0xF80000, {12, 308, 442, 588}},
     {0xF800F8, {458, 308, 888, 588}},
     {0xF8F800, {322, 172, 578, 428}}},
    {{0x0000F8, {11, 10, 494, 290}},
     {0x00F800, {498, 9, 890, 299}},
     {0xF80000, {10, 295, 421, 593}},
     {0xF800F8, {426, 299, 891, 593}}},
    {{0x20C0D8, {241, 301, 647, 595}},
     {0x5000C0, {67, 38, 459, 564}},
     {0xD8C020, {429, 44, 810, 555}}},
};

TEST(BuiltInImages, EveryResourceIsThereWithItsSizeAndKind) {
  for (int id = 201; id <= 207; ++id) {
    SCOPED_TRACE(id);
    const Png png = Decode(resources::FindPngResource(id));
    const bool tile = id == 207;
    EXPECT_EQ(png.width, tile ? 157u : 900u);
    EXPECT_EQ(png.height, tile ? 157u : 600u);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.colourType, tile ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
  }
  const std::pair<int, int> icons[] = {{128, 256}, {128, 48}, {128, 32}, {128, 24}, {128, 16},
                                       {203, 48},  {204, 48}, {205, 48}, {206, 48}};
  for (const auto& [group, size] : icons) {
    SCOPED_TRACE(group * 1000 + size);
    const Png png = Decode(resources::FindIconResource(group, size));
    EXPECT_EQ(png.width, uint32_t(size));
    EXPECT_EQ(png.height, uint32_t(size));
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.colourType, PNG_COLOR_TYPE_RGB_ALPHA);
    // Icons are shapes on a transparent ground, with solid parts.
    size_t clear = 0, solid = 0;
    for (size_t i = 3; i < png.pixels.size(); i += 4) {
      clear += png.pixels[i] == 0;
      solid += png.pixels[i] == 255;
    }
    EXPECT_GT(clear, 0u);
    EXPECT_GT(solid, png.pixels.size() / 4 / 5);
  }
}

TEST(BuiltInImages, UnknownNumbersAndSizesFindNothing) {
  for (int id : {0, 128, 200, 208, -201}) EXPECT_EQ(resources::FindPngResource(id).data, nullptr);
  EXPECT_EQ(resources::FindIconResource(128, 64).data, nullptr);
  EXPECT_EQ(resources::FindIconResource(203, 32).data, nullptr);
  EXPECT_EQ(resources::FindIconResource(201, 48).data, nullptr);
  EXPECT_EQ(resources::FindIconResource(207, 48).size, 0u);
  // The icons and the template pictures of the same numbers are different.
  EXPECT_NE(resources::FindIconResource(203, 48).data, resources::FindPngResource(203).data);
}

TEST(BuiltInImages, RegionMapsHoldExactlyTheTemplateSlots) {
  for (int t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    const Png map = Decode(resources::FindPngResource(201 + 2 * t));
    EXPECT_EQ(Regions(map), kTemplateRegions[t]);
  }
}

TEST(BuiltInImages, SharpTemplatesUseThePureRegionColours) {
  const std::map<uint32_t, uint32_t> colours = {{0x0000F8, 0x0000FF}, {0x00F800, 0x00FF00},
                                                {0xF80000, 0xFF0000}, {0xF800F8, 0xFF00FF},
                                                {0xF8F800, 0xFFFF00}};
  for (int t = 0; t < 2; ++t) {
    const Png map = Decode(resources::FindPngResource(201 + 2 * t));
    size_t wrong = 0;
    for (uint32_t y = 0; y < map.height; ++y) {
      for (uint32_t x = 0; x < map.width; ++x) {
        const uint8_t* p = map.At(x, y);
        if (p[3] == 0) continue;
        const uint32_t word = p[0] | (p[1] << 8) | (p[2] << 16);
        auto it = colours.find(KeyOf(p));
        wrong += p[3] != 255 || it == colours.end() || it->second != word;
      }
    }
    EXPECT_EQ(wrong, 0u) << "template " << t;
  }
}

TEST(BuiltInImages, Template2HasSoftEdgesInTheRegionColoursAndAnOffColourPatch) {
  const Png map = Decode(resources::FindPngResource(205));
  size_t partial = 0, offColour = 0, foreign = 0;
  for (uint32_t y = 0; y < map.height; ++y) {
    for (uint32_t x = 0; x < map.width; ++x) {
      const uint8_t* p = map.At(x, y);
      if (p[3] == 0) continue;
      const uint32_t word = p[0] | (p[1] << 8) | (p[2] << 16);
      if (word == 0xD9C120 && p[3] == 255) {  // (32, 193, 217)
        ++offColour;
        continue;
      }
      // (219, 194, 36), (192, 0, 87), (33, 193, 217): alpha fades, RGB stays.
      if (word != 0x24C2DB && word != 0x5700C0 && word != 0xD9C121) ++foreign;
      if (p[3] < 255) ++partial;
    }
  }
  EXPECT_EQ(foreign, 0u);
  EXPECT_GT(partial, 1000u);
  EXPECT_GE(offColour, 1500u);
  EXPECT_LE(offColour, 2500u);
}

TEST(BuiltInImages, OverlaysCoverAllButTheInsideOfTheRegions) {
  for (int t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    const Png map = Decode(resources::FindPngResource(201 + 2 * t));
    const Png overlay = Decode(resources::FindPngResource(202 + 2 * t));
    size_t outsideNotOpaque = 0, regionPixels = 0, regionClear = 0, edgeNotOpaque = 0;
    for (uint32_t y = 0; y < map.height; ++y) {
      for (uint32_t x = 0; x < map.width; ++x) {
        const uint8_t mapAlpha = map.At(x, y)[3];
        const uint8_t overlayAlpha = overlay.At(x, y)[3];
        if (mapAlpha == 0) {
          outsideNotOpaque += overlayAlpha != 255;
          continue;
        }
        ++regionPixels;
        regionClear += overlayAlpha == 0;
        // Region pixels next to the background lie under the frame, so no
        // photo edge shows.
        const bool edge = x == 0 || y == 0 || x + 1 == map.width || y + 1 == map.height ||
                          map.At(x - 1, y)[3] == 0 || map.At(x + 1, y)[3] == 0 ||
                          map.At(x, y - 1)[3] == 0 || map.At(x, y + 1)[3] == 0;
        if (edge) edgeNotOpaque += overlayAlpha != 255;
      }
    }
    EXPECT_EQ(outsideNotOpaque, 0u);
    EXPECT_EQ(edgeNotOpaque, 0u);
    EXPECT_GT(regionClear, regionPixels * 3 / 4);
  }
}

TEST(BuiltInImages, PlaceholderTileIsMostlyItsGroundColourWithDarkBlueText) {
  const Png tile = Decode(resources::FindPngResource(207));
  const uint8_t* corner = tile.At(0, 0);
  EXPECT_EQ(corner[0], 192);
  EXPECT_EQ(corner[1], 176);
  EXPECT_EQ(corner[2], 160);
  size_t ground = 0, ink = 0;
  for (size_t i = 0; i < tile.pixels.size(); i += 3) {
    const uint8_t* p = &tile.pixels[i];
    ground += p[0] == 192 && p[1] == 176 && p[2] == 160;
    ink += p[0] < 90 && p[1] < 90 && p[2] > p[0] + 40;
  }
  const size_t total = tile.pixels.size() / 3;
  EXPECT_GT(ground, total * 3 / 4);
  EXPECT_GT(ink, 150u);
}

}  // namespace
