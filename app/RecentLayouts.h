#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace app {

// The layout files opened lately, newest first, for the design chooser.
// Kept in the program's settings, so they are there on the next run too.
class RecentLayouts {
 public:
  static constexpr size_t kMaxLayouts = 8;
  static constexpr char kSettingKey[] = "recentLayouts";

  // `settings`: where the list is kept; null keeps it in memory only.
  explicit RecentLayouts(platform::Platform* settings = nullptr) : settings_(settings) {}

  // Newest first; read from the file on first use.
  const std::vector<std::string>& Paths();
  // A layout opened now goes first (once); the oldest beyond kMaxLayouts go.
  // Only absolute paths are kept: a relative one means another file from
  // elsewhere.
  void Add(const std::string& path);
  // A layout that can no longer be opened leaves the list.
  void Remove(const std::string& path);

 private:
  void Load();
  void Store() const;

  platform::Platform* settings_;
  bool loaded_ = false;
  std::vector<std::string> paths_;
};

}  // namespace app
