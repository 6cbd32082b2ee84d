// Reading a picture or layout file only as far as it declares: the input is
// written to a file and read back. What is read must be the file's first
// bytes. The decoders have targets of their own.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagefiles/ReadPictureFile.h"

namespace {

const std::string& InputPath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/tessary-fuzz-read-" +
           std::to_string(::getpid());
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return -1;
  FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written) return 0;
  std::vector<uint8_t> bytes;
  const engine::ImageStatus status = imagefiles::ReadPictureFile(InputPath(), &bytes);
  std::remove(InputPath().c_str());
  // Never more than the file, and always its first bytes.
  if (bytes.size() > size) std::abort();
  if (!bytes.empty() && std::memcmp(bytes.data(), data, bytes.size()) != 0) std::abort();
  (void)status;
  return 0;
}
