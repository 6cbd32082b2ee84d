#include "imagefiles/ReadContainerFile.h"

#include <new>

#include "imagefiles/OpenedFile.h"

namespace imagefiles {

engine::ImageStatus ReadContainerFile(const std::string& path, uint64_t maxBytes,
                                      std::vector<uint8_t>* bytes, engine::FileStamp* stamp) {
  bytes->clear();
  OpenedFile file;
  const engine::ImageStatus opened = file.Open(path);
  if (!opened) return opened;
  stamp->size = file.Size();
  stamp->modifiedNs = file.ModifiedSeconds() * 1000000000 + file.ModifiedNanoseconds();
  if (file.Size() > maxBytes) return engine::ImageStatus();
  try {
    bytes->resize(size_t(file.Size()));
  } catch (const std::bad_alloc&) {
    return engine::ImageStatus::Failed(engine::ImageFailure::OutOfMemory);
  }
  size_t done = 0;
  while (done < bytes->size()) {
    int error = 0;
    const int64_t got = file.Read(bytes->data() + done, bytes->size() - done, &error);
    if (got < 0) return engine::ImageStatus::Unreadable(error);
    if (got == 0) break;
    done += size_t(got);
  }
  bytes->resize(done);
  return engine::ImageStatus();
}

}  // namespace imagefiles
