#include "app/MessageTexts.h"

#include "imagefiles/ImageStatusText.h"
#include "imagefiles/PathNames.h"

namespace app {

namespace {

constexpr char kEmptyFile[] = "The file is empty.";

std::string Quoted(const std::string& path) { return "\"" + imagefiles::FileNameOf(path) + "\""; }

}  // namespace

std::string LayoutProblemMessage(const std::string& path, imagefiles::LayoutStatus status,
                                 const engine::ImageStatus& read, bool empty) {
  using imagefiles::LayoutStatus;
  if (empty) return std::string(kEmptyFile) + "\n" + Quoted(path) + " has nothing in it.";
  const std::string reason =
      Quoted(path) + " " + imagefiles::LayoutFailureText(status, read) + ".";
  switch (status) {
    case LayoutStatus::Unreadable:
      return "The file cannot be read.\n" + reason;
    case LayoutStatus::NotLayoutFile:
      return "This file is not a Tessary layout.\n" + reason;
    case LayoutStatus::TooLarge:
      return "This layout is too large to open.\n" + reason;
    default:
      // Where to look, in words: a file: address in a message cannot be followed.
      return "This layout cannot be used.\n" + reason +
             "\nThe help's section \"Custom layouts\" tells what a layout needs.";
  }
}

std::string PhotoProblemMessage(const std::string& path, const engine::ImageStatus& status,
                                bool empty) {
  using engine::ImageFailure;
  if (empty) return std::string(kEmptyFile) + "\n" + Quoted(path) + " has nothing in it.";
  const char* headline = "The photo cannot be used.";
  switch (status.failure) {
    case ImageFailure::Unreadable: headline = "The file cannot be read."; break;
    case ImageFailure::NotAFile: headline = "This is not a file."; break;
    case ImageFailure::NotAPicture: headline = "This file is not a picture."; break;
    case ImageFailure::Unsupported: headline = "This kind of picture cannot be opened."; break;
    case ImageFailure::Damaged: headline = "The picture is damaged."; break;
    case ImageFailure::TooLarge: headline = "The picture is too large."; break;
    case ImageFailure::OutOfMemory: headline = "There is not enough memory for the picture."; break;
    case ImageFailure::None:
    case ImageFailure::Cancelled: break;
  }
  return std::string(headline) + "\n" + Quoted(path) + " " + imagefiles::ImageStatusText(status) +
         ".";
}

}  // namespace app
