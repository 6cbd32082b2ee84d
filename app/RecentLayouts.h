#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace app {

// The layout files opened lately, newest first, for the design chooser.
// Kept in a file of the settings folder when there is one, so they are
// there on the next run too: one UTF-8 path per line.
class RecentLayouts {
 public:
  static constexpr size_t kMaxLayouts = 8;
  static constexpr char kFileName[] = "recent-layouts.txt";

  // `folder`: where the list is kept; empty keeps it in memory only.
  explicit RecentLayouts(std::string folder = std::string()) : folder_(std::move(folder)) {}

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

  std::string folder_;
  bool loaded_ = false;
  std::vector<std::string> paths_;
};

}  // namespace app
