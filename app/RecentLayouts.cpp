#include "app/RecentLayouts.h"

#include <algorithm>

#include "imagefiles/ReadWholeFile.h"
#include "imagefiles/SafeOutputFile.h"

namespace app {

namespace {

// Only a path that names the same file from anywhere is worth keeping.
bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
  return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         path.rfind("\\\\", 0) == 0;
#else
  return !path.empty() && path[0] == '/';
#endif
}

std::string FilePath(const std::string& folder) {
#ifdef _WIN32
  return folder + "\\" + RecentLayouts::kFileName;
#else
  return folder + "/" + RecentLayouts::kFileName;
#endif
}

}  // namespace

const std::vector<std::string>& RecentLayouts::Paths() {
  Load();
  return paths_;
}

void RecentLayouts::Load() {
  if (loaded_) return;
  loaded_ = true;
  if (folder_.empty()) return;
  std::vector<uint8_t> bytes;
  // No file yet, or one that cannot be read: nothing remembered.
  if (!imagefiles::ReadWholeFile(FilePath(folder_), &bytes)) return;
  std::string line;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    const char c = i < bytes.size() ? char(bytes[i]) : '\n';
    if (c != '\n' && c != '\r') {
      line += c;
      continue;
    }
    // The newest are first; a list edited by hand keeps its first entries.
    if (!line.empty() && paths_.size() < kMaxLayouts &&
        std::find(paths_.begin(), paths_.end(), line) == paths_.end())
      paths_.push_back(line);
    line.clear();
  }
}

void RecentLayouts::Store() const {
  if (folder_.empty()) return;
  std::string text;
  for (const std::string& path : paths_) text += path + "\n";
  // Replaced in one step, or not at all; a list that cannot be kept is only
  // a convenience lost, never a reason to bother the user.
  imagefiles::SafeOutputFile file;
  if (file.Open(FilePath(folder_)) && file.Write(text.data(), text.size())) file.Commit();
}

void RecentLayouts::Add(const std::string& path) {
  Load();
  // A name with a line break could not be read back as one entry.
  if (!IsAbsolute(path) || path.find_first_of("\r\n") != std::string::npos) return;
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kMaxLayouts) paths_.resize(kMaxLayouts);
  Store();
}

void RecentLayouts::Remove(const std::string& path) {
  Load();
  const size_t before = paths_.size();
  paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
  if (paths_.size() != before) Store();
}

}  // namespace app
