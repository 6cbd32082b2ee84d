#include "imagefiles/LayoutFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <random>

#include "engine/card/CardTemplate.h"
#include "imagefiles/ContentHash.h"
#include "imagefiles/DecodeImage.h"
#include "imagefiles/LayoutTestFiles.h"
#include "imagefiles/ParseLayerBlock.h"

namespace {

using namespace layouttest;

// Serves files from memory and decodes with the real decoder.
class MemoryReader : public engine::ImageReader {
 public:
  std::map<std::string, Bytes> files;

  engine::ImageStatus ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                               engine::FileStamp* = nullptr) const override {
    auto it = files.find(path);
    if (it == files.end()) return engine::ImageStatus::Unreadable(ENOENT);
    *bytes = it->second;
    return engine::ImageStatus();
  }
  bool Decode(const uint8_t* data, uint32_t size, bool withAlpha,
              engine::Raster* out) const override {
    return imagefiles::DecodeImage(data, size, withAlpha, out);
  }
  engine::ImageStatus DecodePhoto(const uint8_t* data, uint32_t size,
                                  engine::Raster* out) const override {
    return imagefiles::DecodeImage(data, size, imagefiles::DecodeMode::Photo, out);
  }
};

Bytes Le32(uint32_t v) {
  Bytes out;
  AppendLe32(out, v);
  return out;
}

class LayoutFileTest : public ::testing::Test {
 protected:
  // Reads the file and, when it is good, makes its layers the card's template.
  imagefiles::LayoutStatus Load(const Bytes& file) {
    reader_.files["card.jli"] = file;
    imagefiles::LayoutLayers layers;
    const imagefiles::LayoutStatus status =
        imagefiles::ReadLayoutFile("card.jli", reader_, &layers);
    if (status == imagefiles::LayoutStatus::Ok) {
      EXPECT_TRUE(engine::SetTemplate(card_, std::move(layers.regionMap), std::move(layers.overlay)));
    }
    return status;
  }

  MemoryReader reader_;
  engine::Card card_;
  const Bytes map_ = RegionMapPng(8, 6);
  const Bytes overlay_ = OverlayPng(8, 6);
};

using imagefiles::LayoutStatus;

TEST(ParseLayerBlockTest, LastNameAndDocuCountAndOtherChunksAreSkipped) {
  const Bytes block =
      Concat({Chunk("xxxx", Bytes(5, 1)), NameChunk(u"first"), Chunk("DOCU", Bytes{1, 2, 3}),
              Chunk("NAME", Bytes{'a', 0, 'b'}), Chunk("abcd", Bytes()),
              Chunk("DOCU", Bytes{9, 8, 7, 6, 5}), Chunk("zzzz", Bytes(3, 0))});
  imagefiles::LayerBlock layer;
  ASSERT_TRUE(imagefiles::ParseLayerBlock(block.data(), uint32_t(block.size()), &layer));
  EXPECT_EQ(layer.name, u"a");  // the odd last byte is not a code unit
  ASSERT_EQ(layer.docuSize, 5u);
  EXPECT_EQ(std::memcmp(layer.docu, "\x09\x08\x07\x06\x05", 5), 0);
  EXPECT_GE(layer.docu, block.data());
  EXPECT_LE(layer.docu + layer.docuSize, block.data() + block.size());
}

TEST(ParseLayerBlockTest, EmptyBodyHasNoNameAndNoImage) {
  imagefiles::LayerBlock layer;
  layer.name = u"kept?";
  const uint8_t none = 0;
  ASSERT_TRUE(imagefiles::ParseLayerBlock(&none, 0, &layer));
  EXPECT_TRUE(layer.name.empty());
  EXPECT_EQ(layer.docuSize, 0u);
}

TEST(ParseLayerBlockTest, ChunksMustFillTheBodyExactlyWithoutRunningPastIt) {
  const Bytes name = NameChunk(u"layout");  // 20 bytes
  imagefiles::LayerBlock layer;
  layer.name = u"before";
  // Four bytes left over that hold no chunk.
  Bytes leftover = Concat({name, Bytes(4, 0)});
  EXPECT_FALSE(imagefiles::ParseLayerBlock(leftover.data(), uint32_t(leftover.size()), &layer));
  // Lengths that run past the end, up to the largest, which must not wrap.
  for (uint32_t n : {13u, 0x7FFFFFFFu, 0xFFFFFFF8u, 0xFFFFFFFCu, 0xFFFFFFFFu}) {
    Bytes bad = Concat({name, Bytes{'D', 'O', 'C', 'U'}, Le32(n), Bytes(12, 0)});
    EXPECT_FALSE(imagefiles::ParseLayerBlock(bad.data(), uint32_t(bad.size()), &layer)) << n;
  }
  // A chunk whose data ends at the body's end but whose fill would not.
  Bytes unpadded = Concat({name, Bytes{'D', 'O', 'C', 'U'}, Le32(3), Bytes(3, 7)});
  EXPECT_FALSE(imagefiles::ParseLayerBlock(unpadded.data(), uint32_t(unpadded.size()), &layer));
  EXPECT_EQ(layer.name, u"before");
}

TEST_F(LayoutFileTest, TwoLayersOfEqualSizeBecomeTheTemplate) {
  const Bytes map = RegionMapPng(1200, 800);
  const Bytes overlay = OverlayPng(1200, 800);
  ASSERT_EQ(Load(SimpleLayoutFile(map, overlay)), LayoutStatus::Ok);
  EXPECT_EQ(card_.cardTemplate.width, 1200u);
  EXPECT_EQ(card_.cardTemplate.height, 800u);
  ASSERT_TRUE(card_.cardTemplate.Installed());
  // Red left half (key 0x0000F8) sorts before green (0x00F800).
  ASSERT_EQ(card_.slots.size(), 2u);
  EXPECT_EQ(card_.slots[0].keyColour, 0x0000F8u);
  EXPECT_EQ(card_.slots[0].left, 1);
  EXPECT_EQ(card_.slots[0].right, 600);
  EXPECT_EQ(card_.slots[1].keyColour, 0x00F800u);
  EXPECT_EQ(card_.slots[1].bottom, 799);
  // The overlay's top row is opaque blue.
  const uint8_t* o = card_.cardTemplate.overlay.get();
  EXPECT_EQ(o[2], 255);
  EXPECT_EQ(o[3], 255);
}

TEST_F(LayoutFileTest, FirstLayerMustBeNamedExactlyLayout) {
  // The bare 32-byte file passes the size rules but has no name.
  EXPECT_EQ(Load(LayoutFile({Layer(Bytes()), Layer(Bytes())})), LayoutStatus::FirstLayerNotLayout);
  for (const char16_t* name : {u"Layout", u"layout ", u"layou", u"LAYOUT", u""}) {
    const Bytes file =
        LayoutFile({Layer(Concat({NameChunk(name), Chunk("DOCU", map_)})),
                    Layer(Concat({NameChunk(u"overlay"), Chunk("DOCU", overlay_)}))});
    EXPECT_EQ(Load(file), LayoutStatus::FirstLayerNotLayout);
  }
  // The second layer's name is never looked at.
  for (const Bytes& secondName : {NameChunk(u"Layout"), NameChunk(u"\u00FCber"), Bytes()}) {
    const Bytes file = LayoutFile({Layer(Concat({NameChunk(u"layout"), Chunk("DOCU", map_)})),
                                   Layer(Concat({secondName, Chunk("DOCU", overlay_)}))});
    EXPECT_EQ(Load(file), LayoutStatus::Ok);
  }
}

TEST_F(LayoutFileTest, BodiesAreWalkedOverThePaddedLength) {
  // A DOCU of 4k + 1 bytes ends with three fill bytes, so the first body can
  // declare a length 3 below its padded length, as L1 = 13 over 16 bytes does.
  const Bytes map = PadPng(map_, (map_.size() / 4 + 8) * 4 + 1);
  const Bytes body = Concat({NameChunk(u"layout"), Chunk("DOCU", map)});
  const Bytes second = Layer(Chunk("DOCU", overlay_));
  EXPECT_EQ(Load(LayoutFile({Layer(body, uint32_t(body.size()) - 3), second})), LayoutStatus::Ok);
  // A length 4 beyond the chunks leaves 4 bytes that hold no chunk (as
  // L1 = 16 over 12 bytes of chunks does).
  EXPECT_EQ(Load(LayoutFile({Layer(Concat({body, Bytes(4, 0)})), second})),
            LayoutStatus::DamagedContainer);

  imagefiles::LayerBlock layer;
  const Bytes sixteen = NameChunk(u"layo");
  EXPECT_TRUE(imagefiles::ParseLayerBlock(sixteen.data(), 16, &layer));
  const Bytes twelve = Concat({Chunk("abcd", Bytes(4, 0)), Bytes(4, 0)});
  EXPECT_FALSE(imagefiles::ParseLayerBlock(twelve.data(), 16, &layer));
}

TEST_F(LayoutFileTest, LengthsThatRunPastTheFileAreRefused) {
  const Bytes firstBody = Concat({NameChunk(u"layout"), Chunk("DOCU", map_)});
  const Bytes secondBody = Chunk("DOCU", overlay_);
  for (uint32_t n :
       {uint32_t(firstBody.size()) + 4, 0x7FFFFFFFu, 0xFFFFFFFCu, 0xFFFFFFFDu, 0xFFFFFFFFu}) {
    EXPECT_EQ(Load(LayoutFile({Layer(firstBody, n), Layer(secondBody)})),
              LayoutStatus::DamagedContainer)
        << n;
    EXPECT_EQ(Load(LayoutFile({Layer(firstBody), Layer(secondBody, n)})),
              LayoutStatus::DamagedContainer)
        << n;
  }
  // A chunk inside a layer that claims more than the layer holds.
  for (uint32_t n : {uint32_t(secondBody.size()) - 7, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
    Bytes body = secondBody;
    std::memcpy(&body[4], Le32(n).data(), 4);
    EXPECT_EQ(Load(LayoutFile({Layer(firstBody), Layer(body)})), LayoutStatus::DamagedContainer);
  }
}

TEST_F(LayoutFileTest, NothingMayFollowTheSecondLayer) {
  const Bytes good = SimpleLayoutFile(map_, overlay_);
  EXPECT_EQ(Load(Concat({good, Bytes{0}})), LayoutStatus::DamagedContainer);
  EXPECT_EQ(Load(Concat({good, Layer(Chunk("DOCU", overlay_))})), LayoutStatus::DamagedContainer);
  // A missing second tag, or a file cut short anywhere.
  Bytes badTag = good;
  const size_t secondTagAt = 24 + (NameChunk(u"layout").size() + Chunk("DOCU", map_).size());
  ASSERT_EQ(std::memcmp(&badTag[secondTagAt], "LAER", 4), 0);
  badTag[secondTagAt] = 'l';
  EXPECT_EQ(Load(badTag), LayoutStatus::DamagedContainer);
  for (size_t cut : {size_t(31), size_t(33), secondTagAt, good.size() - 1}) {
    EXPECT_NE(Load(Bytes(good.begin(), good.begin() + cut)), LayoutStatus::Ok) << cut;
  }
  Bytes badMagic = good;
  badMagic[15] = '2';
  EXPECT_EQ(Load(badMagic), LayoutStatus::NotLayoutFile);
}

TEST_F(LayoutFileTest, LayerImagesMustBeDecodablePngsOfOneSize) {
  // A JPEG is refused in the alpha mode the layers are decoded in.
  Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  EXPECT_EQ(Load(SimpleLayoutFile(jpeg, overlay_)), LayoutStatus::RegionMapUnreadable);
  EXPECT_EQ(Load(SimpleLayoutFile(map_, jpeg)), LayoutStatus::OverlayUnreadable);
  // No DOCU at all.
  EXPECT_EQ(Load(LayoutFile({Layer(NameChunk(u"layout")), Layer(Chunk("DOCU", overlay_))})),
            LayoutStatus::RegionMapUnreadable);
  EXPECT_EQ(Load(SimpleLayoutFile(RegionMapPng(800, 600), OverlayPng(800, 601))),
            LayoutStatus::SizesDiffer);
  EXPECT_EQ(Load(SimpleLayoutFile(RegionMapPng(801, 600), OverlayPng(800, 600))),
            LayoutStatus::SizesDiffer);
  // An RGB layer gets an opaque alpha channel and is accepted.
  Bytes rgb(8 * 6 * 3, 200);
  EXPECT_EQ(Load(SimpleLayoutFile(map_, EncodePng(8, 6, 3, rgb))), LayoutStatus::Ok);
}

TEST_F(LayoutFileTest, ChunksOfOtherKindsAnywhereAreSkippedAndTheLastOfEachCounts) {
  const Bytes other = Chunk("meta", Bytes(7, 0xAB));
  const Bytes wrongMap = RegionMapPng(5, 5);
  const Bytes first =
      Concat({other, NameChunk(u"overlay"), Chunk("DOCU", wrongMap), other, NameChunk(u"layout"),
              Chunk("DOCU", map_), Chunk("NAMF", Bytes(2, 0))});
  const Bytes second =
      Concat({Chunk("DOCU", wrongMap), other, NameChunk(u"x"), Chunk("DOCU", overlay_), other});
  ASSERT_EQ(Load(LayoutFile({Layer(first), Layer(second)})), LayoutStatus::Ok);
  EXPECT_EQ(card_.cardTemplate.width, 8u);
  EXPECT_EQ(card_.cardTemplate.height, 6u);
}

TEST_F(LayoutFileTest, WorkedSizeExampleIs2072Bytes) {
  const Bytes map = PadPng(RegionMapPng(8, 8), 1000);
  const Bytes overlay = PadPng(OverlayPng(8, 8), 1003);
  ASSERT_EQ(map.size(), 1000u);
  ASSERT_EQ(overlay.size(), 1003u);
  const Bytes first = Concat({NameChunk(u"layout"), Chunk("DOCU", map)});
  ASSERT_EQ(first.size(), 1028u);
  const Bytes secondBody = Chunk("DOCU", overlay);
  for (uint32_t secondLength : {1011u, 1012u}) {
    const Bytes file = LayoutFile({Layer(first), Layer(secondBody, secondLength)});
    ASSERT_EQ(file.size(), 2072u);
    EXPECT_EQ(std::memcmp(&file[1052], "LAER", 4), 0);
    EXPECT_EQ(file[1056] | file[1057] << 8, int(secondLength));
    EXPECT_EQ(std::memcmp(&file[1060], "DOCU", 4), 0);
    EXPECT_EQ(Load(file), LayoutStatus::Ok) << secondLength;
    EXPECT_EQ(card_.cardTemplate.width, 8u);
  }
}

TEST_F(LayoutFileTest, FailureWritesNothingAndSaysWhy) {
  imagefiles::LayoutLayers layers;
  layers.regionMap = engine::Raster::Allocate(2, 2, engine::PixelFormat::Rgba32);
  uint64_t hash = 42;
  engine::ImageStatus read;
  // A valid container whose map has three regions, but an overlay that differs in size.
  reader_.files["card.jli"] = SimpleLayoutFile(RegionMapPng(10, 6), OverlayPng(10, 7));
  EXPECT_EQ(imagefiles::ReadLayoutFile("card.jli", reader_, &layers, &hash, &read),
            LayoutStatus::SizesDiffer);
  EXPECT_TRUE(read.Ok());
  EXPECT_EQ(imagefiles::ReadLayoutFile("missing.jli", reader_, &layers, &hash, &read),
            LayoutStatus::Unreadable);
  EXPECT_EQ(read.systemError, ENOENT);
  EXPECT_EQ(layers.regionMap.width, 2u);
  EXPECT_TRUE(layers.overlay.Empty());
  EXPECT_EQ(hash, 42u);
  // A good file's hash is that of its bytes.
  reader_.files["card.jli"] = SimpleLayoutFile(map_, overlay_);
  ASSERT_EQ(imagefiles::ReadLayoutFile("card.jli", reader_, &layers, &hash), LayoutStatus::Ok);
  const Bytes& bytes = reader_.files["card.jli"];
  EXPECT_EQ(hash, imagefiles::ContentHash(bytes.data(), bytes.size()));
}

// Random damage to a valid file: the loader may refuse it or accept it, but
// it must never read outside the file (run under AddressSanitizer).
TEST_F(LayoutFileTest, DamagedFilesNeverCrash) {
  const Bytes good = SimpleLayoutFile(RegionMapPng(6, 4), OverlayPng(6, 4));
  std::mt19937 random(20240611);
  int reachedDecoder = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes file = good;
    const int edits = 1 + int(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % file.size();
      switch (random() % 4) {
        case 0:
          file[at] = uint8_t(random());
          break;
        case 1:  // a length field near its extremes
          if (at + 4 <= file.size()) {
            const uint32_t v = 0xFFFFFFFFu - uint32_t(random() % 8);
            std::memcpy(&file[at], Le32(random() % 2 ? v : uint32_t(random() % 64)).data(), 4);
          }
          break;
        case 2:
          file.resize(at);
          break;
        default:
          file.insert(file.begin() + long(at), uint8_t(random()));
          break;
      }
      if (file.empty()) break;
    }
    // Exact-size copies so ASan sees every byte past the end.
    const LayoutStatus status = Load(Bytes(file.begin(), file.end()));
    reachedDecoder += status != LayoutStatus::NotLayoutFile &&
                      status != LayoutStatus::DamagedContainer &&
                      status != LayoutStatus::FirstLayerNotLayout;
  }
  // The damage must not all be caught at the door, or the walk is untested.
  EXPECT_GT(reachedDecoder, 100);

  for (int round = 0; round < 3000; ++round) {
    Bytes block(random() % 48);
    for (uint8_t& b : block) b = uint8_t(random() % 3 == 0 ? 0xFF : random() % 24);
    imagefiles::LayerBlock layer;
    imagefiles::ParseLayerBlock(block.data(), uint32_t(block.size()), &layer);
  }
}

}  // namespace
