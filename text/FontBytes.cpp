#include "text/FontBytes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

namespace text {

namespace {

// Bigger than any font a card needs; a larger file is not a font to read whole.
constexpr uintmax_t kMaxFontBytes = 64u << 20;
// The bundled styles and a system family or two.
constexpr size_t kKept = 12;

std::shared_ptr<const Bytes> ReadFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path file = fs::u8path(path);
  const uintmax_t size = fs::file_size(file, error);
  if (error || size == 0 || size > kMaxFontBytes) return nullptr;
  std::ifstream in(file, std::ios::binary);
  if (!in) return nullptr;
  auto bytes = std::make_shared<Bytes>(size_t(size));
  if (!in.read(reinterpret_cast<char*>(bytes->data()), std::streamsize(size))) return nullptr;
  return bytes;
}

}  // namespace

std::shared_ptr<const Bytes> ReadFontBytes(const std::string& path) {
  static std::mutex mutex;
  static std::vector<std::pair<std::string, std::shared_ptr<const Bytes>>> kept;
  {
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = 0; i < kept.size(); ++i) {
      if (kept[i].first != path) continue;
      auto found = kept[i].second;
      // The most recently used last, so the oldest goes first.
      std::rotate(kept.begin() + std::ptrdiff_t(i), kept.begin() + std::ptrdiff_t(i) + 1,
                  kept.end());
      return found;
    }
  }
  std::shared_ptr<const Bytes> bytes;
  try {
    bytes = ReadFile(path);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!bytes) return nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (kept.size() == kKept) kept.erase(kept.begin());
  kept.emplace_back(path, bytes);
  return bytes;
}

}  // namespace text
