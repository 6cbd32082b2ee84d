#include "text/SystemFonts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#else
#include <fontconfig/fontconfig.h>
#endif

namespace text {

namespace {

// One face the system has, on the CSS weight scale (400 regular, 700 bold).
struct SystemFace {
  std::string family;
  FontFile file;
  int weight = 400;
  bool italic = false;
};

// How far `face` is from what a style slot wants; lower is better, and the
// path breaks ties so that the choice does not depend on listing order.
std::tuple<int, int, std::string, int> Distance(const SystemFace& face, int weight, bool italic) {
  return {face.italic == italic ? 0 : 1, std::abs(face.weight - weight), face.file.path,
          face.file.index};
}

std::map<std::string, FamilyFaces> Gather(const std::vector<SystemFace>& listed) {
  struct Best {
    const SystemFace* slot[4] = {nullptr, nullptr, nullptr, nullptr};
  };
  std::map<std::string, Best> best;
  for (const SystemFace& face : listed) {
    if (face.family.empty() || face.file.path.empty()) continue;
    Best& family = best[face.family];
    for (int slot = 0; slot < 4; ++slot) {
      const int weight = slot & 1 ? 700 : 400;
      const bool italic = slot & 2;
      if (!family.slot[slot] ||
          Distance(face, weight, italic) < Distance(*family.slot[slot], weight, italic))
        family.slot[slot] = &face;
    }
  }
  std::map<std::string, FamilyFaces> families;
  for (const auto& entry : best) {
    const Best& found = entry.second;
    FamilyFaces faces;
    faces.regular = found.slot[0]->file;
    // A style is only the family's own when the face is really that style;
    // otherwise it is made from the regular face.
    auto own = [&](int slot, int weight, bool italic) {
      const SystemFace* face = found.slot[slot];
      const bool heavy = face->weight >= 600;
      return face->italic == italic && heavy == (weight >= 600) ? face->file : FontFile();
    };
    faces.bold = own(1, 700, false);
    faces.italic = own(2, 400, true);
    faces.boldItalic = own(3, 700, true);
    families[entry.first] = faces;
  }
  return families;
}

#ifdef _WIN32

namespace fs = std::filesystem;

unsigned long ReadStream(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                         unsigned long count) {
  FILE* file = static_cast<FILE*>(stream->descriptor.pointer);
  if (_fseeki64(file, int64_t(offset), SEEK_SET) != 0) return count == 0 ? 1 : 0;
  return count == 0 ? 0 : (unsigned long)std::fread(buffer, 1, count, file);
}

void CloseStream(FT_Stream) {}

// Reads the names and styles of every face in a font file without loading it
// whole: a fonts folder holds hundreds of megabytes.
void ReadFaces(FT_Library library, const fs::path& path, std::vector<SystemFace>* faces) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return;
  std::error_code error;
  const uintmax_t size = fs::file_size(path, error);
  if (!error && size > 0 && size < 0x7fffffff) {
    FT_StreamRec stream{};
    stream.size = (unsigned long)size;
    stream.descriptor.pointer = file;
    stream.read = ReadStream;
    stream.close = CloseStream;
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = &stream;
    long count = 1;
    for (long index = 0; index < count && index < 64; ++index) {
      FT_Face face = nullptr;
      if (FT_Open_Face(library, &args, index, &face) != 0) break;
      count = face->num_faces;
      if (FT_IS_SCALABLE(face) && face->family_name) {
        SystemFace found;
        found.family = face->family_name;
        found.file = FontFile{path.u8string(), int(index)};
        found.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        found.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)))
          if (os2->usWeightClass >= 100 && os2->usWeightClass <= 1000)
            found.weight = os2->usWeightClass;
        faces->push_back(found);
      }
      FT_Done_Face(face);
    }
  }
  std::fclose(file);
}

std::vector<SystemFace> ListFaces() {
  std::vector<fs::path> folders;
  const wchar_t* windows = _wgetenv(L"WINDIR");
  if (!windows || !*windows) windows = _wgetenv(L"SystemRoot");
  folders.push_back(fs::path(windows && *windows ? windows : L"C:\\Windows") / L"Fonts");
  // Fonts installed for one user only.
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && *local)
    folders.push_back(fs::path(local) / L"Microsoft" / L"Windows" / L"Fonts");
  std::vector<SystemFace> faces;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return faces;
  for (const fs::path& folder : folders) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::wstring ext = it->path().extension().wstring();
      for (wchar_t& c : ext) c = wchar_t(std::towlower(wint_t(c)));
      if (ext == L".ttf" || ext == L".otf" || ext == L".ttc" || ext == L".otc")
        ReadFaces(library, it->path(), &faces);
    }
  }
  FT_Done_FreeType(library);
  return faces;
}

#else

std::vector<SystemFace> ListFaces() {
  std::vector<SystemFace> faces;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return faces;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT,
                                          FC_FONTFORMAT, FC_OUTLINE, nullptr);
  FcFontSet* set = pattern && objects ? FcFontList(config, pattern, objects) : nullptr;
  for (int i = 0; set && i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* family = nullptr;
    FcChar8* file = nullptr;
    FcChar8* format = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcBool outline = FcFalse;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch ||
        FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
        FcPatternGetBool(font, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline)
      continue;
    // Only what FreeType and HarfBuzz read alike: TrueType and OpenType.
    if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
        (std::string(reinterpret_cast<char*>(format)) != "TrueType" &&
         std::string(reinterpret_cast<char*>(format)) != "CFF"))
      continue;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(font, FC_SLANT, 0, &slant);
    // A named instance of a variable font: its default outlines are listed too.
    if (index < 0 || (index >> 16) != 0) continue;
    SystemFace face;
    face.family = reinterpret_cast<char*>(family);
    face.file = FontFile{reinterpret_cast<char*>(file), index};
    face.weight = int(FcWeightToOpenTypeDouble(weight) + 0.5);
    face.italic = slant != FC_SLANT_ROMAN;
    faces.push_back(face);
  }
  if (set) FcFontSetDestroy(set);
  if (objects) FcObjectSetDestroy(objects);
  if (pattern) FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return faces;
}

#endif

}  // namespace

const std::map<std::string, FamilyFaces>& SystemFamilies() {
  static const std::map<std::string, FamilyFaces> families = Gather(ListFaces());
  return families;
}

}  // namespace text
