#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "document/CardState.h"
#include "document/ProjectFormat.h"
#include "engine/raster/ImageReader.h"
#include "engine/raster/Raster.h"
#include "imagefiles/SaveResult.h"

namespace document {

// A project file (.tessary) is a zip container: card.json first (so that
// the desktop knows the type by its first bytes), thumbnail.png (the card,
// 256 pixels on its longer side), layout.jli (a custom layout, always),
// and, when the user asks for them, the photos under photos/.
constexpr char kCardJsonEntry[] = "card.json";
constexpr char kThumbnailEntry[] = "thumbnail.png";
constexpr char kLayoutEntry[] = "layout.jli";
constexpr uint32_t kThumbnailSide = 256;

// What a project file may hold, so that opening one stays bounded.
constexpr uint64_t kMaxProjectFileBytes = uint64_t(1) << 30;
constexpr size_t kMaxLayoutEntryBytes = size_t(256) << 20;
constexpr size_t kMaxPhotoEntryBytes = size_t(512) << 20;
constexpr size_t kMaxThumbnailEntryBytes = size_t(16) << 20;

// What a project knows beyond the card itself, kept from opening it to
// saving it again: what this version did not understand, and what it read
// about photos it could not find.
struct ProjectMemory {
  std::string cardJson;                  // card.json as read or last written
  std::vector<PhotoRecord> photos;       // per region: as the file described it
  std::vector<std::string> photoEntries;  // per region: the entry its photo was read from
  std::string sourcePath;                // the file read or written
  std::string autosaveOf;                // read from an autosave: the project it stands for
  bool photosCarried = false;            // the file carries its photos
};

enum class ProjectStatus {
  Ok,
  Unreadable,    // the file cannot be read
  NotProject,    // not a zip container, or no project inside
  Damaged,       // the container or card.json does not add up
  NewerVersion,  // made by a newer version
  DesignFailed,  // the design it names is not there or does not load
  TooLarge,
};

struct ProjectOpening {
  ProjectStatus status = ProjectStatus::Ok;
  // A phrase that follows the project's name: "was made by a newer version
  // of Tessary (project format 2.0; this version reads format 1)".
  std::string reason;
  std::vector<size_t> missingPhotos;  // regions whose photo was not found
  bool Ok() const { return status == ProjectStatus::Ok; }
};

// Opens the project at `path`: the design (the layout carried in the file),
// then each region's photo, looked for in this order: the copy carried in
// the file; the absolute path; the path relative to the project; a file of
// the same name and size anywhere under the project's folder (preferring one
// whose first bytes match); and last a file at either path that has changed
// since. A photo found nowhere leaves its region empty with its source kept,
// and is listed in missingPhotos. On failure `*state` and `*memory` are left
// as they were.
ProjectOpening ReadProject(const std::string& path, const engine::ImageReader& reader,
                           CardState* state, ProjectMemory* memory);

// Which photos a saved project carries.
enum class PhotoCopies {
  None,
  All,          // every photo the card shows (the user asked for them)
  Unavailable,  // those whose files are gone (an autosave of a card opened with its photos)
};

struct ProjectSaveOptions {
  PhotoCopies photos = PhotoCopies::None;
  bool thumbnail = true;
  std::string autosaveOf;  // an autosave: the project it stands for
};

struct ProjectSaving {
  imagefiles::SaveResult saved;
  // When the save could not start: a phrase about what was missing ("the
  // photo "beach.jpg" cannot be carried: its file has changed or is gone").
  std::string problem;
  bool Ok() const { return saved.Ok() && problem.empty(); }
};

// Writes `state` as a project at `path`, replacing a file there only once
// the new one is complete. `memory` (may be null) is what the card was
// opened from; on success it becomes what was written.
ProjectSaving WriteProject(const CardState& state, const std::string& path,
                           const ProjectSaveOptions& options, const engine::ImageReader& reader,
                           ProjectMemory* memory);

// The picture a project carries of its card (thumbnail.png), decoded as
// Rgb24, for file managers. On failure `reason` says why, as a phrase after
// the file's name.
bool ReadProjectThumbnail(const std::string& path, const engine::ImageReader& reader,
                          engine::Raster* picture, std::string* reason);

// "Anna's birthday" for ".../Anna's birthday.tessary": what titles and
// questions call a project.
std::string ProjectName(const std::string& path);

}  // namespace document
