#include "document/ProjectFile.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "document/BuiltInDesigns.h"
#include "document/CardExport.h"
#include "document/PhotoFile.h"
#include "document/PhotoLocator.h"
#include "engine/card/PhotoPlacement.h"
#include "engine/card/PhotoTurn.h"
#include "engine/compose/CardCompositor.h"
#include "imagefiles/ContentHash.h"
#include "imagefiles/FilePaths.h"
#include "imagefiles/ImageStatusText.h"
#include "imagefiles/ReadContainerFile.h"
#include "imagefiles/LayoutFile.h"
#include "imagefiles/PathNames.h"
#include "imagefiles/PngInMemory.h"
#include "imagefiles/ZipContainer.h"
#include "text/DrawTexts.h"

namespace document {

namespace {

using Bytes = std::vector<uint8_t>;

ProjectOpening Refused(ProjectStatus status, std::string reason) {
  ProjectOpening opening;
  opening.status = status;
  opening.reason = std::move(reason);
  return opening;
}

ProjectStatus StatusOfZip(imagefiles::ZipStatus status) {
  switch (status) {
    case imagefiles::ZipStatus::NotZip:
      return ProjectStatus::NotProject;
    case imagefiles::ZipStatus::TooLarge:
    case imagefiles::ZipStatus::OutOfMemory:
      return ProjectStatus::TooLarge;
    default:
      return ProjectStatus::Damaged;
  }
}

// The folder paths in a project are relative to: an autosave's are the
// project's it stands for.
std::string BaseFolder(const std::string& projectPath, const std::string& autosaveOf) {
  return imagefiles::FolderOf(imagefiles::AbsolutePath(autosaveOf.empty() ? projectPath
                                                                           : autosaveOf));
}

int BuiltInIndexOf(const DesignRecord& design) {
  for (int i = 0; i < BuiltInDesignCount(); ++i)
    if (design.name == BuiltInDesignAt(i)->name) return i;
  // A name this version does not know: the place decides only without one.
  if (!design.name.empty()) return -1;
  return BuiltInDesignAt(design.builtIn) ? design.builtIn : -1;
}

// The layout file's bytes: the copy the project carries, else the file at
// either path when it is still the one that was saved.
bool FindLayoutBytes(const DesignRecord& design, const imagefiles::ZipReader& container,
                     const std::string& baseFolder, const engine::ImageReader& reader,
                     Bytes* bytes, std::string* foundAt) {
  if (!design.layoutEntry.empty() && container.Has(design.layoutEntry)) {
    if (container.Read(design.layoutEntry, kMaxLayoutEntryBytes, bytes) ==
        imagefiles::ZipStatus::Ok) {
      *foundAt = design.layoutPath;
      return true;
    }
    return false;
  }
  const std::string relative = design.layoutRelativePath.empty()
                                   ? std::string()
                                   : imagefiles::UnderFolder(baseFolder, design.layoutRelativePath);
  for (const std::string& path : {design.layoutPath, relative}) {
    if (path.empty() || !reader.ReadFile(path, bytes)) continue;
    if (design.layoutHash != 0 &&
        imagefiles::ContentHash(bytes->data(), bytes->size()) != design.layoutHash)
      continue;
    *foundAt = path;
    return true;
  }
  return false;
}

// The card's design from the record: a built-in one or the layout.
ProjectOpening MakeDesign(const DesignRecord& record, const imagefiles::ZipReader& container,
                          const std::string& baseFolder, const engine::ImageReader& reader,
                          CardState* state) {
  engine::Raster map;
  engine::Raster overlay;
  DesignSource design;
  design.cycleIndex = record.templateCycle;
  if (!record.IsLayout()) {
    const int index = BuiltInIndexOf(record);
    if (index < 0)
      return Refused(ProjectStatus::DesignFailed, "uses a built-in design this version lacks (\"" +
                                                      record.name + "\")");
    if (!LoadBuiltInDesign(index, reader, &map, &overlay))
      return Refused(ProjectStatus::DesignFailed,
                     "uses a built-in design that is missing from this build");
    design.builtInIndex = index;
    if (design.cycleIndex < 0) design.cycleIndex = index;
  } else {
    auto bytes = std::make_shared<Bytes>();
    std::string foundAt;
    const std::string layoutName = "\"" + imagefiles::FileNameOf(record.layoutPath) + "\"";
    if (!FindLayoutBytes(record, container, baseFolder, reader, bytes.get(), &foundAt))
      return Refused(ProjectStatus::DesignFailed,
                     "needs the layout " + layoutName + ", which it does not carry and which "
                     "was not found");
    imagefiles::LayoutLayers layers;
    imagefiles::LayoutStatus status;
    try {
      status = imagefiles::ReadLayoutLayers(bytes->data(), bytes->size(), reader, &layers);
    } catch (const std::bad_alloc&) {
      status = imagefiles::LayoutStatus::TooLarge;
    }
    if (status != imagefiles::LayoutStatus::Ok)
      return Refused(ProjectStatus::DesignFailed, "holds a layout (" + layoutName + ") that " +
                                                      imagefiles::LayoutStatusText(status));
    map = std::move(layers.regionMap);
    overlay = std::move(layers.overlay);
    design.layoutPath = foundAt;
    design.layoutHash = imagefiles::ContentHash(bytes->data(), bytes->size());
    design.layoutFile = std::move(bytes);
  }
  if (!engine::SetTemplate(state->card, std::move(map), std::move(overlay)))
    return Refused(ProjectStatus::DesignFailed, "holds a layout that cannot be used");
  state->design = std::move(design);
  return ProjectOpening();
}

// A name for a photo's copy in the container: its place and its own name,
// in letters the entry names allow.
std::string PhotoEntryName(size_t region, const std::string& path) {
  std::string name;
  const size_t slash = path.find_last_of("/\\");
  for (const char c : path.substr(slash == std::string::npos ? 0 : slash + 1)) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    name.push_back(plain ? c : '_');
    if (name.size() == 64) break;
  }
  if (name.empty() || name.front() == '.') name.insert(name.begin(), 'p');
  return "photos/" + std::to_string(region) + "-" + name;
}

// Where a saved project's photo bytes come from: the file, or the project
// the card was opened from, whichever still holds the bytes that were read.
class PhotoBytes {
 public:
  PhotoBytes(const engine::ImageReader& reader, const ProjectMemory* memory)
      : reader_(reader), memory_(memory) {}

  // True when the file at the source's path is still the photo.
  bool FromFile(const PhotoSource& source, Bytes* bytes) const {
    return reader_.ReadFile(source.path, bytes) && Same(source, *bytes);
  }

  bool FromEarlierProject(size_t region, const PhotoSource& source, Bytes* bytes) {
    if (!memory_ || region >= memory_->photoEntries.size() ||
        memory_->photoEntries[region].empty() || memory_->sourcePath.empty())
      return false;
    if (!opened_) {
      opened_ = true;
      Bytes file;
      engine::FileStamp stamp;
      if (imagefiles::ReadContainerFile(memory_->sourcePath, kMaxProjectFileBytes, &file, &stamp) &&
          stamp.size <= kMaxProjectFileBytes)
        earlierOk_ = earlier_.Open(std::move(file)) == imagefiles::ZipStatus::Ok;
    }
    return earlierOk_ &&
           earlier_.Read(memory_->photoEntries[region], kMaxPhotoEntryBytes, bytes) ==
               imagefiles::ZipStatus::Ok &&
           Same(source, *bytes);
  }

 private:
  static bool Same(const PhotoSource& source, const Bytes& bytes) {
    return (source.fileSize == 0 || source.fileSize == bytes.size()) &&
           (source.headHash == 0 || source.headHash == PhotoHeadHash(bytes.data(), bytes.size()));
  }

  const engine::ImageReader& reader_;
  const ProjectMemory* memory_;
  bool opened_ = false;
  bool earlierOk_ = false;
  imagefiles::ZipReader earlier_;
};

// The card at kThumbnailSide pixels on its longer side, as a PNG.
bool MakeThumbnail(const CardState& state, Bytes* png) {
  const engine::Card& card = state.card;
  const uint32_t w = card.cardTemplate.width;
  const uint32_t h = card.cardTemplate.height;
  if (!card.cardTemplate.Installed()) return false;
  const uint32_t tw = w >= h ? kThumbnailSide : std::max<uint32_t>(1, uint32_t(uint64_t(kThumbnailSide) * w / h));
  const uint32_t th = w >= h ? std::max<uint32_t>(1, uint32_t(uint64_t(kThumbnailSide) * h / w)) : kThumbnailSide;
  const uint32_t stride = engine::CardImageStride(tw);
  Bytes pixels(size_t(stride) * th);
  engine::RenderCard(card, int32_t(tw), int32_t(th), pixels.data(), int32_t(stride), false);
  if (!state.texts.empty())
    text::DrawTexts(pixels.data(), stride, tw, th, CardPixelsPerInch(state) * tw / w, state.texts);
  return imagefiles::EncodePngInMemory(pixels.data(), tw, th, stride, png);
}

}  // namespace

bool ReadProjectThumbnail(const std::string& path, const engine::ImageReader& reader,
                          engine::Raster* picture, std::string* reason) {
  try {
    Bytes file;
    engine::FileStamp stamp;
    const engine::ImageStatus read =
        imagefiles::ReadContainerFile(path, kMaxProjectFileBytes, &file, &stamp);
    if (!read) {
      *reason = imagefiles::ImageStatusText(read);
      return false;
    }
    if (stamp.size > kMaxProjectFileBytes) {
      *reason = "is larger than a project may be (1 GiB)";
      return false;
    }
    imagefiles::ZipReader container;
    imagefiles::ZipStatus status = container.Open(std::move(file));
    Bytes png;
    if (status == imagefiles::ZipStatus::Ok)
      status = container.Read(kThumbnailEntry, kMaxThumbnailEntryBytes, &png);
    if (status == imagefiles::ZipStatus::NoSuchEntry) {
      *reason = "carries no picture of its card";
      return false;
    }
    if (status != imagefiles::ZipStatus::Ok) {
      *reason = imagefiles::ZipStatusText(status);
      return false;
    }
    engine::Raster decoded;
    if (!reader.Decode(png.data(), uint32_t(png.size()), false, &decoded) || decoded.Empty() ||
        decoded.width > 4 * kThumbnailSide || decoded.height > 4 * kThumbnailSide) {
      *reason = "carries a picture of its card that cannot be read";
      return false;
    }
    *picture = std::move(decoded);
    return true;
  } catch (const std::bad_alloc&) {
    *reason = "needs more memory than is available";
    return false;
  }
}

std::string ProjectName(const std::string& path) {
  std::string name = imagefiles::FileNameOf(path);
  const std::string extension = ".tessary";
  if (name.size() > extension.size() &&
      imagefiles::FoldAsciiCase(name.substr(name.size() - extension.size())) == extension)
    name.resize(name.size() - extension.size());
  return name;
}

ProjectOpening ReadProject(const std::string& path, const engine::ImageReader& reader,
                           CardState* stateOut, ProjectMemory* memoryOut) {
  try {
    Bytes file;
    engine::FileStamp stamp;
    const engine::ImageStatus read =
        imagefiles::ReadContainerFile(path, kMaxProjectFileBytes, &file, &stamp);
    if (!read) return Refused(ProjectStatus::Unreadable, imagefiles::ImageStatusText(read));
    if (stamp.size > kMaxProjectFileBytes)
      return Refused(ProjectStatus::TooLarge, "is larger than a project may be (1 GiB)");
    imagefiles::ZipReader container;
    const imagefiles::ZipStatus opened = container.Open(std::move(file));
    if (opened != imagefiles::ZipStatus::Ok)
      return Refused(StatusOfZip(opened), imagefiles::ZipStatusText(opened));

    Bytes json;
    const imagefiles::ZipStatus jsonRead = container.Read(kCardJsonEntry, kMaxCardJsonBytes, &json);
    if (jsonRead == imagefiles::ZipStatus::NoSuchEntry)
      return Refused(ProjectStatus::NotProject, "is not a Tessary project (it holds no card.json)");
    if (jsonRead == imagefiles::ZipStatus::TooLarge)
      return Refused(ProjectStatus::TooLarge, "has a description (card.json) too large to read");
    if (jsonRead != imagefiles::ZipStatus::Ok)
      return Refused(StatusOfZip(jsonRead), imagefiles::ZipStatusText(jsonRead));
    ProjectRecord record;
    std::string problem;
    const std::string text(json.begin(), json.end());
    switch (ParseCardJson(text, &record, &problem)) {
      case CardJsonStatus::Ok:
        break;
      case CardJsonStatus::NotProject:
        return Refused(ProjectStatus::NotProject, problem);
      case CardJsonStatus::NewerVersion:
        return Refused(ProjectStatus::NewerVersion, problem);
      case CardJsonStatus::Invalid:
        return Refused(ProjectStatus::Damaged, problem);
    }

    const std::string base = BaseFolder(path, record.autosaveOf);
    CardState state;
    engine::Raster tile = LoadPlaceholderTile(reader);
    if (!tile.Empty())
      state.card.placeholderTile = std::make_shared<const engine::Raster>(std::move(tile));
    ProjectOpening opening = MakeDesign(record.design, container, base, reader, &state);
    if (!opening.Ok()) return opening;

    // Regions the design lacks stay as hidden slots, photos and all, as
    // when the design was changed in the window.
    engine::SlotList& slots = state.card.slots;
    if (slots.size() < record.regions.size()) slots.resize(record.regions.size());
    state.photos.assign(slots.size(), PhotoSource{});

    std::vector<PhotoSearch> searches;
    std::vector<size_t> searched;
    for (size_t i = 0; i < record.regions.size(); ++i) {
      if (!record.regions[i].hasPhoto) continue;
      PhotoSearch search;
      search.record = record.regions[i].photo;
      searches.push_back(std::move(search));
      searched.push_back(i);
    }
    LocatePhotos(searches, &container, base, reader);

    ProjectMemory memory;
    memory.cardJson = text;
    memory.photos.resize(slots.size());
    memory.photoEntries.resize(slots.size());
    memory.sourcePath = path;
    memory.autosaveOf = record.autosaveOf;
    for (size_t k = 0; k < searches.size(); ++k) {
      const size_t i = searched[k];
      PhotoSearch& search = searches[k];
      memory.photos[i] = search.record;
      // Turned as the user left it, also when found later.
      search.source.turn = engine::TurnState{uint8_t(record.regions[i].turn),
                                             record.regions[i].mirror};
      if (search.found) engine::ApplyTurnState(search.photo, search.source.turn);
      if (search.found && !engine::PutPhoto(slots, i, std::move(search.photo)))
        search.found = false;
      state.photos[i] = search.source;
      if (!search.found) opening.missingPhotos.push_back(i);
      memory.photoEntries[i] = search.entry;
      if (!search.entry.empty()) memory.photosCarried = true;
    }
    // Framing as saved, also for a region whose photo is missing, so that
    // the photo found later shows as it did.
    for (size_t i = 0; i < record.regions.size(); ++i) {
      slots[i].panX = record.regions[i].panX;
      slots[i].panY = record.regions[i].panY;
      slots[i].zoom = record.regions[i].zoom;
    }
    state.texts = std::move(record.texts);
    *stateOut = std::move(state);
    *memoryOut = std::move(memory);
    return opening;
  } catch (const std::bad_alloc&) {
    return Refused(ProjectStatus::TooLarge, "needs more memory than is available");
  }
}

ProjectSaving WriteProject(const CardState& state, const std::string& path,
                           const ProjectSaveOptions& options, const engine::ImageReader& reader,
                           ProjectMemory* memory) {
  ProjectSaving saving;
  try {
    const std::string target = imagefiles::AbsolutePath(path);
    const std::string base = BaseFolder(target, options.autosaveOf);
    ProjectRecord record;
    record.autosaveOf = options.autosaveOf.empty() ? std::string()
                                                   : imagefiles::AbsolutePath(options.autosaveOf);
    std::vector<imagefiles::ZipEntry> entries(1);
    entries[0].name = kCardJsonEntry;

    // The design, and a custom layout's bytes, always carried.
    const DesignSource& design = state.design;
    record.design.templateCycle = design.cycleIndex;
    std::shared_ptr<const Bytes> layout;
    if (design.IsBuiltIn()) {
      record.design.builtIn = design.builtInIndex;
      const BuiltInDesign* builtIn = BuiltInDesignAt(design.builtInIndex);
      record.design.name = builtIn ? builtIn->name : "";
    } else {
      layout = design.layoutFile;
      if (!layout) {
        auto bytes = std::make_shared<Bytes>();
        if (reader.ReadFile(design.layoutPath, bytes.get()) &&
            imagefiles::ContentHash(bytes->data(), bytes->size()) == design.layoutHash)
          layout = std::move(bytes);
      }
      if (!layout) {
        saving.problem = "the layout \"" + imagefiles::FileNameOf(design.layoutPath) +
                         "\" cannot be carried: its file has changed or is gone";
        return saving;
      }
      record.design.layoutPath = imagefiles::AbsolutePath(design.layoutPath);
      record.design.layoutRelativePath = imagefiles::RelativePath(record.design.layoutPath, base);
      record.design.layoutHash = design.layoutHash;
      record.design.layoutEntry = kLayoutEntry;
    }

    // Each region: its framing and where its photo is; the photos carried
    // as asked.
    PhotoBytes photoBytes(reader, memory);
    record.texts = state.texts;
    const size_t count = std::min(state.card.slots.size(), state.photos.size());
    record.regions.resize(count);
    std::vector<std::unique_ptr<Bytes>> carried;
    std::vector<std::string> entryOf(count);
    std::vector<PhotoRecord> photoRecords(count);
    for (size_t i = 0; i < count; ++i) {
      const engine::PhotoSlot& slot = state.card.slots[i];
      const PhotoSource& source = state.photos[i];
      RegionRecord& region = record.regions[i];
      region.panX = slot.panX;
      region.panY = slot.panY;
      region.zoom = slot.zoom;
      region.turn = source.turn.quarters;
      region.mirror = source.turn.mirrored;
      if (source.Empty()) continue;
      region.hasPhoto = true;
      const bool recorded = memory && i < memory->photos.size() &&
                            memory->photos[i].path == source.path;
      if (!slot.HasPhoto() && recorded) {
        // Not found when it was opened: kept as the file described it.
        region.photo = memory->photos[i];
        region.photo.entry.clear();
      } else {
        region.photo.path = imagefiles::AbsolutePath(source.path);
        region.photo.relativePath = imagefiles::RelativePath(region.photo.path, base);
        region.photo.size = source.fileSize;
        region.photo.headHash = source.headHash;
      }
      photoRecords[i] = region.photo;
      if (!slot.HasPhoto() || options.photos == PhotoCopies::None) continue;
      auto bytes = std::make_unique<Bytes>();
      const bool fromFile = photoBytes.FromFile(source, bytes.get());
      if (options.photos == PhotoCopies::Unavailable && fromFile) continue;
      if (!fromFile && !photoBytes.FromEarlierProject(i, source, bytes.get())) {
        if (options.photos == PhotoCopies::Unavailable) continue;
        saving.problem = "the photo \"" + imagefiles::FileNameOf(source.path) +
                         "\" cannot be carried: its file has changed or is gone";
        return saving;
      }
      region.photo.entry = PhotoEntryName(i, source.path);
      entryOf[i] = region.photo.entry;
      carried.push_back(std::move(bytes));
      entries.push_back(imagefiles::ZipEntry{region.photo.entry, carried.back()->data(),
                                             carried.back()->size(), false});
    }

    const std::string json = MakeCardJson(record, memory ? memory->cardJson : std::string());
    entries[0].data = reinterpret_cast<const uint8_t*>(json.data());
    entries[0].size = json.size();
    Bytes thumbnail;
    if (options.thumbnail && MakeThumbnail(state, &thumbnail))
      entries.insert(entries.begin() + 1,
                     imagefiles::ZipEntry{kThumbnailEntry, thumbnail.data(), thumbnail.size(), false});
    if (layout)
      entries.insert(entries.begin() + (thumbnail.empty() ? 1 : 2),
                     imagefiles::ZipEntry{kLayoutEntry, layout->data(), layout->size(), false});

    saving.saved = imagefiles::WriteZip(path, entries);
    if (!saving.saved || !memory) return saving;
    memory->cardJson = json;
    memory->photos = std::move(photoRecords);
    memory->photoEntries = std::move(entryOf);
    memory->sourcePath = path;
    memory->autosaveOf = record.autosaveOf;
    memory->photosCarried = options.photos == PhotoCopies::All;
  } catch (const std::bad_alloc&) {
    saving.saved = imagefiles::SaveResult::Failed(
        imagefiles::SaveStep::Encode, std::make_error_code(std::errc::not_enough_memory));
  }
  return saving;
}

}  // namespace document
