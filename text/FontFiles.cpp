#include "text/FontFiles.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "text/SystemFonts.h"

namespace text {

namespace fs = std::filesystem;

namespace {

struct BundledFamily {
  const char* name;
  const char* regular;
  const char* bold;
  const char* italic;  // null: slanted from the upright face
  const char* boldItalic;
};

constexpr BundledFamily kBundled[] = {
    {"DejaVu Sans", "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
     "DejaVuSans-BoldOblique.ttf"},
    {"DejaVu Serif", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf",
     "DejaVuSerif-BoldItalic.ttf"},
    {"Dancing Script", "DancingScript-Regular.otf", "DancingScript-Bold.otf", nullptr, nullptr},
};

#ifdef _WIN32
// The C runtime keeps the program's full path.
fs::path ExecutableDirectory() {
  std::error_code error;
  if (_wpgmptr && *_wpgmptr) return fs::path(_wpgmptr).parent_path();
  return fs::current_path(error);
}
#else
fs::path ExecutableDirectory() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return fs::current_path(error);
  return exe.parent_path();
}
#endif

std::string FindBundledFontFolder() {
  const fs::path dir = ExecutableDirectory();
  const fs::path candidates[] = {dir / "fonts", dir / ".." / "share" / "tessary" / "fonts",
                                 dir / ".." / "fonts"};
  std::error_code error;
  for (const fs::path& candidate : candidates) {
    if (fs::is_regular_file(candidate / kBundled[0].regular, error))
      return fs::weakly_canonical(candidate, error).u8string();
  }
  return std::string();
}

FontFile InFolder(const std::string& folder, const char* name) {
  if (!name) return FontFile();
  std::error_code error;
  const fs::path path = fs::u8path(folder) / name;
  if (!fs::is_regular_file(path, error)) return FontFile();
  return FontFile{path.u8string(), 0};
}

}  // namespace

std::vector<std::string> BundledFamilies() {
  std::vector<std::string> names;
  for (const BundledFamily& family : kBundled) names.push_back(family.name);
  return names;
}

std::string BundledFontFolder() {
  static const std::string folder = FindBundledFontFolder();
  return folder;
}

bool FindFamily(const std::string& family, FamilyFaces* faces) {
  for (const BundledFamily& bundled : kBundled) {
    if (family != bundled.name) continue;
    const std::string folder = BundledFontFolder();
    if (folder.empty()) break;
    FamilyFaces found;
    found.regular = InFolder(folder, bundled.regular);
    if (found.regular.Empty()) break;
    found.bold = InFolder(folder, bundled.bold);
    found.italic = InFolder(folder, bundled.italic);
    found.boldItalic = InFolder(folder, bundled.boldItalic);
    *faces = found;
    return true;
  }
  const std::map<std::string, FamilyFaces>& system = SystemFamilies();
  const auto it = system.find(family);
  if (it == system.end() || it->second.regular.Empty()) return false;
  *faces = it->second;
  return true;
}

}  // namespace text
