#include "document/Autosave.h"

#include <algorithm>
#include <utility>

#include "imagefiles/FilePaths.h"
#include "imagefiles/ProcessTag.h"

namespace document {

namespace {

constexpr char kPrefix[] = "autosave-";
constexpr char kSuffix[] = ".tessary";

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == '\\' ? folder + name : folder + "/" + name;
}

}  // namespace

Autosave::Autosave(std::string folder) : folder_(std::move(folder)) {
  if (!folder_.empty()) path_ = Join(folder_, kPrefix + imagefiles::ThisProcessTag() + kSuffix);
}

ProjectSaving Autosave::Write(const CardState& state, const ProjectMemory* memory,
                              const std::string& projectPath, const engine::ImageReader& reader) {
  ProjectSaving saving;
  if (path_.empty() || !imagefiles::MakeFolders(folder_)) {
    saving.problem = "there is no folder to keep it in";
    return saving;
  }
  ProjectSaveOptions options;
  options.photos = PhotoCopies::Unavailable;
  options.thumbnail = false;
  options.autosaveOf = projectPath;
  // What the project remembers stays the project's: the autosave is not it.
  ProjectMemory copy;
  if (memory) copy = *memory;
  return WriteProject(state, path_, options, reader, memory ? &copy : nullptr);
}

void Autosave::Remove() {
  if (!path_.empty()) imagefiles::RemoveFile(path_);
}

bool Autosave::TakeOver(const std::string& abandoned) {
  return !path_.empty() && imagefiles::RenameFile(abandoned, path_);
}

std::vector<std::string> Autosave::FindAbandoned(const std::string& folder) {
  const size_t prefix = sizeof kPrefix - 1;
  const size_t suffix = sizeof kSuffix - 1;
  std::vector<imagefiles::FolderFile> found;
  for (const imagefiles::FolderFile& file : imagefiles::FilesInFolder(folder)) {
    const std::string& name = file.name;
    if (name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSuffix) != 0)
      continue;
    if (imagefiles::ProcessOfTagEnded(name.substr(prefix, name.size() - prefix - suffix)))
      found.push_back(file);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.modified != b.modified ? a.modified > b.modified : a.name < b.name;
  });
  std::vector<std::string> paths;
  for (const imagefiles::FolderFile& file : found) paths.push_back(Join(folder, file.name));
  return paths;
}

}  // namespace document
