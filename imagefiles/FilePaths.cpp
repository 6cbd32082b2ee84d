#include "imagefiles/FilePaths.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace imagefiles {

namespace fs = std::filesystem;

namespace {

// UTF-8 in and out: a narrow path means the ANSI code page on Windows.
fs::path FromUtf8(const std::string& text) { return fs::u8path(text); }

std::string ToUtf8(const fs::path& path) {
  const auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string ToUtf8Generic(const fs::path& path) {
  const auto text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string FoldAsciiCase(const std::string& text) {
  std::string folded = text;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return folded;
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const fs::path absolute = fs::absolute(FromUtf8(path), error);
  if (error) return path;
  return ToUtf8(absolute.lexically_normal());
}

std::string RelativePath(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty()) return std::string();
  const fs::path relative =
      FromUtf8(path).lexically_normal().lexically_relative(FromUtf8(folder).lexically_normal());
  if (relative.empty() || relative.is_absolute() || relative.has_root_name()) return std::string();
  return ToUtf8Generic(relative);
}

std::string UnderFolder(const std::string& folder, const std::string& relative) {
  return ToUtf8((FromUtf8(folder) / FromUtf8(relative).make_preferred()).lexically_normal());
}

bool RegularFileSize(const std::string& path, uint64_t* size) {
  std::error_code error;
  const fs::path p = FromUtf8(path);
  if (!fs::is_regular_file(p, error) || error) return false;
  const uintmax_t bytes = fs::file_size(p, error);
  if (error) return false;
  *size = uint64_t(bytes);
  return true;
}

std::vector<std::vector<std::string>> FindFilesUnder(const std::string& folder,
                                                     const std::vector<WantedFile>& wanted,
                                                     const SearchLimits& limits) {
  std::vector<std::vector<std::string>> found(wanted.size());
  if (folder.empty() || wanted.empty()) return found;
  std::vector<std::string> names;
  for (const WantedFile& file : wanted) names.push_back(FoldAsciiCase(file.name));

  std::error_code error;
  fs::recursive_directory_iterator it(FromUtf8(folder),
                                      fs::directory_options::skip_permission_denied, error);
  size_t looked = 0;
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (++looked > limits.maxEntries) break;
    const fs::directory_entry& entry = *it;
    std::error_code kindError;
    if (entry.is_directory(kindError)) {
      // Linked folders could lead round in circles or out of the tree.
      if (entry.is_symlink(kindError) || it.depth() >= limits.maxDepth)
        it.disable_recursion_pending();
      continue;
    }
    const std::string name = FoldAsciiCase(ToUtf8(entry.path().filename()));
    for (size_t i = 0; i < wanted.size(); ++i) {
      if (name != names[i]) continue;
      uint64_t size = 0;
      if (RegularFileSize(ToUtf8(entry.path()), &size) &&
          (wanted[i].size == 0 || size == wanted[i].size))
        found[i].push_back(ToUtf8(entry.path()));
    }
  }
  for (std::vector<std::string>& paths : found) std::sort(paths.begin(), paths.end());
  return found;
}

std::vector<FolderFile> FilesInFolder(const std::string& folder) {
  std::vector<FolderFile> files;
  std::error_code error;
  fs::directory_iterator it(FromUtf8(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code kindError;
    if (!it->is_regular_file(kindError)) continue;
    const fs::file_time_type time = it->last_write_time(kindError);
    const int64_t modified =
        kindError ? 0
                  : int64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                time.time_since_epoch())
                                .count());
    files.push_back(FolderFile{ToUtf8(it->path().filename()), modified});
  }
  return files;
}

bool MakeFolders(const std::string& folder) {
  std::error_code error;
  fs::create_directories(FromUtf8(folder), error);
  return fs::is_directory(FromUtf8(folder), error);
}

bool RemoveFile(const std::string& path) {
  std::error_code error;
  fs::remove(FromUtf8(path), error);
  return !error;
}

bool RenameFile(const std::string& from, const std::string& to) {
  std::error_code error;
  if (fs::exists(FromUtf8(to), error) || error) return false;
  fs::rename(FromUtf8(from), FromUtf8(to), error);
  return !error;
}

}  // namespace imagefiles
