#include "imagefiles/LayoutFileWriter.h"

namespace imagefiles {

namespace {

constexpr size_t kChunkHeader = 8;

size_t Padded(size_t length) { return (length + 3) & ~size_t(3); }

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void AppendTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void AppendChunk(std::vector<uint8_t>& out, const char* id, const uint8_t* data, size_t size) {
  AppendTag(out, id);
  AppendLe32(out, uint32_t(size));
  out.insert(out.end(), data, data + size);
  out.resize(Padded(out.size()), 0);
}

std::vector<uint8_t> NameData(const char* name) {
  std::vector<uint8_t> units;
  for (const char* c = name; *c != '\0'; ++c) {
    units.push_back(uint8_t(*c));  // ASCII names: the high byte of each unit is 0
    units.push_back(0);
  }
  return units;
}

// Body length of a layer holding a NAME and a DOCU chunk.
size_t BodyLength(const std::vector<uint8_t>& name, size_t pngSize) {
  return kChunkHeader + Padded(name.size()) + kChunkHeader + pngSize;
}

void AppendLayer(std::vector<uint8_t>& out, const std::vector<uint8_t>& name, const uint8_t* png,
                 size_t pngSize) {
  AppendTag(out, "LAER");
  // The declared length leaves out the last chunk's fill; readers pad it.
  AppendLe32(out, uint32_t(BodyLength(name, pngSize)));
  AppendChunk(out, "NAME", name.data(), name.size());
  AppendChunk(out, "DOCU", png, pngSize);
}

}  // namespace

bool PackLayoutFile(const uint8_t* regionMapPng, size_t regionMapSize, const uint8_t* overlayPng,
                    size_t overlaySize, std::vector<uint8_t>* file) {
  const std::vector<uint8_t> layoutName = NameData("layout");
  const std::vector<uint8_t> overlayName = NameData("overlay");
  // Keep every declared and padded length within 32 bits.
  constexpr size_t kLimit = 0xFFFFFFF0u;
  if (regionMapSize > kLimit - 64 || overlaySize > kLimit - 64) return false;
  const size_t firstBody = Padded(BodyLength(layoutName, regionMapSize));
  const size_t secondBody = Padded(BodyLength(overlayName, overlaySize));

  std::vector<uint8_t> out;
  out.reserve(32 + firstBody + secondBody);
  static const char kMagic[] = "JQLayeredImage_1";
  out.insert(out.end(), kMagic, kMagic + 16);
  AppendLayer(out, layoutName, regionMapPng, regionMapSize);
  AppendLayer(out, overlayName, overlayPng, overlaySize);
  file->swap(out);
  return true;
}

}  // namespace imagefiles
