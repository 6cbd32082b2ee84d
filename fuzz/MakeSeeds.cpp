// tessary-fuzz-seeds OUT: writes the fuzz targets' starting corpora into
// OUT/png, OUT/jpeg, OUT/layout, OUT/project, OUT/cardjson, OUT/photo,
// OUT/exif and OUT/text: every PNG and JPEG kind the tests build, photos
// tagged to be turned, decompression bombs and other hostile files the tests
// know, layout files both sound and damaged, projects and their descriptions,
// and Exif blocks. scripts/fuzz.sh runs it.

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/RawZip.h"
#include "imagefiles/TestImages.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void Write(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

struct Named {
  std::string name;
  Bytes bytes;
};

// The same PNG claiming another size in its IHDR, with the CRC made right
// again so that the claim reaches the decoder's checks.
Bytes Resized(Bytes png, uint32_t width, uint32_t height) {
  testimages::PutBigEndian32(png.data() + 16, width);
  testimages::PutBigEndian32(png.data() + 20, height);
  testimages::PutBigEndian32(png.data() + 29, uint32_t(crc32(0, png.data() + 12, 17)));
  return png;
}

std::vector<Named> PngSeeds() {
  struct Kind {
    const char* name;
    int colourType;
    int bitDepth;
    bool trns;
  };
  const Kind kinds[] = {
      {"grey1", PNG_COLOR_TYPE_GRAY, 1, false},        {"grey2", PNG_COLOR_TYPE_GRAY, 2, false},
      {"grey4", PNG_COLOR_TYPE_GRAY, 4, false},        {"grey8", PNG_COLOR_TYPE_GRAY, 8, false},
      {"grey16", PNG_COLOR_TYPE_GRAY, 16, false},      {"greytrns8", PNG_COLOR_TYPE_GRAY, 8, true},
      {"greyalpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
      {"greyalpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
      {"palette1", PNG_COLOR_TYPE_PALETTE, 1, false},  {"palette4", PNG_COLOR_TYPE_PALETTE, 4, false},
      {"palette8", PNG_COLOR_TYPE_PALETTE, 8, false},  {"palette2trns", PNG_COLOR_TYPE_PALETTE, 2, true},
      {"palette8trns", PNG_COLOR_TYPE_PALETTE, 8, true}, {"rgb8", PNG_COLOR_TYPE_RGB, 8, false},
      {"rgbtrns8", PNG_COLOR_TYPE_RGB, 8, true},       {"rgb16", PNG_COLOR_TYPE_RGB, 16, false},
      {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},   {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
  };
  std::vector<Named> seeds;
  for (const Kind& kind : kinds) {
    for (bool interlaced : {false, true}) {
      testimages::PngPicture picture =
          testimages::MakePngPicture(kind.colourType, kind.bitDepth, 13, 11, kind.trns);
      picture.interlaced = interlaced;
      seeds.push_back({std::string(kind.name) + (interlaced ? "-adam7" : "") + ".png",
                       testimages::EncodePng(picture)});
    }
  }
  // Bombs: sizes above the cap, data too short for the size, a large
  // picture the decoders accept, and ancillary chunks that lie.
  seeds.push_back({"bomb-20000x20000-grey1.png", Resized(testimages::ZeroGreyPng(200, 20, 1), 20000, 20000)});
  seeds.push_back({"bomb-1000x1000-grey8.png", testimages::ZeroGreyPng(1000, 1000, 8)});
  Bytes shortData = testimages::ZeroGreyPng(300, 2, 8);
  testimages::PutBigEndian32(shortData.data() + 16, 300000);  // IHDR height, CRC now wrong
  seeds.push_back({"idat-too-short.png", shortData});
  Bytes lying = testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 5, 4));
  testimages::InsertPngChunk(&lying, 1, "zTXt", 0x50000015, Bytes(40, 'x'));
  seeds.push_back({"chunk-longer-than-file.png", lying});
  Bytes text = testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_RGB, 8, 5, 4));
  testimages::InsertPngChunk(&text, 1, "tEXt", 3000, Bytes(3000, 't'));
  seeds.push_back({"large-text.png", text});
  // Photos: turned by eXIf, transparent, and with a long compressed tail.
  const Bytes rgba = testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_RGB_ALPHA, 8, 70, 9));
  seeds.push_back({"exif8-rgba.png", testimages::WithPngExif(rgba, testimages::ExifBlock(8, true))});
  seeds.push_back({"trailing-zeros.png", testimages::PngWithTrailingZeros(8, 8, 1 << 20)});
  return seeds;
}

std::vector<Named> JpegSeeds() {
  std::vector<Named> seeds;
  const Bytes rgb = testimages::SyntheticPhoto(24, 17, 3);
  const Bytes grey = testimages::SyntheticPhoto(24, 17, 1);
  const Bytes cmyk = testimages::SyntheticPhoto(24, 17, 4);
  testimages::JpegOptions options;
  seeds.push_back({"rgb.jpg", testimages::EncodeJpeg(rgb.data(), 24, 17, 3, options)});
  seeds.push_back({"grey.jpg", testimages::EncodeJpeg(grey.data(), 24, 17, 1, options)});
  options.quality = 20;
  seeds.push_back({"rgb-q20.jpg", testimages::EncodeJpeg(rgb.data(), 24, 17, 3, options)});
  options = {};
  options.progressive = true;
  seeds.push_back({"progressive.jpg", testimages::EncodeJpeg(rgb.data(), 24, 17, 3, options)});
  options.scanCount = 120;  // more scans than the decoder takes
  seeds.push_back({"many-scans.jpg", testimages::EncodeJpeg(rgb.data(), 24, 17, 3, options)});
  options = {};
  options.cmyk = true;
  seeds.push_back({"cmyk.jpg", testimages::EncodeJpeg(cmyk.data(), 24, 17, 4, options)});
  Bytes truncated = testimages::EncodeJpeg(rgb.data(), 24, 17, 3);
  truncated.resize(truncated.size() / 2);
  seeds.push_back({"truncated.jpg", truncated});
  // A frame header claiming 60000 x 60000 over a tiny scan.
  Bytes hollow = testimages::EncodeJpeg(rgb.data(), 24, 17, 3);
  for (size_t i = 2; i + 9 < hollow.size(); ++i) {
    if (hollow[i] == 0xFF && hollow[i + 1] == 0xC0) {
      hollow[i + 5] = hollow[i + 7] = 0xEA;
      hollow[i + 6] = hollow[i + 8] = 0x60;
      break;
    }
  }
  seeds.push_back({"hollow-60000.jpg", hollow});
  // Photos tagged to be turned, on both sides of a strip of rows.
  const Bytes tall = testimages::SyntheticPhoto(20, 70, 3);
  options = {};
  options.exif = testimages::ExifBlock(6, false);
  seeds.push_back({"exif6-tall.jpg", testimages::EncodeJpeg(tall.data(), 20, 70, 3, options)});
  options.exif = testimages::ExifBlock(3, true);
  options.cmyk = true;
  options.ycck = true;
  seeds.push_back({"exif3-ycck.jpg", testimages::EncodeJpeg(cmyk.data(), 24, 17, 4, options)});
  return seeds;
}

std::vector<Named> LayoutSeeds() {
  using namespace layouttest;
  const Bytes map = RegionMapPng(40, 30);
  const Bytes overlay = OverlayPng(40, 30);
  const Bytes grey = testimages::EncodePng(testimages::MakePngPicture(PNG_COLOR_TYPE_GRAY, 4, 40, 30));
  const Bytes photo = testimages::SyntheticPhoto(40, 30, 3);
  std::vector<Named> seeds;
  seeds.push_back({"two-slots.jli", SimpleLayoutFile(map, overlay)});
  seeds.push_back({"grey-layers.jli", SimpleLayoutFile(grey, grey)});
  seeds.push_back({"sizes-differ.jli", SimpleLayoutFile(map, OverlayPng(41, 30))});
  seeds.push_back({"jpeg-layer.jli",
                   SimpleLayoutFile(map, testimages::EncodeJpeg(photo.data(), 40, 30, 3))});
  seeds.push_back({"wrong-name.jli",
                   LayoutFile({Layer(Concat({NameChunk(u"Layout"), Chunk("DOCU", map)})),
                               Layer(Concat({NameChunk(u"overlay"), Chunk("DOCU", overlay)}))})});
  seeds.push_back({"extra-chunks.jli",
                   LayoutFile({Layer(Concat({Chunk("INFO", {1, 2, 3}), NameChunk(u"layout"),
                                             Chunk("DOCU", map), NameChunk(u"layout")})),
                               Layer(Concat({Chunk("DOCU", overlay)}))})});
  Bytes lying = SimpleLayoutFile(map, overlay);
  lying[23] = 0x7F;  // the first layer's length runs past the file
  seeds.push_back({"layer-too-long.jli", lying});
  seeds.push_back({"one-layer.jli",
                   LayoutFile({Layer(Concat({NameChunk(u"layout"), Chunk("DOCU", map)}))})});
  const Bytes bomb = testimages::ZeroGreyPng(1000, 1000, 8);
  seeds.push_back({"bomb-layers.jli", SimpleLayoutFile(bomb, bomb)});
  const Bytes huge = Resized(bomb, 20000, 20000);
  seeds.push_back({"huge-layers.jli", SimpleLayoutFile(huge, huge)});
  return seeds;
}

// Project descriptions (card.json): on a built-in design, on a carried
// layout, nested deep, and from a newer version.
struct CardJsons {
  std::string builtIn, custom, deep, newer;
};

CardJsons CardJsonTexts() {
  const std::string builtIn = R"({"format": "tessary-project", "version": "1.0",
    "design": {"builtIn": 1, "name": "Scrapbook"}, "templateCycle": 1,
    "regions": [{"photo": {"path": "/nowhere/a.jpg", "relativePath": "a.jpg", "size": 9,
      "headHash": "0123456789abcdef", "entry": "photos/0-a.jpg"}, "panX": 0.3, "panY": 0.6,
      "zoom": 2.5, "turn": 0}, {"panX": 0.5, "panY": 0.5, "zoom": 1}, {"future": [1, 2]}],
    "print": {"copies": 2}})";
  const std::string custom = R"({"format": "tessary-project", "version": "1.3",
    "design": {"layout": {"path": "/nowhere/two.jli", "relativePath": "two.jli",
      "hash": "0000000000000000", "entry": "layout.jli"}},
    "regions": [{"photo": {"path": "C:\photos\b.jpg", "entry": "photos/0-b.jpg"}},
      {"photo": {"path": "/x/missing.png", "size": 100}, "zoom": 8}]})";
  std::string deep = R"({"format": "tessary-project", "version": "1.0", "design": {"builtIn": 0},
    "regions": [], "x": )";
  deep += std::string(40, '[') + std::string(40, ']') + "}";
  return {builtIn, custom, deep, R"({"format": "tessary-project", "version": "2.0"})"};
}

std::vector<Named> CardJsonSeeds() {
  const CardJsons texts = CardJsonTexts();
  std::vector<Named> seeds;
  for (const auto& [name, text] : {std::pair{"built-in.json", &texts.builtIn},
                                   std::pair{"layout.json", &texts.custom},
                                   std::pair{"deep.json", &texts.deep},
                                   std::pair{"newer.json", &texts.newer}}) {
    seeds.push_back({name, Bytes(text->begin(), text->end())});
  }
  return seeds;
}

// Project files: sound ones on a built-in design and on a carried layout
// with carried photos, and hostile containers and descriptions.
std::vector<Named> ProjectSeeds() {
  using rawzip::Entry;
  const Bytes photo = testimages::EncodeJpeg(testimages::SyntheticPhoto(40, 30, 3).data(), 40, 30, 3);
  const Bytes layout = layouttest::SimpleLayoutFile(layouttest::RegionMapPng(40, 30),
                                                    layouttest::OverlayPng(40, 30));
  const auto [builtIn, custom, deep, newer] = CardJsonTexts();
  std::vector<Named> seeds;
  seeds.push_back({"built-in.tessary",
                   rawzip::Make({Entry{"card.json", rawzip::Bytes(builtIn), true},
                                 Entry{"photos/0-a.jpg", photo}})});
  seeds.push_back({"layout.tessary",
                   rawzip::Make({Entry{"card.json", rawzip::Bytes(custom), true},
                                 Entry{"layout.jli", layout}, Entry{"photos/0-b.jpg", photo}})});
  seeds.push_back({"traversal.tessary",
                   rawzip::Make({Entry{"card.json", rawzip::Bytes(builtIn)},
                                 Entry{"../../x", rawzip::Bytes("x")}})});
  seeds.push_back({"bomb.tessary",
                   rawzip::Make({Entry{"card.json", Bytes(size_t(8) << 20, ' '), true}})});
  seeds.push_back({"lying-size.tessary",
                   rawzip::Make({Entry{"card.json", rawzip::Bytes(builtIn), true, 12}})});
  seeds.push_back({"deep.tessary", rawzip::Make({Entry{"card.json", rawzip::Bytes(deep)}})});
  seeds.push_back({"newer.tessary",
                   rawzip::Make({Entry{"card.json", rawzip::Bytes(newer)}})});
  return seeds;
}

// The photo target's header: pan 0.5, 0.5 and a 40 x 30 card.
Bytes PhotoInput(const Bytes& file) {
  Bytes input(12, 0);
  const float half = 0.5f;
  std::memcpy(input.data(), &half, 4);
  std::memcpy(input.data() + 4, &half, 4);
  input[8] = 39;
  input[10] = 29;
  input.insert(input.end(), file.begin(), file.end());
  return input;
}

std::vector<Named> ExifSeeds() {
  std::vector<Named> seeds;
  for (bool bigEndian : {false, true}) {
    const std::string order = bigEndian ? "mm" : "ii";
    for (int orientation : {0, 1, 6, 8}) {
      const Bytes tiff = testimages::ExifBlock(orientation, bigEndian);
      seeds.push_back({order + "-" + std::to_string(orientation) + ".tiff", tiff});
      Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
      app1.insert(app1.end(), tiff.begin(), tiff.end());
      seeds.push_back({order + "-" + std::to_string(orientation) + ".app1", app1});
    }
  }
  return seeds;
}

// Boxes of words for the type-setting target: a 12-byte header each (family,
// style, size, box) and its words up to a 0 byte.
Named TextSeed(const std::string& name, const std::vector<std::pair<std::string, std::string>>& boxes) {
  Named seed{name, {}};
  for (size_t i = 0; i < boxes.size(); ++i) {
    seed.bytes.insert(seed.bytes.end(), boxes[i].first.begin(), boxes[i].first.end());
    seed.bytes.insert(seed.bytes.end(), boxes[i].second.begin(), boxes[i].second.end());
    if (i + 1 < boxes.size()) seed.bytes.push_back(0);
  }
  return seed;
}

std::vector<Named> TextSeeds() {
  // family, style, size (quarter points), left, top, width, height (1/1000)
  auto header = [](uint8_t family, uint8_t style, uint16_t quarters, int16_t l, int16_t t,
                   int16_t w, int16_t h) {
    std::string bytes = {char(family), char(style), char(quarters >> 8), char(quarters & 255)};
    for (int16_t v : {l, t, w, h}) {
      bytes += char(uint16_t(v) >> 8);
      bytes += char(uint16_t(v) & 255);
    }
    return bytes;
  };
  return {
      TextSeed("latin", {{header(0, 0, 48, 100, 100, 800, 300), "Hello, world! AVA fi ffl"}}),
      TextSeed("styles", {{header(1, 0x17, 40, 50, 50, 900, 900), "Bold italic\nright, outlined"},
                          {header(2, 0x21, 56, 0, 500, 1000, 400), "Dancing shadow"}}),
      TextSeed("scripts", {{header(0, 0x04, 32, 0, 0, 1000, 1000),
                            "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 "
                            "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7 2024 "
                            "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d \xce\xb1\xce\xb2 e\xcc\x81"}}),
      TextSeed("missing", {{header(3, 0x03, 20, -200, -100, 1400, 1200), "Fallback"}}),
      TextSeed("narrow", {{header(0, 0, 64, 400, 0, 1, 1), "a very long word indeed"}}),
      TextSeed("huge", {{header(2, 0x20, 65535, -3000, -3000, 32000, 32000), "Big"}}),
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tessary-fuzz-seeds OUT\n", stderr);
    return 2;
  }
  const fs::path out = argv[1];
  const std::vector<Named> png = PngSeeds();
  const std::vector<Named> jpeg = JpegSeeds();
  for (const Named& seed : png) Write(out / "png", seed.name, seed.bytes);
  for (const Named& seed : jpeg) Write(out / "jpeg", seed.name, seed.bytes);
  const std::vector<Named> layouts = LayoutSeeds();
  for (const Named& seed : layouts) Write(out / "layout", seed.name, seed.bytes);
  // Every kind of file the reader tells apart by its first bytes.
  for (const std::vector<Named>* kind : {&png, &jpeg, &layouts}) {
    for (const Named& seed : *kind) Write(out / "files", seed.name, seed.bytes);
  }
  for (const Named& seed : ProjectSeeds()) Write(out / "project", seed.name, seed.bytes);
  for (const Named& seed : CardJsonSeeds()) Write(out / "cardjson", seed.name, seed.bytes);
  for (const Named& seed : ExifSeeds()) Write(out / "exif", seed.name, seed.bytes);
  for (const Named& seed : TextSeeds()) Write(out / "text", seed.name, seed.bytes);
  for (const std::vector<Named>* kind : {&png, &jpeg}) {
    for (const Named& seed : *kind) {
      // Photos are decoded at full size before any check of the render
      // size; the bombs stay with the decoders' own targets.
      if (seed.bytes.size() > 4096 && seed.name.rfind("bomb", 0) == 0) continue;
      Write(out / "photo", seed.name + ".photo", PhotoInput(seed.bytes));
    }
  }
  return 0;
}
