#include "imagefiles/SaveName.h"

#include "imagefiles/PathNames.h"

namespace imagefiles {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

const char* CardFormatExtension(CardFormat format) {
  return format == CardFormat::Png ? "png" : "jpg";
}

bool FormatFromExtension(const std::string& path, CardFormat* format) {
  const size_t dot = path.rfind('.');
  // Folders may have dots in their names.
  if (dot == std::string::npos || dot < NameStart(path)) return false;
  const std::string extension = LowerAscii(path.substr(dot + 1));
  if (extension == "jpg" || extension == "jpeg" || extension == "jpe") {
    *format = CardFormat::Jpeg;
    return true;
  }
  if (extension == "png") {
    *format = CardFormat::Png;
    return true;
  }
  return false;
}

SaveTarget ChooseSaveTarget(const std::string& typedPath, CardFormat chosen) {
  SaveTarget target{typedPath, chosen};
  if (FormatFromExtension(typedPath, &target.format)) return target;
  // "card." means the name without an extension, not "card..jpg".
  const size_t nameStart = NameStart(target.path);
  while (target.path.size() > nameStart + 1 && target.path.back() == '.') target.path.pop_back();
  target.path += '.';
  target.path += CardFormatExtension(chosen);
  return target;
}

}  // namespace imagefiles
