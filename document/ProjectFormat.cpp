#include "document/ProjectFormat.h"

#include <cmath>
#include <limits>
#include <new>

#include <nlohmann/json.hpp>

namespace document {

namespace {

// Insertion order, so that the file reads in the order it is written.
using Json = nlohmann::ordered_json;

// What a field failed of, in words a message can carry.
struct Problem {
  std::string* text;
  bool Fail(const std::string& field, const char* what) {
    *text = "is damaged: the field " + field + " " + what;
    return false;
  }
};

bool ReadString(const Json& object, const char* key, const std::string& where, std::string* out,
                Problem& problem, bool required = false) {
  const auto found = object.find(key);
  if (found == object.end()) return required ? problem.Fail(where + key, "is missing") : true;
  if (!found->is_string()) return problem.Fail(where + key, "is not a string");
  const std::string& value = found->get_ref<const std::string&>();
  if (value.size() > kMaxPathBytes || value.find('\0') != std::string::npos)
    return problem.Fail(where + key, "is not a usable name");
  *out = value;
  return true;
}

bool ReadFloat(const Json& object, const char* key, const std::string& where, float* out,
               Problem& problem) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number()) return problem.Fail(where + key, "is not a number");
  const double value = found->get<double>();
  const float narrowed = float(value);
  if (!std::isfinite(value) || !std::isfinite(narrowed))
    return problem.Fail(where + key, "is not a finite number");
  *out = narrowed;
  return true;
}

bool ReadInteger(const Json& object, const char* key, const std::string& where, int64_t low,
                 int64_t high, int64_t* out, Problem& problem) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number_integer()) return problem.Fail(where + key, "is not a whole number");
  const int64_t value = found->is_number_unsigned() && found->get<uint64_t>() > uint64_t(high)
                            ? high + 1
                            : found->get<int64_t>();
  if (value < low || value > high) return problem.Fail(where + key, "is out of range");
  *out = value;
  return true;
}

bool ReadFlag(const Json& object, const char* key, const std::string& where, bool* out,
              Problem& problem) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_boolean()) return problem.Fail(where + key, "is not true or false");
  *out = found->get<bool>();
  return true;
}

bool ReadSize(const Json& object, const char* key, const std::string& where, uint64_t* out,
              Problem& problem) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number_unsigned()) return problem.Fail(where + key, "is not a file size");
  *out = found->get<uint64_t>();
  return true;
}

bool ReadHash(const Json& object, const char* key, const std::string& where, uint64_t* out,
              Problem& problem) {
  std::string text;
  if (!ReadString(object, key, where, &text, problem)) return false;
  if (text.empty() && object.find(key) == object.end()) return true;
  if (!ParseHashText(text, out)) return problem.Fail(where + key, "is not a hash");
  return true;
}

bool ReadObject(const Json& parent, const char* key, const std::string& where, const Json** out,
                Problem& problem) {
  const auto found = parent.find(key);
  if (found == parent.end()) {
    *out = nullptr;
    return true;
  }
  if (!found->is_object()) return problem.Fail(where + key, "is not an object");
  *out = &*found;
  return true;
}

bool ReadPhoto(const Json& object, const std::string& where, PhotoRecord* photo, Problem& problem) {
  return ReadString(object, "path", where, &photo->path, problem, true) &&
         ReadString(object, "relativePath", where, &photo->relativePath, problem) &&
         ReadSize(object, "size", where, &photo->size, problem) &&
         ReadHash(object, "headHash", where, &photo->headHash, problem) &&
         ReadString(object, "entry", where, &photo->entry, problem) &&
         (!photo->path.empty() || problem.Fail(where + "path", "is empty"));
}

bool ReadRegion(const Json& object, const std::string& where, RegionRecord* region,
                Problem& problem) {
  const Json* photo = nullptr;
  int64_t turn = 0;
  if (!ReadObject(object, "photo", where, &photo, problem) ||
      !ReadFloat(object, "panX", where, &region->panX, problem) ||
      !ReadFloat(object, "panY", where, &region->panY, problem) ||
      !ReadFloat(object, "zoom", where, &region->zoom, problem) ||
      !ReadInteger(object, "turn", where, -1000000, 1000000, &turn, problem) ||
      !ReadFlag(object, "mirror", where, &region->mirror, problem))
    return false;
  if (region->zoom < 1.0f || region->zoom > 8.0f)
    return problem.Fail(where + "zoom", "is not between 1 and 8");
  region->turn = int((turn % 4 + 4) % 4);
  region->hasPhoto = photo != nullptr;
  return !photo || ReadPhoto(*photo, where + "photo.", &region->photo, problem);
}

bool ReadDesign(const Json& root, DesignRecord* design, Problem& problem) {
  const Json* object = nullptr;
  if (!ReadObject(root, "design", "", &object, problem)) return false;
  if (!object) return problem.Fail("design", "is missing");
  int64_t cycle = -1;
  if (!ReadInteger(root, "templateCycle", "", -1, 1000, &cycle, problem)) return false;
  design->templateCycle = int(cycle);
  const Json* layout = nullptr;
  if (!ReadObject(*object, "layout", "design.", &layout, problem)) return false;
  if (layout) {
    design->builtIn = -1;
    return ReadString(*layout, "path", "design.layout.", &design->layoutPath, problem, true) &&
           ReadString(*layout, "relativePath", "design.layout.", &design->layoutRelativePath,
                      problem) &&
           ReadHash(*layout, "hash", "design.layout.", &design->layoutHash, problem) &&
           ReadString(*layout, "entry", "design.layout.", &design->layoutEntry, problem);
  }
  int64_t index = -1;
  if (!ReadInteger(*object, "builtIn", "design.", 0, 1000, &index, problem) ||
      !ReadString(*object, "name", "design.", &design->name, problem))
    return false;
  if (index < 0 && design->name.empty())
    return problem.Fail("design", "names neither a built-in design nor a layout");
  design->builtIn = index < 0 ? 0 : int(index);
  return true;
}

// "M.n" with two small whole numbers.
bool ParseVersion(const std::string& text, int* major, int* minor) {
  const size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == text.size() || text.size() > 12)
    return false;
  const std::string a = text.substr(0, dot);
  const std::string b = text.substr(dot + 1);
  if (a.find_first_not_of("0123456789") != std::string::npos ||
      b.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *major = std::stoi(a);
  *minor = std::stoi(b);
  return true;
}

// Parses with every container deeper than kMaxJsonDepth refused, so that
// nothing later walks a deep tree; null when it is not JSON or too deep.
bool ParseBounded(const std::string& text, Json* out) {
  bool tooDeep = false;
  const Json::parser_callback_t depthCheck = [&tooDeep](int depth, Json::parse_event_t event,
                                                        Json&) {
    if ((event == Json::parse_event_t::object_start ||
         event == Json::parse_event_t::array_start) &&
        size_t(depth) >= kMaxJsonDepth) {
      tooDeep = true;
      return false;
    }
    return true;
  };
  Json parsed = Json::parse(text, depthCheck, false);
  if (parsed.is_discarded() || tooDeep) return false;
  *out = std::move(parsed);
  return true;
}

bool ReadNumber(const Json& object, const char* key, const std::string& where, double low,
                double high, double* out, Problem& problem) {
  const auto found = object.find(key);
  if (found == object.end()) return true;
  if (!found->is_number()) return problem.Fail(where + key, "is not a number");
  const double value = found->get<double>();
  if (!std::isfinite(value)) return problem.Fail(where + key, "is not a finite number");
  if (value < low || value > high) return problem.Fail(where + key, "is out of range");
  *out = value;
  return true;
}

constexpr const char* kAlignNames[] = {"left", "centre", "right"};
constexpr const char* kEffectNames[] = {"none", "shadow", "outline"};

bool ReadText(const Json& object, const std::string& where, text::TextBox* box,
              Problem& problem) {
  const auto words = object.find("words");
  if (words == object.end()) return problem.Fail(where + "words", "is missing");
  if (!words->is_string()) return problem.Fail(where + "words", "is not a string");
  box->words = words->get<std::string>();
  std::string colour, align, effect;
  if (!ReadNumber(object, "left", where, -16, 16, &box->left, problem) ||
      !ReadNumber(object, "top", where, -16, 16, &box->top, problem) ||
      !ReadNumber(object, "width", where, 0, 16, &box->width, problem) ||
      !ReadNumber(object, "height", where, 0, 16, &box->height, problem) ||
      !ReadNumber(object, "size", where, 0.1, 10000, &box->sizePoints, problem) ||
      !ReadString(object, "font", where, &box->font, problem) ||
      !ReadString(object, "colour", where, &colour, problem) ||
      !ReadFlag(object, "bold", where, &box->bold, problem) ||
      !ReadFlag(object, "italic", where, &box->italic, problem) ||
      !ReadString(object, "align", where, &align, problem) ||
      !ReadString(object, "effect", where, &effect, problem))
    return false;
  if (box->font.size() > kMaxFontNameBytes) return problem.Fail(where + "font", "is too long");
  if (object.contains("colour") && !ParseColourText(colour, &box->colour))
    return problem.Fail(where + "colour", "is not a colour");
  // What a newer version may add is read as the plain default.
  box->align = text::TextAlign::Centre;
  for (int i = 0; i < 3; ++i)
    if (align == kAlignNames[i]) box->align = text::TextAlign(i);
  box->effect = text::TextEffect::None;
  for (int i = 0; i < 3; ++i)
    if (effect == kEffectNames[i]) box->effect = text::TextEffect(i);
  return true;
}

bool ReadTexts(const Json& root, std::vector<text::TextBox>* texts, Problem& problem) {
  const auto found = root.find("texts");
  if (found == root.end()) return true;
  if (!found->is_array()) return problem.Fail("texts", "is not a list");
  if (found->size() > kMaxTexts) return problem.Fail("texts", "holds too many texts");
  texts->resize(found->size());
  for (size_t i = 0; i < found->size(); ++i) {
    const std::string where = "texts[" + std::to_string(i) + "]";
    const Json& object = (*found)[i];
    if (!object.is_object()) return problem.Fail(where, "is not an object");
    if (!ReadText(object, where + ".", &(*texts)[i], problem)) return false;
  }
  return true;
}

Json TextObject(const text::TextBox& box) {
  Json object = Json::object();
  object["words"] = box.words;
  object["left"] = box.left;
  object["top"] = box.top;
  object["width"] = box.width;
  object["height"] = box.height;
  object["font"] = box.font;
  object["size"] = box.sizePoints;
  object["colour"] = ColourText(box.colour);
  if (box.bold) object["bold"] = true;
  if (box.italic) object["italic"] = true;
  object["align"] = kAlignNames[int(box.align) % 3];
  object["effect"] = kEffectNames[int(box.effect) % 3];
  return object;
}

void SetPhoto(Json& object, const PhotoRecord& photo) {
  object["path"] = photo.path;
  if (photo.relativePath.empty()) {
    object.erase("relativePath");
  } else {
    object["relativePath"] = photo.relativePath;
  }
  object["size"] = photo.size;
  object["headHash"] = HashText(photo.headHash);
  if (photo.entry.empty()) {
    object.erase("entry");
  } else {
    object["entry"] = photo.entry;
  }
}

}  // namespace

std::string ColourText(uint32_t colour) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text = "#";
  const uint32_t rgba = (colour << 8) | (colour >> 24);
  const int digits = (colour >> 24) == 0xff ? 6 : 8;
  for (int i = 0; i < digits; ++i) text += kDigits[(rgba >> (28 - 4 * i)) & 15];
  return text;
}

bool ParseColourText(const std::string& text, uint32_t* colour) {
  if (text.empty() || text[0] != '#') return false;
  std::string digits = text.substr(1);
  if (digits.size() == 3) digits = {digits[0], digits[0], digits[1], digits[1], digits[2], digits[2]};
  if (digits.size() == 6) digits += "ff";
  if (digits.size() != 8) return false;
  uint32_t rgba = 0;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    rgba = rgba << 4 | uint32_t(digit);
  }
  *colour = (rgba >> 8) | (rgba << 24);
  return true;
}

std::string HashText(uint64_t hash) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) text[size_t(i)] = kDigits[hash & 15];
  return text;
}

bool ParseHashText(const std::string& text, uint64_t* hash) {
  if (text.size() != 16) return false;
  uint64_t value = 0;
  for (const char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    value = value << 4 | uint64_t(digit);
  }
  *hash = value;
  return true;
}

CardJsonStatus ParseCardJson(const std::string& text, ProjectRecord* record,
                             std::string* problemText) {
  Problem problem{problemText};
  if (text.size() > kMaxCardJsonBytes) {
    *problemText = "has a description (card.json) too large to read";
    return CardJsonStatus::NotProject;
  }
  Json root;
  try {
    if (!ParseBounded(text, &root) || !root.is_object()) {
      *problemText = "is not a Tessary project (its card.json is not JSON)";
      return CardJsonStatus::NotProject;
    }
    std::string format;
    std::string version;
    if (!ReadString(root, "format", "", &format, problem) || format != kProjectFormatName) {
      *problemText = "is not a Tessary project";
      return CardJsonStatus::NotProject;
    }
    ProjectRecord parsed;
    if (!ReadString(root, "version", "", &version, problem, true))
      return CardJsonStatus::Invalid;
    if (!ParseVersion(version, &parsed.major, &parsed.minor) || parsed.major < 1) {
      problem.Fail("version", "is not a format version");
      return CardJsonStatus::Invalid;
    }
    if (parsed.major > kProjectFormatMajor) {
      *problemText = "was made by a newer version of Tessary (project format " + version +
                     "; this version reads format " + std::to_string(kProjectFormatMajor) + ")";
      return CardJsonStatus::NewerVersion;
    }
    if (!ReadDesign(root, &parsed.design, problem) ||
        !ReadString(root, "autosaveOf", "", &parsed.autosaveOf, problem) ||
        !ReadTexts(root, &parsed.texts, problem))
      return CardJsonStatus::Invalid;
    const auto regions = root.find("regions");
    if (regions == root.end() || !regions->is_array()) {
      problem.Fail("regions", regions == root.end() ? "is missing" : "is not a list");
      return CardJsonStatus::Invalid;
    }
    if (regions->size() > kMaxRegions) {
      problem.Fail("regions", "holds too many regions");
      return CardJsonStatus::Invalid;
    }
    parsed.regions.resize(regions->size());
    for (size_t i = 0; i < regions->size(); ++i) {
      const std::string where = "regions[" + std::to_string(i) + "]";
      const Json& region = (*regions)[i];
      if (!region.is_object()) {
        problem.Fail(where, "is not an object");
        return CardJsonStatus::Invalid;
      }
      if (!ReadRegion(region, where + ".", &parsed.regions[i], problem))
        return CardJsonStatus::Invalid;
    }
    *record = std::move(parsed);
  } catch (const std::bad_alloc&) {
    *problemText = "has a description (card.json) too large to hold in memory";
    return CardJsonStatus::NotProject;
  } catch (const nlohmann::json::exception&) {
    // Every access above is checked first; this is a last guard.
    *problemText = "has a description (card.json) that cannot be read";
    return CardJsonStatus::Invalid;
  }
  return CardJsonStatus::Ok;
}

std::string MakeCardJson(const ProjectRecord& record, const std::string& kept) {
  Json root = Json::object();
  // What a project was read from is kept as it was, except what this
  // version writes anew.
  if (!kept.empty()) {
    Json old;
    if (ParseBounded(kept, &old) && old.is_object()) root = std::move(old);
  }
  Json oldRegions = Json::array();
  if (root.contains("regions") && root["regions"].is_array()) oldRegions = root["regions"];

  root["format"] = kProjectFormatName;
  root["version"] =
      std::to_string(kProjectFormatMajor) + "." + std::to_string(kProjectFormatMinor);
  root["generator"] = "Tessary 1.0";

  // The design keeps what a newer version wrote about it while it is the
  // same design.
  Json design = Json::object();
  if (root.contains("design") && root["design"].is_object()) {
    const Json& old = root["design"];
    const bool sameLayout = record.design.IsLayout() && old.contains("layout") &&
                            old["layout"].is_object() && old["layout"].contains("hash") &&
                            old["layout"]["hash"] == HashText(record.design.layoutHash);
    const bool sameBuiltIn = !record.design.IsLayout() && old.contains("name") &&
                             old["name"] == record.design.name;
    if (sameLayout || sameBuiltIn) design = old;
  }
  if (record.design.IsLayout()) {
    Json layout = design.contains("layout") && design["layout"].is_object() ? design["layout"]
                                                                            : Json::object();
    layout["path"] = record.design.layoutPath;
    if (record.design.layoutRelativePath.empty()) {
      layout.erase("relativePath");
    } else {
      layout["relativePath"] = record.design.layoutRelativePath;
    }
    layout["hash"] = HashText(record.design.layoutHash);
    if (record.design.layoutEntry.empty()) {
      layout.erase("entry");
    } else {
      layout["entry"] = record.design.layoutEntry;
    }
    design.erase("builtIn");
    design.erase("name");
    design["layout"] = std::move(layout);
  } else {
    design.erase("layout");
    design["builtIn"] = record.design.builtIn;
    design["name"] = record.design.name;
  }
  root["design"] = std::move(design);
  root["templateCycle"] = record.design.templateCycle;

  Json regions = Json::array();
  for (size_t i = 0; i < record.regions.size(); ++i) {
    const RegionRecord& region = record.regions[i];
    Json object = Json::object();
    // A region keeps what a newer version wrote about it while its photo is
    // the same file; a new photo starts afresh.
    if (i < oldRegions.size() && oldRegions[i].is_object()) {
      const Json& old = oldRegions[i];
      const auto oldPhoto = old.find("photo");
      const bool samePhoto =
          oldPhoto != old.end() && oldPhoto->is_object() && region.hasPhoto &&
          oldPhoto->contains("path") && oldPhoto->at("path") == region.photo.path;
      const bool bothEmpty = oldPhoto == old.end() && !region.hasPhoto;
      if (samePhoto || bothEmpty) object = old;
    }
    if (region.hasPhoto) {
      Json photo = object.contains("photo") && object["photo"].is_object() ? object["photo"]
                                                                          : Json::object();
      SetPhoto(photo, region.photo);
      object["photo"] = std::move(photo);
    } else {
      object.erase("photo");
    }
    object["panX"] = region.panX;
    object["panY"] = region.panY;
    object["zoom"] = region.zoom;
    object["turn"] = region.turn;
    if (region.mirror) {
      object["mirror"] = true;
    } else {
      object.erase("mirror");
    }
    regions.push_back(std::move(object));
  }
  root["regions"] = std::move(regions);
  if (record.texts.empty()) {
    root.erase("texts");
  } else {
    Json texts = Json::array();
    for (const text::TextBox& box : record.texts) texts.push_back(TextObject(box));
    root["texts"] = std::move(texts);
  }
  if (record.autosaveOf.empty()) {
    root.erase("autosaveOf");
  } else {
    root["autosaveOf"] = record.autosaveOf;
  }
  // Paths that are not UTF-8 cannot be JSON strings; their odd bytes become
  // U+FFFD, and the photo is then found by its other traits.
  return root.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace document
