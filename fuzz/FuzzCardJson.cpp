// A project's description (card.json) read, written again and read back:
// the parser the project target reaches only through a sound zip container,
// whose checksums mutated inputs rarely keep. What was read must survive
// being written: the second writing gives the same text as the first.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/ProjectFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 16)) return -1;
  const std::string text(reinterpret_cast<const char*>(data), size);
  document::ProjectRecord record;
  std::string problem;
  if (document::ParseCardJson(text, &record, &problem) != document::CardJsonStatus::Ok) return 0;
  const std::string once = document::MakeCardJson(record, text);
  document::ProjectRecord again;
  if (document::ParseCardJson(once, &again, &problem) != document::CardJsonStatus::Ok) std::abort();
  if (document::MakeCardJson(again, once) != once) std::abort();
  return 0;
}
