#include "tools/common/ToolVoice.h"

#include <cstdio>
#include <new>

namespace tools {

int ToolVoice::Usage(const std::string& problem) const {
  std::fprintf(stderr, "%s: %s\n%s", name_, problem.c_str(), usage_);
  return kUsageError;
}

int ToolVoice::Fail(const std::string& file, const std::string& reason) const {
  std::fprintf(stderr, "%s: %s: %s\n", name_, file.c_str(), reason.c_str());
  return kFailed;
}

int ToolVoice::FailWrite(const std::string& file, const imagefiles::SaveResult& saved) const {
  return Fail(file, "cannot be written (" + saved.Message() + ")");
}

void ToolVoice::Warn(const std::string& text) const {
  std::fprintf(stderr, "%s: warning: %s\n", name_, text.c_str());
}

int ToolVoice::Main(int (*run)(int, char**), int argc, char** argv) const {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: out of memory\n", name_);
    return kFailed;
  }
}

}  // namespace tools
