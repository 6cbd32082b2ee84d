#pragma once

#include <string>
#include <vector>

#include "document/CardState.h"
#include "document/ProjectFile.h"
#include "engine/raster/ImageReader.h"

namespace document {

// The copy of the card that the window keeps in the user's state folder
// while the card has unsaved changes, so that a crash or a power cut loses
// at most the last few seconds. Each running copy of the program writes its
// own file, "autosave-HOST-PID.tessary", replaced in one step; a file whose
// process has ended is what the next start offers to restore.
class Autosave {
 public:
  // `folder` empty: there is nowhere to write, and nothing is written.
  explicit Autosave(std::string folder);

  const std::string& Folder() const { return folder_; }
  // The file this process writes.
  const std::string& Path() const { return path_; }

  // Writes the card as a project (no thumbnail; photos whose files are gone
  // carried from the project it was opened from). `projectPath` is the
  // project the card belongs to, or empty. `memory` is left as it was.
  ProjectSaving Write(const CardState& state, const ProjectMemory* memory,
                      const std::string& projectPath, const engine::ImageReader& reader);
  // Removes this process's file, as a normal close does.
  void Remove();
  // Makes an abandoned file (FindAbandoned) this process's own, so that it
  // is restored from and then kept up to date; false when it cannot be.
  bool TakeOver(const std::string& abandoned);

  // The files of copies of the program that ended without removing them,
  // newest first.
  static std::vector<std::string> FindAbandoned(const std::string& folder);

 private:
  std::string folder_;
  std::string path_;
};

}  // namespace document
