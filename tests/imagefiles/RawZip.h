#pragma once

// Zip containers written byte by byte, so that tests can make the ones no
// zip library would: names that climb out of the container, sizes that lie,
// entries that inflate to far more than they declare.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rawzip {

struct Entry {
  std::string name;
  std::vector<uint8_t> data;  // the entry's content, before compression
  bool deflate = false;
  // What the headers claim; -1: the truth.
  int64_t declaredSize = -1;
  uint16_t flags = 0;  // general purpose bits (1: encrypted)
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Raw deflate (no zlib header), as zip entries hold it.
inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
  std::vector<uint8_t> out(deflateBound(&z, uLong(data.size())) + 16);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = uInt(data.size());
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::vector<uint8_t> Make(const std::vector<Entry>& entries) {
  std::vector<uint8_t> out;
  std::vector<uint8_t> directory;
  for (const Entry& entry : entries) {
    const std::vector<uint8_t> stored = entry.deflate ? Deflate(entry.data) : entry.data;
    const uint32_t crc = uint32_t(crc32(0, entry.data.data(), uInt(entry.data.size())));
    const uint32_t size =
        entry.declaredSize < 0 ? uint32_t(entry.data.size()) : uint32_t(entry.declaredSize);
    const uint32_t offset = uint32_t(out.size());
    const uint16_t method = entry.deflate ? 8 : 0;
    Put32(out, 0x04034b50);
    Put16(out, 20);
    Put16(out, entry.flags);
    Put16(out, method);
    Put16(out, 0);
    Put16(out, 0x21);
    Put32(out, crc);
    Put32(out, uint32_t(stored.size()));
    Put32(out, size);
    Put16(out, uint16_t(entry.name.size()));
    Put16(out, 0);
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    out.insert(out.end(), stored.begin(), stored.end());

    Put32(directory, 0x02014b50);
    Put16(directory, 20);
    Put16(directory, 20);
    Put16(directory, entry.flags);
    Put16(directory, method);
    Put16(directory, 0);
    Put16(directory, 0x21);
    Put32(directory, crc);
    Put32(directory, uint32_t(stored.size()));
    Put32(directory, size);
    Put16(directory, uint16_t(entry.name.size()));
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put32(directory, 0);
    Put32(directory, offset);
    directory.insert(directory.end(), entry.name.begin(), entry.name.end());
  }
  const uint32_t directoryOffset = uint32_t(out.size());
  out.insert(out.end(), directory.begin(), directory.end());
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, uint16_t(entries.size()));
  Put16(out, uint16_t(entries.size()));
  Put32(out, uint32_t(directory.size()));
  Put32(out, directoryOffset);
  Put16(out, 0);
  return out;
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace rawzip
