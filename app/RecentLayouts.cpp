#include "app/RecentLayouts.h"

#include <algorithm>

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

}  // namespace

const std::vector<std::string>& RecentLayouts::Paths() {
  Load();
  return paths_;
}

void RecentLayouts::Load() {
  if (loaded_) return;
  loaded_ = true;
  if (settings_ == nullptr) return;
  // The newest are first; a list edited by hand keeps its first entries.
  for (const std::string& path : settings_->ReadSetting(kSettingKey)) {
    if (!path.empty() && paths_.size() < kMaxLayouts &&
        std::find(paths_.begin(), paths_.end(), path) == paths_.end())
      paths_.push_back(path);
  }
}

void RecentLayouts::Store() const {
  // A list that cannot be kept is only a convenience lost, never a reason
  // to bother the user.
  if (settings_ != nullptr) settings_->WriteSetting(kSettingKey, paths_);
}

void RecentLayouts::Add(const std::string& path) {
  Load();
  if (!IsAbsolute(path)) return;
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
